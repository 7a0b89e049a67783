#ifndef LINKTHREAD_H
#define LINKTHREAD_H

#include <QAtomicPointer>
#include <QThread>

#include <atomic>

#include "ScaleProtocol.h"

class IODeviceNew;

// Runs one scale link on a worker thread of its own, as a device window does,
// and hands its signals to the thread that created this object. Used by the
// command-line probe, the link tests and the benchmarks.
class LinkThread : public QThread
{
    Q_OBJECT

public:
    explicit LinkThread(const QString &portName, QObject *parent = nullptr);
    // Reads the port as the given kind of scale, at the given line settings.
    LinkThread(const QString &portName, const ScaleSetup &scale, QObject *parent = nullptr);
    ~LinkThread() override;

    // Runs fn on the worker thread with the link and waits for it.
    template<typename Fn>
    void inLink(Fn fn);

signals:
    void linkReady(bool opened);
    void newSample(QString sample, QString units, QString dzialki);
    void deleteNowSignal();
    void noReading(int cause, QString detail);
    void readingStable(bool stable);
    // Requests to the link, queued to the worker thread.
    void setRefreshRateSignal(int periodMs);
    void closeSignal();

protected:
    void run() override;

private:
    QString port;
    ScaleSetup setup;
    // Set and cleared on the worker thread, read by inLink() on the caller's.
    QAtomicPointer<IODeviceNew> link;
    QAtomicPointer<QObject> worker;
    // Set by run() once the link has gone, read after wait() (see run()).
    std::atomic<bool> ended{false};
};

template<typename Fn>
void LinkThread::inLink(Fn fn)
{
    QObject *target = worker.loadAcquire();
    if (!target)
        return;
    // The blocking call hands back inside Qt, out of a race detector's sight;
    // the flag makes whatever fn wrote on the worker visibly the caller's.
    std::atomic<bool> done{false};
    QMetaObject::invokeMethod(target, [this, fn, &done] {
        fn(link.loadAcquire());
        done.store(true, std::memory_order_release);
    }, Qt::BlockingQueuedConnection);
    done.load(std::memory_order_acquire);
}

#endif // LINKTHREAD_H
