#include "PortSettingsStore.h"

#include "AsciiProtocol.h"
#include "DeviceTask.h"
#include "WritableFile.h"

#include <QDebug>
#include <QSettings>
#include <QUrl>
#include <QtMath>

#include <initializer_list>
#include <memory>

namespace {

// One group per port; its name is kept whole, slashes and all.
QString groupOf(const QString &port)
{
    return QStringLiteral("ports/") + QString::fromLatin1(QUrl::toPercentEncoding(port));
}

std::unique_ptr<QSettings> storedSettings()
{
    // A pipe or a device in the file's place is read as no settings at all
    // (QSettings reads its file as it is made, and a pipe would hold it);
    // nothing is ever written there (see mayWrite()).
    const QString file = PortSettingsStore::fileName();
    if (!WritableFile::mayRead(file))
        return std::make_unique<QSettings>(QStringLiteral("/dev/null"), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("scaleacq"), QStringLiteral("ports"));
}

// The stored number under key when it is one of allowed; otherwise fallback,
// and the entry is noted as ignored (a missing one is not).
int checked(const QSettings &stored, const QString &key, const QList<int> &allowed, int fallback,
            QStringList *ignored)
{
    if (!stored.contains(key))
        return fallback;
    const QString text = stored.value(key).toString();
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (isNumber && allowed.contains(value))
        return value;
    if (ignored)
        *ignored << key + QLatin1Char('=') + text;
    return fallback;
}

// The stored text under key when usable says so; otherwise empty, and the
// entry is noted as ignored.
QString checkedText(const QSettings &stored, const QString &key, bool (*usable)(const QString &),
                    QStringList *ignored)
{
    const QString text = stored.value(key).toString();
    if (usable(text))
        return text;
    if (ignored)
        *ignored << key + QLatin1Char('=') + text;
    return QString();
}

// A load threshold that is not a positive number is never used.
bool isThreshold(const QString &text, double *change)
{
    bool isNumber = false;
    *change = text.toDouble(&isNumber);
    return isNumber && *change > 0 && *change < 1e9;
}

bool isRequest(const QString &typed)
{
    bool ok = false;
    AsciiProtocol::decoded(typed, &ok);
    return ok;
}

bool isPattern(const QString &pattern)
{
    return pattern.isEmpty() || AsciiProtocol::isUsablePattern(pattern);
}

bool isAnyText(const QString &)
{
    return true;
}

bool isEndByte(const QString &typed)
{
    return typed.isEmpty() || AsciiProtocol::isUsableEndByte(typed);
}

bool isUnit(const QString &unit)
{
    return unit.isEmpty() || AsciiProtocol::isUnitWord(unit);
}

// Kinds whose replies name no unit: the operator sets it.
bool namesNoUnit(ScaleProtocol::Type type)
{
    return type == ScaleProtocol::Ascii || type == ScaleProtocol::RetailW;
}

// How an other ASCII scale is read, from the port's group.
AsciiSetup asciiSetup(const QSettings &stored, QStringList *ignored)
{
    AsciiSetup ascii;
    ascii.request = checkedText(stored, QStringLiteral("request"), isRequest, ignored);
    ascii.tareCommand = checkedText(stored, QStringLiteral("tareCommand"), isRequest, ignored);
    ascii.zeroCommand = checkedText(stored, QStringLiteral("zeroCommand"), isRequest, ignored);
    ascii.lineEnd = AsciiSetup::LineEnd(checked(stored, QStringLiteral("lineEnd"),
                                                {AsciiSetup::Cr, AsciiSetup::Lf, AsciiSetup::CrLf, AsciiSetup::Quiet,
                                                 AsciiSetup::Etx, AsciiSetup::OtherByte},
                                                ascii.lineEnd, ignored));
    ascii.endByte = checkedText(stored, QStringLiteral("endByte"), isEndByte, ignored);
    // Without its byte, the reply would have no end: the usual one is used.
    if (ascii.lineEnd == AsciiSetup::OtherByte && ascii.endByte.isEmpty()) {
        // An unusable byte is named already.
        if (ignored && stored.value(QStringLiteral("endByte")).toString().isEmpty())
            *ignored << QStringLiteral("lineEnd=") + stored.value(QStringLiteral("lineEnd")).toString();
        ascii.lineEnd = AsciiSetup().lineEnd;
    }
    QList<int> quietTimes;
    for (int ms = AsciiProtocol::shortestQuiet; ms <= AsciiProtocol::longestQuiet; ++ms)
        quietTimes << ms;
    ascii.quietMs = checked(stored, QStringLiteral("quietMs"), quietTimes, ascii.quietMs, ignored);
    ascii.pattern = checkedText(stored, QStringLiteral("pattern"), isPattern, ignored);
    ascii.unstableText = checkedText(stored, QStringLiteral("unstableText"), isAnyText, ignored);
    ascii.overloadText = checkedText(stored, QStringLiteral("overloadText"), isAnyText, ignored);
    ascii.noWeightText = checkedText(stored, QStringLiteral("noWeightText"), isAnyText, ignored);
    QList<int> places;
    for (int n = 0; n <= AsciiProtocol::mostDecimals; ++n)
        places << n;
    ascii.decimals = checked(stored, QStringLiteral("decimals"), places, ascii.decimals, ignored);
    ascii.quietWhileSteady = checked(stored, QStringLiteral("quietWhileSteady"), {0, 1}, 0, ignored) == 1;
    return ascii;
}

} // namespace

QList<qint32> PortSettingsStore::baudRates()
{
    return {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
}

QString PortSettingsStore::fileName()
{
    return WritableFile::settingsFile(QStringLiteral("ports"));
}

ScaleSetup PortSettingsStore::setup(const QString &port, QStringList *ignored) const
{
    if (temporary.contains(port))
        return temporary.value(port);
    const std::unique_ptr<QSettings> stored = storedSettings();
    stored->beginGroup(groupOf(port));
    ScaleSetup setup;
    const QString key = stored->value(QStringLiteral("type")).toString();
    bool known = false;
    setup.type = ScaleProtocol::fromKey(key, &known);
    if (!known && stored->contains(QStringLiteral("type")) && ignored)
        *ignored << QStringLiteral("type=") + key;
    // What a value outside the dialog's choices would do on the line is
    // anyone's guess (7 baud hangs up): the kind's usual value goes instead.
    const PortSettings usual = ScaleProtocol::usualSettings(setup.type);
    using S = QSerialPort;
    PortSettings &line = setup.line;
    line.baudRate = checked(*stored, QStringLiteral("baudRate"), baudRates(), usual.baudRate, ignored);
    line.dataBits = S::DataBits(checked(*stored, QStringLiteral("dataBits"), {S::Data7, S::Data8},
                                        usual.dataBits, ignored));
    line.parity = S::Parity(checked(*stored, QStringLiteral("parity"),
                                    {S::NoParity, S::EvenParity, S::OddParity}, usual.parity, ignored));
    line.stopBits = S::StopBits(checked(*stored, QStringLiteral("stopBits"), {S::OneStop, S::TwoStop},
                                        usual.stopBits, ignored));
    line.flowControl = S::FlowControl(checked(*stored, QStringLiteral("flowControl"),
                                              {S::NoFlowControl, S::SoftwareControl, S::HardwareControl},
                                              usual.flowControl, ignored));
    setup.printKey = checked(*stored, QStringLiteral("printKey"), {0, 1}, 0, ignored) == 1;
    if (setup.type == ScaleProtocol::Ascii)
        setup.ascii = asciiSetup(*stored, ignored);
    if (namesNoUnit(setup.type))
        setup.unit = checkedText(*stored, QStringLiteral("unit"), isUnit, ignored);
    // Not a line setting, but named with them when it cannot be used.
    const QString threshold = stored->value(QStringLiteral("loadThreshold")).toString();
    double change = 0;
    if (ignored && stored->contains(QStringLiteral("loadThreshold")) && !isThreshold(threshold, &change))
        *ignored << QStringLiteral("loadThreshold=") + threshold;
    return setup;
}

bool PortSettingsStore::setSetup(const QString &port, const ScaleSetup &setup)
{
    if (demo) {
        temporary.insert(port, setup);
        return true;
    }
    temporary.remove(port);
    if (!mayWrite()) {
        temporary.insert(port, setup);
        return false;
    }
    const std::unique_ptr<QSettings> stored = storedSettings();
    stored->beginGroup(groupOf(port));
    stored->setValue(QStringLiteral("type"), ScaleProtocol::key(setup.type));
    stored->setValue(QStringLiteral("baudRate"), setup.line.baudRate);
    stored->setValue(QStringLiteral("dataBits"), int(setup.line.dataBits));
    stored->setValue(QStringLiteral("parity"), int(setup.line.parity));
    stored->setValue(QStringLiteral("stopBits"), int(setup.line.stopBits));
    stored->setValue(QStringLiteral("flowControl"), int(setup.line.flowControl));
    stored->setValue(QStringLiteral("printKey"), int(setup.printKey));
    const AsciiSetup &ascii = setup.ascii;
    const QList<QPair<QString, QVariant>> asciiEntries {
        {QStringLiteral("request"), ascii.request},
        {QStringLiteral("tareCommand"), ascii.tareCommand},
        {QStringLiteral("zeroCommand"), ascii.zeroCommand},
        {QStringLiteral("lineEnd"), int(ascii.lineEnd)},
        {QStringLiteral("quietMs"), ascii.quietMs},
        {QStringLiteral("pattern"), ascii.pattern},
        {QStringLiteral("unstableText"), ascii.unstableText},
        {QStringLiteral("overloadText"), ascii.overloadText},
        {QStringLiteral("endByte"), ascii.endByte},
        {QStringLiteral("noWeightText"), ascii.noWeightText},
        {QStringLiteral("decimals"), ascii.decimals},
        {QStringLiteral("quietWhileSteady"), int(ascii.quietWhileSteady)}};
    // Another kind has no use for them.
    for (const auto &entry : asciiEntries) {
        if (setup.type == ScaleProtocol::Ascii)
            stored->setValue(entry.first, entry.second);
        else
            stored->remove(entry.first);
    }
    if (namesNoUnit(setup.type))
        stored->setValue(QStringLiteral("unit"), setup.unit);
    else
        stored->remove(QStringLiteral("unit"));
    stored->sync();
    if (stored->status() == QSettings::NoError)
        return true;
    // Read back from the file, the port would lose them before the run ends.
    temporary.insert(port, setup);
    return false;
}

void PortSettingsStore::addDemoPort(const QString &port, const ScaleSetup &setup)
{
    setTemporary(port, setup);
    demoNames << port;
}

QVariant PortSettingsStore::value(const QString &port, const QString &key, const QVariant &fallback) const
{
    const QString temporaryKey = port + QLatin1Char('/') + key;
    if (temporaryValues.contains(temporaryKey))
        return temporaryValues.value(temporaryKey);
    return storedSettings()->value(groupOf(port) + QLatin1Char('/') + key, fallback);
}

bool PortSettingsStore::setValue(const QString &port, const QString &key, const QVariant &value)
{
    const QString temporaryKey = port + QLatin1Char('/') + key;
    if (demo) {
        temporaryValues.insert(temporaryKey, value);
        return true;
    }
    temporaryValues.remove(temporaryKey);
    if (!mayWrite()) {
        temporaryValues.insert(temporaryKey, value);
        return false;
    }
    const std::unique_ptr<QSettings> stored = storedSettings();
    stored->setValue(groupOf(port) + QLatin1Char('/') + key, value);
    stored->sync();
    if (stored->status() == QSettings::NoError)
        return true;
    temporaryValues.insert(temporaryKey, value);
    return false;
}

// Looked at before every write: settings once changed are written when they
// go, and a link in the file's place would have its target replaced.
bool PortSettingsStore::mayWrite()
{
    const QString refusal = WritableFile::settingsRefusal(fileName());
    if (!refusal.isEmpty())
        qWarning() << "The port settings are not written to" << fileName() << refusal;
    return refusal.isEmpty();
}

QString PortSettingsStore::scaleName(const QString &port) const
{
    return value(port, QStringLiteral("scaleName"), QString()).toString();
}

bool PortSettingsStore::setScaleName(const QString &port, const QString &name)
{
    return setValue(port, QStringLiteral("scaleName"), name);
}

RecordFormat::Kind PortSettingsStore::recordFormat(const QString &port) const
{
    return RecordFormat::fromKey(value(port, QStringLiteral("recordFormat"), QString()).toString());
}

bool PortSettingsStore::setRecordFormat(const QString &port, RecordFormat::Kind kind)
{
    return setValue(port, QStringLiteral("recordFormat"), RecordFormat::key(kind));
}

CaptureFilter::Mode PortSettingsStore::captureMode(const QString &port) const
{
    return CaptureFilter::fromKey(value(port, QStringLiteral("capture"), QString()).toString());
}

bool PortSettingsStore::setCaptureMode(const QString &port, CaptureFilter::Mode mode)
{
    return setValue(port, QStringLiteral("capture"), CaptureFilter::key(mode));
}

double PortSettingsStore::loadThreshold(const QString &port) const
{
    double change = 0;
    return isThreshold(value(port, QStringLiteral("loadThreshold"), QString()).toString(), &change)
               ? change
               : CaptureFilter::defaultThreshold;
}

bool PortSettingsStore::setLoadThreshold(const QString &port, double change)
{
    return setValue(port, QStringLiteral("loadThreshold"), QString::number(change, 'g', 10));
}

WeightLimits PortSettingsStore::limits(const QString &port) const
{
    const auto limit = [this, &port](const QString &key) -> std::optional<double> {
        bool isNumber = false;
        const double weight = value(port, key, QString()).toString().toDouble(&isNumber);
        return isNumber && qIsFinite(weight) ? std::optional<double>(weight) : std::nullopt;
    };
    WeightLimits limits;
    limits.low = limit(QStringLiteral("lowLimit"));
    limits.high = limit(QStringLiteral("highLimit"));
    limits.unit = value(port, QStringLiteral("limitsUnit"), QString()).toString();
    limits.beep = value(port, QStringLiteral("limitsBeep"), false).toBool();
    return limits;
}

bool PortSettingsStore::setLimits(const QString &port, const WeightLimits &limits)
{
    const auto text = [](const std::optional<double> &limit) {
        return limit ? QString::number(*limit, 'g', 10) : QString();
    };
    // Each written, whatever became of the one before: the last answer is
    // whether all of them were kept.
    bool kept = setValue(port, QStringLiteral("lowLimit"), text(limits.low));
    kept = setValue(port, QStringLiteral("highLimit"), text(limits.high)) && kept;
    kept = setValue(port, QStringLiteral("limitsUnit"), limits.unit) && kept;
    return setValue(port, QStringLiteral("limitsBeep"), limits.beep) && kept;
}

void PortSettingsStore::applyTo(DeviceTask *task) const
{
    const QString port = task->port();
    task->setScaleName(scaleName(port));
    task->setRecordFormat(recordFormat(port));
    task->setCaptureMode(captureMode(port));
    task->setLoadThreshold(loadThreshold(port));
    task->setLimits(limits(port));
}
