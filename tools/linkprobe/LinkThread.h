#ifndef LINKTHREAD_H
#define LINKTHREAD_H

#include <QThread>

#include <atomic>

#include "LinkWorker.h"

class IODeviceNew;

// A LinkWorker on a thread of its own, as a device window runs one, its
// signals handed to the thread that created this object. Used by the
// command-line probe, the link tests and the benchmarks.
class LinkThread : public QObject
{
    Q_OBJECT

public:
    explicit LinkThread(const QString &portName, QObject *parent = nullptr);
    // Reads the port as the given kind of scale, at the given line settings.
    LinkThread(const QString &portName, const ScaleSetup &scale, QObject *parent = nullptr);
    ~LinkThread() override;

    void start() { thread.start(); }
    LinkWorker *worker() { return &linkWorker; }
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

private:
    QThread thread;
    LinkWorker linkWorker;
    // Set once the link has gone on the worker thread, read after wait():
    // what the worker wrote there is then visibly this thread's.
    std::atomic<bool> ended{false};
};

template<typename Fn>
void LinkThread::inLink(Fn fn)
{
    // The blocking call hands back inside Qt, out of a race detector's sight;
    // the flag makes whatever fn wrote on the worker visibly the caller's.
    std::atomic<bool> done{false};
    QMetaObject::invokeMethod(&linkWorker, [this, fn, &done] {
        if (IODeviceNew *link = linkWorker.link())
            fn(link);
        done.store(true, std::memory_order_release);
    }, Qt::BlockingQueuedConnection);
    done.load(std::memory_order_acquire);
}

#endif // LINKTHREAD_H
