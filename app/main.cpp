#include "DemoScales.h"
#include "MdiWindow.h"

#include <QApplication>
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

} // namespace

int main(int argc, char **argv)
{
    // The images and catalogues live in a static library; naming its resource
    // here keeps the linker from dropping it.
    Q_INIT_RESOURCE(scaleacq);

    // A write to a pipe or socket whose reader has gone must fail as a full
    // disk does, not end the program with every scale's recording in it.
    ::signal(SIGPIPE, SIG_IGN);

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
        // They go after the window, which gives their ports back first.
        std::unique_ptr<DemoScales> demo;
        MdiWindow window(&programTranslator, &toolkitTranslator);
        if (app.arguments().contains(QStringLiteral("--demo"))) {
            demo = std::make_unique<DemoScales>(window.portSettingsStore());
            window.setDemo(true);
        }
        window.showMaximized();
        exitCode = app.exec();
    }
    return exitCode;
}
