#include "DemoScales.h"
#include "MdiWindow.h"
#include "ShiftStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int terminationPipe[2] = {-1, -1};

void onTermination(int)
{
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[0], &byte, 1);
}

// A desktop session ends its programs with SIGTERM: end the event loop so that
// every device window stops and joins its worker thread and closes its port,
// as after Exit.
void quitOnTermination(QApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, terminationPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(terminationPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

const QCommandLineOption demoOption(QStringLiteral("demo"));
const QCommandLineOption noRestoreOption(QStringLiteral("no-restore"));

// The options, described in the language last chosen.
void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Reads up to four weighing scales over serial lines, shows and plots their "
                "readings and records them to files."));
    parser.addHelpOption();
    QCommandLineOption demo = demoOption;
    demo.setDescription(QCoreApplication::translate(
        "main", "Adds four simulated scales of different kinds to the ports on offer. "
                "Nothing is stored: neither the shift nor port settings."));
    QCommandLineOption noRestore = noRestoreOption;
    noRestore.setDescription(QCoreApplication::translate(
        "main", "Starts with no port open and forgets the shift of the last run."));
    parser.addOption(demo);
    parser.addOption(noRestore);
}

bool asksForHelp(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "-?" || argument == "--help-all")
            return true;
    }
    return false;
}

// Without a display: the help is read on a terminal, perhaps over ssh.
int printHelp(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    if (ShiftStore().language() != QLatin1String("english")) {
        programTranslator.load(QStringLiteral(":/polish.qm"));
        toolkitTranslator.load(QStringLiteral(":/polishApp.qm"));
    }
    app.installTranslator(&programTranslator);
    app.installTranslator(&toolkitTranslator);
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app); // prints the help and ends the program
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // The images and catalogues live in a static library; naming its resource
    // here keeps the linker from dropping it.
    Q_INIT_RESOURCE(scaleacq);

    // A write to a pipe or socket whose reader has gone must fail as a full
    // disk does, not end the program with every scale's recording in it.
    ::signal(SIGPIPE, SIG_IGN);

    if (asksForHelp(argc, argv))
        return printHelp(argc, argv);

    // Follow the screen's scaling (200 % on a high-density laptop screen):
    // fonts, widgets and the 22-pixel tool bar icons grow together.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app); // an unknown option is told and ends the program
    quitOnTermination(app);

    // Installed empty before the window exists, so that every catalogue the
    // window loads later reaches it as a language-change event.
    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    app.installTranslator(&programTranslator);
    app.installTranslator(&toolkitTranslator);

    int exitCode = 0;
    {
        // --demo: simulated scales of several kinds join the ports on offer.
        // They go after the window, which gives their ports back first; so
        // does the shift, which the window writes to until it is gone. The
        // shift is this run's only while no other running program has it.
        std::unique_ptr<DemoScales> demo;
        ShiftStore shift;
        MdiWindow window(&programTranslator, &toolkitTranslator);
        if (parser.isSet(demoOption)) {
            demo = std::make_unique<DemoScales>(window.portSettingsStore());
            window.setDemo(true);
        } else if (shift.claim()) {
            window.keepShift(&shift, !parser.isSet(noRestoreOption));
        } else {
            window.leaveShift(shift.language());
        }
        window.showAsLeft();
        exitCode = app.exec();
    }
    return exitCode;
}
