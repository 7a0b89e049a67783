// Start-up to a shown main window: the program's own start (resources,
// application, translators, the main window in Polish, maximized) up to the
// window's first paint. The launcher passes its wall clock, in nanoseconds
// since the epoch, taken just before it started this process, so that loading
// the libraries counts too.
//
//   bench_startup <launch time ns>

#include <QApplication>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <ctime>

#include "MdiWindow.h"

namespace {

long long wallNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(long long launchedNs) : launchedNs(launchedNs) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !done) {
            done = true;
            std::printf("start-up to a shown main window %.1f ms\n",
                        (wallNs() - launchedNs) / 1e6);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    long long launchedNs;
    bool done = false;
};

} // namespace

int main(int argc, char **argv)
{
    const long long launchedNs = argc > 1 ? std::atoll(argv[1]) : wallNs();
    // What main() does, in the same order.
    Q_INIT_RESOURCE(scaleacq);
    QApplication app(argc, argv);
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}"));
    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    app.installTranslator(&programTranslator);
    app.installTranslator(&toolkitTranslator);

    FirstPaint watch(launchedNs);
    MdiWindow window(&programTranslator, &toolkitTranslator);
    window.installEventFilter(&watch);
    window.showMaximized();
    return app.exec();
}
