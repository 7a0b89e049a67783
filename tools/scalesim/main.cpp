// scalesim: a weighing scale on a pseudo-terminal, for trying the program
// without a scale and for driving the link in tests by hand.

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
    "          weight <kg> | vanish | back | quit\n";

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
        "Simulated weighing scale on a pseudo-terminal. Answers \"Z\" with its unit and \"A\" "
        "with ten-byte value frames. Type commands on standard input to make it misbehave."));
    parser.addHelpOption();
    const QCommandLineOption linkOption(QStringLiteral("link"),
        QStringLiteral("Publish the port at <path> instead of %1/ttySIM<n>.")
            .arg(ScaleSimulator::publishDirectory()), QStringLiteral("path"));
    const QCommandLineOption unitOption(QStringLiteral("unit"),
        QStringLiteral("Unit reply without line end (default kg)."), QStringLiteral("text"),
        QStringLiteral("kg"));
    const QCommandLineOption weightOption(QStringLiteral("weight"),
        QStringLiteral("Starting weight (default 12.345)."), QStringLiteral("kg"),
        QStringLiteral("12.345"));
    parser.addOptions({linkOption, unitOption, weightOption});
    parser.process(app);

    ScaleSimulator scale;
    scale.setUnitReply(parser.value(unitOption).toLatin1() + "\r\n");
    scale.setWeight(parser.value(weightOption).toDouble());
    if (!scale.start(parser.value(linkOption))) {
        QTextStream(stderr) << "scalesim: cannot open a pseudo-terminal\n";
        return 1;
    }

    QTextStream out(stdout);
    out << "scale simulator on " << scale.portPath() << " (" << scale.terminalPath() << ")\n"
        << "open " << scale.portPath() << " in the program; " << commandHelp;
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
        } else if (command == QLatin1String("weight")) {
            scale.setWeight(arg1.toDouble());
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
