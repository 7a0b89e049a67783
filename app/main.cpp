#include "DemoScales.h"
#include "MdiWindow.h"
#include "ProgramVersion.h"
#include "ShiftStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <cstdio>
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
const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")});

// The options, described in the language of the translators installed (none
// when only the command line's meaning is wanted).
void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Reads up to four weighing scales over serial lines, shows and plots their "
                "readings and records them to files."));
    QCommandLineOption help = helpOption;
    help.setDescription(QCoreApplication::translate("main", "Displays help on commandline options."));
    QCommandLineOption version = versionOption;
    version.setDescription(QCoreApplication::translate("main", "Displays version information."));
    QCommandLineOption demo = demoOption;
    demo.setDescription(QCoreApplication::translate(
        "main", "Adds four simulated scales of different kinds to the ports on offer. "
                "Nothing is stored: neither the shift nor port settings."));
    QCommandLineOption noRestore = noRestoreOption;
    noRestore.setDescription(QCoreApplication::translate(
        "main", "Starts with no port open and forgets the shift of the last run."));
    for (const QCommandLineOption &option : {help, version, demo, noRestore})
        parser.addOption(option);
}

// The arguments less the window system's and the toolkit's own options
// (-platform offscreen, -style=fusion, -reverse, ...), which QApplication
// takes off the command line itself, with one dash or two.
QStringList programArguments(int argc, char **argv)
{
    static const QStringList withValue{
        QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"), QStringLiteral("session"), QStringLiteral("display"),
        QStringLiteral("geometry"), QStringLiteral("style"), QStringLiteral("stylesheet")};
    static const QStringList alone{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync"),
                                   QStringLiteral("testability"), QStringLiteral("qmljsdebugger")};
    QStringList arguments{QString::fromLocal8Bit(argv[0])};
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        QString name = argument.section(QLatin1Char('='), 0, 0);
        if (name.startsWith(QLatin1String("--")) && name.size() > 2)
            name.remove(0, 2);
        else if (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        else
            name.clear();
        if (withValue.contains(name)) {
            if (!argument.contains(QLatin1Char('=')))
                ++i;
        } else if (!alone.contains(name)) {
            arguments << argument;
        }
    }
    return arguments;
}

// The language the command line answers in: the one last chosen, or at a
// first start Polish as the program itself, except that help is given in
// English on a system that is not in Polish.
bool answersInPolish(bool help)
{
    const QString stored = ShiftStore().language();
    if (!stored.isEmpty())
        return stored != QLatin1String("english");
    return !help || QLocale::system().language() == QLocale::Polish;
}

// What only the command line asks for: the version, the help, or the word
// that an option is not known (exit code 2), all without a display (on a
// terminal, perhaps over ssh). -1 when the program is to start.
int answerCommandLine(int argc, char **argv, bool *demo, bool *noRestore)
{
    const QStringList arguments = programArguments(argc, argv);
    QCommandLineParser meaning;
    describeOptions(meaning);
    const bool understood = meaning.parse(arguments);
    if (understood && meaning.isSet(versionOption)) {
        std::fprintf(stdout, "scaleacq %s\n", programVersion);
        return 0;
    }
    if (understood && !meaning.isSet(helpOption)) {
        *demo = meaning.isSet(demoOption);
        *noRestore = meaning.isSet(noRestoreOption);
        return -1;
    }

    QCoreApplication app(argc, argv);
    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    if (answersInPolish(understood)) {
        programTranslator.load(QStringLiteral(":/polish.qm"));
        toolkitTranslator.load(QStringLiteral(":/polishApp.qm"));
    }
    app.installTranslator(&programTranslator);
    app.installTranslator(&toolkitTranslator);
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments)) {
        const QString told = QStringLiteral("scaleacq: ") + parser.errorText() + QLatin1Char('\n')
            + QCoreApplication::translate("main", "See %1 for the options.").arg(QStringLiteral("scaleacq --help"))
            + QLatin1Char('\n');
        std::fputs(qPrintable(told), stderr);
        return 2;
    }
    std::fputs(qPrintable(parser.helpText()), stdout);
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

    bool demo = false;
    bool noRestore = false;
    const int answered = answerCommandLine(argc, argv, &demo, &noRestore);
    if (answered >= 0)
        return answered;

    // Follow the screen's scaling (200 % on a high-density laptop screen):
    // fonts, widgets and the 22-pixel tool bar icons grow together.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);

    QApplication app(argc, argv);
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
        std::unique_ptr<DemoScales> demoScales;
        ShiftStore shift;
        MdiWindow window(&programTranslator, &toolkitTranslator);
        if (demo) {
            demoScales = std::make_unique<DemoScales>(window.portSettingsStore());
            window.setDemo(true);
        } else if (shift.claim()) {
            window.keepShift(&shift, !noRestore);
        } else {
            window.leaveShift(shift.language());
        }
        window.showAsLeft();
        exitCode = app.exec();
    }
    return exitCode;
}
