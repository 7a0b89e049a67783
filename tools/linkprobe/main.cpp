// linkprobe: reads one scale with the program's own link and prints every
// reading and placeholder, for checking a scale or a cable without the GUI.
// The port is read as Port settings keeps it for that port, unless the
// command line names the kind or the line settings.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTextStream>

#include <csignal>

#include "IODeviceNew.h"
#include "LinkThread.h"
#include "PortSettingsStore.h"
#include "ScaleSimulator.h"

namespace {

void quitOnSignal(int)
{
    QCoreApplication::quit();
}

// "8N1", "7E1", "7O2": data bits, parity, stop bits.
bool parseFormat(const QString &text, PortSettings *line)
{
    static const QRegularExpression format(QStringLiteral("\\A([78])([NEO])([12])\\z"));
    const QRegularExpressionMatch match = format.match(text.toUpper());
    if (!match.hasMatch())
        return false;
    line->dataBits = match.captured(1) == QLatin1String("7") ? QSerialPort::Data7 : QSerialPort::Data8;
    const QString parity = match.captured(2);
    line->parity = parity == QLatin1String("E")   ? QSerialPort::EvenParity
                   : parity == QLatin1String("O") ? QSerialPort::OddParity
                                                  : QSerialPort::NoParity;
    line->stopBits = match.captured(3) == QLatin1String("2") ? QSerialPort::TwoStop : QSerialPort::OneStop;
    return true;
}

QString firstSimulatedPort()
{
    const QDir published(ScaleSimulator::publishDirectory());
    for (const QFileInfo &entry : published.entryInfoList({QStringLiteral("ttySIM*")}, QDir::System | QDir::Files))
        if (entry.exists())
            return entry.filePath();
    return QString();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList kinds;
    for (ScaleProtocol::Type type : ScaleProtocol::types())
        kinds << ScaleProtocol::key(type);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reads one scale with the program's link and prints its readings."));
    parser.addHelpOption();
    const QCommandLineOption typeOption(QStringLiteral("type"), QStringLiteral("Kind of scale: ") + kinds.join(QStringLiteral(", ")),
                                        QStringLiteral("kind"));
    const QCommandLineOption baudOption(QStringLiteral("baud"), QStringLiteral("Line speed."), QStringLiteral("rate"));
    const QCommandLineOption formatOption(QStringLiteral("format"), QStringLiteral("Data bits, parity, stop bits: 8N1, 7E1, 7O2..."),
                                          QStringLiteral("format"));
    const QCommandLineOption unitOption(QStringLiteral("unit"), QStringLiteral("Unit of a scale whose replies name none."),
                                        QStringLiteral("unit"));
    parser.addOptions({typeOption, baudOption, formatOption, unitOption});
    parser.addPositionalArgument(QStringLiteral("port"), QStringLiteral("The port (default: the first simulated scale)."));
    parser.addPositionalArgument(QStringLiteral("period"), QStringLiteral("Sampling period in ms (default 200)."));
    parser.process(app);

    QString port = parser.positionalArguments().value(0);
    const int periodMs = parser.positionalArguments().value(1, QStringLiteral("200")).toInt();
    if (port.isEmpty())
        port = firstSimulatedPort();
    if (port.isEmpty()) {
        err << "usage: linkprobe [options] <port> [period ms]   (no simulated scale is running)\n";
        return 2;
    }

    // As kept for the port; what the command line names replaces it.
    QStringList ignored;
    ScaleSetup setup = PortSettingsStore().setup(port, &ignored);
    for (const QString &entry : qAsConst(ignored))
        err << "stored setting ignored: " << entry << "\n";
    if (parser.isSet(typeOption)) {
        bool known = false;
        setup.type = ScaleProtocol::fromKey(parser.value(typeOption), &known);
        if (!known) {
            err << "unknown kind " << parser.value(typeOption) << "; known: " << kinds.join(QStringLiteral(", ")) << "\n";
            return 2;
        }
        if (!parser.isSet(baudOption) && !parser.isSet(formatOption))
            setup.line = ScaleProtocol::usualSettings(setup.type);
    }
    if (parser.isSet(baudOption)) {
        bool ok = false;
        setup.line.baudRate = parser.value(baudOption).toInt(&ok);
        if (!ok || !PortSettingsStore::baudRates().contains(setup.line.baudRate)) {
            err << "unusable speed " << parser.value(baudOption) << "\n";
            return 2;
        }
    }
    if (parser.isSet(formatOption) && !parseFormat(parser.value(formatOption), &setup.line)) {
        err << "unusable format " << parser.value(formatOption) << " (e.g. 8N1, 7E1)\n";
        return 2;
    }
    if (parser.isSet(unitOption))
        setup.unit = parser.value(unitOption);

    LinkThread link(port, setup);
    QObject::connect(&link, &LinkThread::linkReady, [&](bool opened) {
        out << "reading " << port << " as " << ScaleProtocol::key(setup.type) << ' ' << setup.line.name()
            << (opened ? "" : " (cannot open it yet)") << "\n";
        out.flush();
        emit link.setRefreshRateSignal(periodMs);
    });
    bool stable = true;
    QObject::connect(&link, &LinkThread::readingStable, [&](bool said) { stable = said; });
    QObject::connect(&link, &LinkThread::newSample,
                     [&](const QString &sample, const QString &units, const QString &) {
        out << QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")) << "  "
            << sample.rightJustified(10) << ' ' << units;
        if (units != QLatin1String("--") && !stable)
            out << "  (not stable)";
        out << "\n";
        out.flush();
    });
    QObject::connect(&link, &LinkThread::noReading, [&](int cause, const QString &detail) {
        const auto causes = QMetaEnum::fromType<IODeviceNew::NoReadingCause>();
        out << "no reading: " << causes.valueToKey(cause);
        if (!detail.isEmpty())
            out << " (" << detail << ")";
        out << "\n";
        out.flush();
    });
    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);
    link.start();
    return app.exec();
}
