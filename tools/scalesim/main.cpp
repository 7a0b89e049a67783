// scalesim: a weighing scale on a pseudo-terminal (or behind a network
// converter), for trying the program without a scale and for driving the link
// in tests by hand.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

#include "ScaleSimulator.h"

namespace {

const char commandHelp[] =
    "commands: normal | silent | garbage | late <ms> | split <bytes> <ms> | unit <text>\n"
    "          weight <number> | stable | unstable | overload | underload | busy\n"
    "          type <kind> | format <kind> | id <text> | vanish | back | quit\n"
    "          print | every <ms> (0: a continuous scale sends on print only)\n"
    "          decimals <-2..5> | checksum on|off (a status-stream scale's frames)\n"
    "          refuse on|off (tare and zero commands)\n";

QString kinds()
{
    QStringList keys;
    for (ScaleProtocol::Type type : ScaleProtocol::types())
        keys << ScaleProtocol::key(type);
    return keys.join(QStringLiteral(", "));
}

QString shown(const PortSettings &line)
{
    const char parity[] = "NNEOSM"; // by QSerialPort::Parity
    QString text = QStringLiteral("%1 %2%3%4").arg(line.baudRate).arg(int(line.dataBits))
                       .arg(QLatin1Char(parity[qBound(0, int(line.parity), 5)])).arg(int(line.stopBits));
    if (line.flowControl == QSerialPort::HardwareControl)
        text += QStringLiteral(" RTS/CTS");
    else if (line.flowControl == QSerialPort::SoftwareControl)
        text += QStringLiteral(" XON/XOFF");
    return text;
}

// Sets the kind named by key; false, with a word on err, for an unknown one.
bool setKind(ScaleSimulator &scale, const QString &key, bool format, QTextStream &err)
{
    bool known = false;
    const ScaleProtocol::Type type = ScaleProtocol::fromKey(key, &known);
    if (!known) {
        err << "scalesim: unknown kind \"" << key << "\"; the kinds: " << kinds() << "\n";
        err.flush();
        return false;
    }
    if (format)
        scale.setContinuousFormat(type);
    else
        scale.setType(type);
    return true;
}

void quitOnSignal(int)
{
    QCoreApplication::quit();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("scalesim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated weighing scale on a pseudo-terminal. By default it is the program's own kind: it "
        "answers \"Z\" with its unit and \"A\" with ten-byte value frames. Another kind answers its "
        "own request with its own line, or sends lines unasked (continuous), and answers only while "
        "the port is set to that kind's usual line settings. Type commands on standard input to "
        "change the weight and its state or to make it misbehave."));
    parser.addHelpOption();
    const QCommandLineOption linkOption(QStringLiteral("link"),
        QStringLiteral("Publish the port at <path> instead of %1/ttySIM<n>.")
            .arg(ScaleSimulator::publishDirectory()), QStringLiteral("path"));
    const QCommandLineOption unitOption(QStringLiteral("unit"),
        QStringLiteral("Unit: the builtin kind's reply to \"Z\", without line end (default kg); the "
                       "unit the other kinds write (default theirs, g or kg)."), QStringLiteral("text"),
        QStringLiteral("kg"));
    const QCommandLineOption weightOption(QStringLiteral("weight"),
        QStringLiteral("Starting weight (default 12.345)."), QStringLiteral("number"),
        QStringLiteral("12.345"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
        QStringLiteral("Seed of the weight's wander (default a new one each run): the same seed, the "
                       "same weights."), QStringLiteral("number"));
    const QCommandLineOption typeOption(QStringLiteral("type"),
        QStringLiteral("Kind of scale (default builtin): %1.").arg(kinds()), QStringLiteral("kind"),
        QStringLiteral("builtin"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
        QStringLiteral("Line format a continuous scale sends (default sics)."), QStringLiteral("kind"),
        QStringLiteral("sics"));
    const QCommandLineOption tcpOption(QStringLiteral("tcp"),
        QStringLiteral("Serve the scale on 127.0.0.1:<port> instead of a pseudo-terminal, as a "
                       "serial-to-Ethernet converter does (0: a free port); open tcp://127.0.0.1:<port> "
                       "in the program."), QStringLiteral("port"));
    parser.addOptions({linkOption, tcpOption, typeOption, formatOption, unitOption, weightOption, seedOption});
    parser.process(app);

    QTextStream err(stderr);
    ScaleSimulator scale;
    if (!setKind(scale, parser.value(typeOption), false, err)
        || !setKind(scale, parser.value(formatOption), true, err))
        return 2;
    scale.setUnitReply(parser.value(unitOption).toLatin1() + "\r\n");
    if (parser.isSet(unitOption)) // the other kinds write their own unless told
        scale.setUnit(parser.value(unitOption).toLatin1());
    scale.setWeight(parser.value(weightOption).toDouble());
    if (parser.isSet(seedOption))
        scale.setSeed(parser.value(seedOption).toUInt());
    QTextStream out(stdout);
    if (parser.isSet(tcpOption)) {
        bool number = false;
        const uint port = parser.value(tcpOption).toUInt(&number);
        if (!number || port > 65535 || !scale.listen(quint16(port))) {
            err << "scalesim: cannot listen on 127.0.0.1:" << parser.value(tcpOption) << "\n";
            return 1;
        }
        out << "scale simulator (" << ScaleProtocol::key(scale.type()) << ", any line settings) on "
            << scale.portPath() << "\n";
    } else if (scale.start(parser.value(linkOption))) {
        out << "scale simulator (" << ScaleProtocol::key(scale.type()) << ", answers at "
            << shown(scale.expectedSettings()) << ") on " << scale.portPath() << " (" << scale.terminalPath()
            << ")\n";
    } else {
        err << "scalesim: cannot open a pseudo-terminal, or another simulator owns its port\n";
        return 1;
    }
    out << "open " << scale.portPath() << " in the program; " << commandHelp;
    out.flush();

    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (count <= 0) { // standard input closed: run on until a signal
            input.setEnabled(false);
            return;
        }
        const QStringList words = QString::fromLocal8Bit(buffer, int(count))
                                      .simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString command = words.value(0);
        const QString arg1 = words.value(1);
        if (command == QLatin1String("normal")) {
            scale.setSilent(false);
            scale.setGarbage(false);
            scale.setReplyDelay(0);
            scale.setSplit(0, 0);
            scale.setStable(true);
            scale.setCondition(ScaleSimulator::Weighing);
        } else if (command == QLatin1String("silent")) {
            scale.setSilent(true);
        } else if (command == QLatin1String("garbage")) {
            scale.setGarbage(true);
        } else if (command == QLatin1String("late")) {
            scale.setReplyDelay(arg1.toInt());
        } else if (command == QLatin1String("split")) {
            scale.setSplit(arg1.toInt(), words.value(2).toInt());
        } else if (command == QLatin1String("unit")) {
            scale.setUnitReply(arg1.toLatin1() + "\r\n");
            scale.setUnit(arg1.toLatin1());
        } else if (command == QLatin1String("stable") || command == QLatin1String("unstable")) {
            scale.setStable(command == QLatin1String("stable"));
        } else if (command == QLatin1String("overload")) {
            scale.setCondition(ScaleSimulator::Overload);
        } else if (command == QLatin1String("underload")) {
            scale.setCondition(ScaleSimulator::Underload);
        } else if (command == QLatin1String("busy")) {
            scale.setCondition(ScaleSimulator::Busy);
        } else if (command == QLatin1String("type") || command == QLatin1String("format")) {
            if (setKind(scale, arg1, command == QLatin1String("format"), err)
                && command == QLatin1String("type") && !parser.isSet(tcpOption))
                out << "answers at " << shown(scale.expectedSettings()) << "\n";
        } else if (command == QLatin1String("id")) {
            scale.setIdentifier(arg1.toLatin1());
        } else if (command == QLatin1String("weight")) {
            scale.setWeight(arg1.toDouble());
        } else if (command == QLatin1String("refuse")) {
            scale.setRefusing(arg1 == QLatin1String("on"));
        } else if (command == QLatin1String("print")) {
            scale.pressPrint();
        } else if (command == QLatin1String("every")) {
            scale.setContinuousPeriod(arg1.toInt());
        } else if (command == QLatin1String("decimals")) {
            scale.setDecimals(arg1.toInt());
        } else if (command == QLatin1String("checksum")) {
            scale.setChecksum(arg1 == QLatin1String("on"));
        } else if (command == QLatin1String("vanish")) {
            scale.vanish();
        } else if (command == QLatin1String("back")) {
            scale.comeBack();
        } else if (command == QLatin1String("quit")) {
            app.quit();
            return;
        } else if (!command.isEmpty()) {
            out << commandHelp;
        }
        out << "> " << command << (scale.isPresent() ? "" : " (port gone)") << "\n";
        out.flush();
    });

    return app.exec();
}
