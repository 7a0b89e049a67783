// linkprobe: reads one scale with the program's own link and prints every
// reading and placeholder, for checking a scale or a cable without the GUI.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QMetaEnum>
#include <QTextStream>

#include <csignal>

#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleSimulator.h"

namespace {

void quitOnSignal(int)
{
    QCoreApplication::quit();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString port = app.arguments().value(1);
    const int periodMs = app.arguments().value(2, QStringLiteral("200")).toInt();
    if (port.isEmpty()) {
        // Without a port, the first simulated scale that is running.
        const QDir published(ScaleSimulator::publishDirectory());
        for (const QFileInfo &entry : published.entryInfoList({QStringLiteral("ttySIM*")},
                                                              QDir::System | QDir::Files)) {
            if (entry.exists()) {
                port = entry.filePath();
                break;
            }
        }
    }
    if (port.isEmpty()) {
        err << "usage: linkprobe <port> [period ms]   (no simulated scale is running)\n";
        return 2;
    }

    LinkThread link(port);
    QObject::connect(&link, &LinkThread::linkReady, [&](bool opened) {
        out << "reading " << port << (opened ? "" : " (cannot open it yet)") << "\n";
        out.flush();
        emit link.setRefreshRateSignal(periodMs);
    });
    QObject::connect(&link, &LinkThread::newSample,
                     [&](const QString &sample, const QString &units, const QString &) {
        out << QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")) << "  "
            << sample.rightJustified(10) << ' ' << units << "\n";
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
