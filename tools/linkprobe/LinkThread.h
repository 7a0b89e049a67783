#ifndef LINKTHREAD_H
#define LINKTHREAD_H

#include <QThread>

class IODeviceNew;

// Runs one scale link on a worker thread of its own, as a device window does,
// and hands its signals to the thread that created this object. Used by the
// command-line probe, the link tests and the benchmarks.
class LinkThread : public QThread
{
    Q_OBJECT

public:
    explicit LinkThread(const QString &portName, QObject *parent = nullptr);
    ~LinkThread() override;

    // Runs fn on the worker thread with the link and waits for it.
    template<typename Fn>
    void inLink(Fn fn);

signals:
    void linkReady(bool opened);
    void newSample(QString sample, QString units, QString dzialki);
    void deleteNowSignal();
    // Requests to the link, queued to the worker thread.
    void setRefreshRateSignal(int periodMs);
    void closeSignal();

protected:
    void run() override;

private:
    QString port;
    IODeviceNew *link = nullptr;
    QObject *worker = nullptr;
};

template<typename Fn>
void LinkThread::inLink(Fn fn)
{
    if (worker)
        QMetaObject::invokeMethod(worker, [this, fn] { fn(link); }, Qt::BlockingQueuedConnection);
}

#endif // LINKTHREAD_H
