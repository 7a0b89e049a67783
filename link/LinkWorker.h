#ifndef LINKWORKER_H
#define LINKWORKER_H

#include <QDateTime>
#include <QObject>

#include <memory>

#include "ScaleProtocol.h"

class IODeviceNew;

// One scale link and the thread it runs on, as seen from any other thread.
// The worker is made anywhere and moved to the link's thread; start(), called
// there, makes the link, whose timers, state machine and port then belong to
// that thread. Every request reaches the link through the worker's slots,
// by queued calls from other threads, and the link's signals come back
// through the worker's. The worker holds the period and who watches the
// line, so a link made afresh by reopen() starts as the one it replaces ran.
class LinkWorker : public QObject
{
    Q_OBJECT

public:
    LinkWorker(const QString &portName, const ScaleSetup &setup, int periodMs, QObject *parent = nullptr);
    ~LinkWorker() override;

    // The link, for code already on the worker's thread; null before
    // start() and after finish().
    IODeviceNew *link() const { return device.get(); }

public slots:
    // Makes the link with the setup given and opens its port; started() tells how that went.
    void start();
    void setRefreshRate(int periodMs);
    // A ScaleProtocol::Command (see IODeviceNew::sendCommand).
    void sendCommand(int command);
    // Reads the port from now on with another setup: the link in use stops
    // and gives the port back, unheard from, before a new one opens it.
    void reopen(const ScaleSetup &setup);
    // The link stops and closes its port; deleteNowSignal() follows.
    void close();
    // Passes lineTraffic() on while anyone watches: each watchLine(true) is
    // undone by one watchLine(false).
    void watchLine(bool on);
    // The link goes; the thread's last act, so that it goes on its thread.
    void finish();

signals:
    void started(bool opened);
    // The link's own signals (see IODeviceNew).
    void newSample(QString sample, QString units, QString dzialki, QDateTime taken);
    void noReading(int cause, QString detail);
    void readingStable(bool stable);
    void commandAnswered(int command, bool done, QString text);
    void lineTraffic(int direction, QByteArray bytes, QDateTime at);
    void deleteNowSignal();

private:
    void makeLink();
    void followLineWatch();

    const QString port;
    ScaleSetup scaleSetup;
    int period;
    int lineWatchers = 0;
    std::unique_ptr<IODeviceNew> device;
};

#endif // LINKWORKER_H
