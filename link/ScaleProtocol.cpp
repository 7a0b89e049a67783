#include "ScaleProtocol.h"

#include "AsciiProtocol.h"
#include "BuiltInProtocol.h"
#include "ContinuousProtocol.h"
#include "EnqPolledProtocol.h"
#include "EtxReplyProtocol.h"
#include "HeaderCommaProtocol.h"
#include "ImmediatePrintProtocol.h"
#include "PrintFrameProtocol.h"
#include "RetailWProtocol.h"
#include "SicsMarkedProtocol.h"
#include "SicsProtocol.h"
#include "SmaLevel1Protocol.h"
#include "StatusStreamProtocol.h"

#include <QRegularExpression>

#include <cmath>

std::unique_ptr<ScaleProtocol> ScaleProtocol::create(Type type)
{
    switch (type) {
    case BuiltIn:
        break;
    case Sics:
        return std::make_unique<SicsProtocol>();
    case SicsMarked:
        return std::make_unique<SicsMarkedProtocol>();
    case HeaderComma:
        return std::make_unique<HeaderCommaProtocol>();
    case PrintFrame:
        return std::make_unique<PrintFrameProtocol>();
    case ImmediatePrint:
        return std::make_unique<ImmediatePrintProtocol>();
    case Continuous:
        return std::make_unique<ContinuousProtocol>();
    case Ascii:
        return std::make_unique<AsciiProtocol>(AsciiSetup());
    case StatusStream:
        return std::make_unique<StatusStreamProtocol>();
    case SmaLevel1:
        return std::make_unique<SmaLevel1Protocol>();
    case RetailW:
        return std::make_unique<RetailWProtocol>();
    case EtxReply:
        return std::make_unique<EtxReplyProtocol>();
    case EnqPolled:
        return std::make_unique<EnqPolledProtocol>();
    }
    return std::make_unique<BuiltInProtocol>();
}

std::unique_ptr<ScaleProtocol> ScaleProtocol::create(const ScaleSetup &setup)
{
    if (setup.type == Ascii)
        return std::make_unique<AsciiProtocol>(setup.ascii, setup.unit);
    if (setup.type == RetailW)
        return std::make_unique<RetailWProtocol>(setup.unit);
    return create(setup.type);
}

QList<ScaleProtocol::Type> ScaleProtocol::types()
{
    // The order Find the scale tries them in: the kinds that ask first, the
    // ones whose frames are specific before the one that reads any line.
    return {BuiltIn,   Sics,    SicsMarked, HeaderComma, PrintFrame,   ImmediatePrint, SmaLevel1,
            RetailW,   EtxReply, EnqPolled, StatusStream, Continuous,  Ascii};
}

namespace {
const char *const keys[] = {"builtin",   "sics",       "sics-marked", "header-comma", "print-frame",
                            "immediate-print", "continuous", "ascii", "status-stream", "sma",
                            "retail-w", "etx-reply", "enq"};
}

QString ScaleProtocol::key(Type type)
{
    return QString::fromLatin1(keys[type]);
}

ScaleProtocol::Type ScaleProtocol::fromKey(const QString &key, bool *known)
{
    for (Type type : types()) {
        if (key == QLatin1String(keys[type])) {
            if (known)
                *known = true;
            return type;
        }
    }
    if (known)
        *known = false;
    return BuiltIn;
}

QString ScaleProtocol::name(Type type)
{
    switch (type) {
    case BuiltIn:
        break;
    case Sics:
        return tr("SICS-style commands (SI)");
    case SicsMarked:
        return tr("SICS-style with stability mark (SI ?)");
    case HeaderComma:
        return tr("Header and comma frames (Q, ST,...)");
    case PrintFrame:
        return tr("Print frames (ESC P)");
    case ImmediatePrint:
        return tr("Immediate print (IP)");
    case Continuous:
        return tr("Continuous output (no request)");
    case Ascii:
        return tr("Other ASCII scale");
    case StatusStream:
        return tr("Continuous output with status bytes (STX)");
    case SmaLevel1:
        return tr("SMA level 1 (LF W CR)");
    case RetailW:
        return tr("Retail scale asked with W (STX ... CR)");
    case EtxReply:
        return tr("Two-line replies ending in ETX (W CR)");
    case EnqPolled:
        return tr("Polled with ENQ, implied decimals (STX ... ETX)");
    }
    return tr("Built-in protocol (Z, A)");
}

PortSettings ScaleProtocol::usualSettings(Type type)
{
    PortSettings settings; // 9600 8N1, no flow control
    switch (type) {
    case BuiltIn:
    case Sics:
    case SicsMarked:
    case Ascii:
    case SmaLevel1:
        break;
    case StatusStream:
    case RetailW:
    case EtxReply:
        settings.dataBits = QSerialPort::Data7;
        settings.parity = QSerialPort::EvenParity;
        break;
    case EnqPolled:
        settings.baudRate = 2400;
        break;
    case HeaderComma:
    case ImmediatePrint:
        settings.baudRate = 2400;
        settings.dataBits = QSerialPort::Data7;
        settings.parity = QSerialPort::EvenParity;
        break;
    case PrintFrame:
        settings.baudRate = 1200;
        settings.dataBits = QSerialPort::Data7;
        settings.parity = QSerialPort::OddParity;
        break;
    case Continuous:
        settings.baudRate = 19200;
        break;
    }
    return settings;
}

ScaleProtocol::Verdict ScaleProtocol::unitFromReply(const QByteArray &, bool, QString *) const
{
    return Rejected; // asked only of a protocol that has a unit request
}

QByteArray ScaleProtocol::leftover(const QByteArray &) const
{
    return QByteArray();
}

int ScaleProtocol::firstLineEnd(const QByteArray &bytes) const
{
    const int cr = bytes.indexOf('\r');
    const int lf = bytes.indexOf('\n');
    return cr < 0 ? lf : lf < 0 ? cr : qMin(cr, lf);
}

bool ScaleProtocol::isKnownUnit(const QString &units)
{
    // Mass as laboratory balances and indicators write it (capitals on some
    // indicators), grains, pennyweight and troy ounces of jewellery scales,
    // percent and moisture of moisture balances, newton of force gauges,
    // and counts.
    static const QStringList known = {
        QStringLiteral("mg"),  QStringLiteral("g"),   QStringLiteral("kg"), QStringLiteral("KG"),
        QStringLiteral("t"),   QStringLiteral("ct"),  QStringLiteral("lb"), QStringLiteral("LB"),
        QStringLiteral("oz"),  QStringLiteral("OZ"),  QStringLiteral("ozt"), QStringLiteral("dwt"),
        QStringLiteral("GN"),  QStringLiteral("gn"),  QStringLiteral("gr"), QStringLiteral("%"),
        QStringLiteral("%M"),  QStringLiteral("N"),   QStringLiteral("pcs"), QStringLiteral("PCS"),
        QStringLiteral("pc"),  QStringLiteral("PC")};
    return known.contains(units);
}

ScaleProtocol::Verdict ScaleProtocol::refused(Condition condition, Reading *reading)
{
    reading->condition = condition;
    return Rejected;
}

QByteArray ScaleProtocol::tareRequest(bool) const
{
    return QByteArray();
}

QByteArray ScaleProtocol::zeroRequest(bool) const
{
    return QByteArray();
}

QByteArray ScaleProtocol::commandRequest(Command command, bool inMotion) const
{
    return command == Tare ? tareRequest(inMotion) : zeroRequest(inMotion);
}

int ScaleProtocol::firstLine(const QByteArray &reply, QByteArray *line)
{
    const auto isLineEnd = [](char byte) { return byte == '\r' || byte == '\n'; };
    int begin = 0;
    while (begin < reply.size() && isLineEnd(reply.at(begin)))
        ++begin;
    int end = begin;
    while (end < reply.size() && !isLineEnd(reply.at(end)))
        ++end;
    if (end == reply.size() && end - begin <= 128)
        return -1;
    *line = reply.mid(begin, end - begin);
    while (end < reply.size() && isLineEnd(reply.at(end)))
        ++end;
    return end;
}

// A kind that takes commands but reads no answer to them: every whole line
// is something else, and the command counts as carried out after a while.
ScaleProtocol::CommandVerdict ScaleProtocol::commandAnswer(Command, const QByteArray &reply, int *used) const
{
    QByteArray line;
    *used = firstLine(reply, &line);
    return *used < 0 ? AnswerPending : NotAnAnswer;
}

bool ScaleProtocol::answersWithoutWeight(Condition condition)
{
    switch (condition) {
    case Overload:
    case Underload:
    case OutOfRange:
    case Busy:
    case Failed:
    case Unsettled:
    case NoWeight:
        return true;
    case Weighed:
    case UnknownUnit:
    case NotUnderstood:
        break;
    }
    return false;
}

bool ScaleProtocol::isNumber(const QString &text)
{
    // Strict on purpose: QString::toDouble() alone also takes tabs and other
    // white space, "nan" and "inf".
    static const QRegularExpression scaleNumber(
        QStringLiteral("\\A[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?\\z"));
    if (!scaleNumber.match(text).hasMatch())
        return false;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}
