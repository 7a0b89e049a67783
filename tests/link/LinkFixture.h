#ifndef LINKFIXTURE_H
#define LINKFIXTURE_H

#include <QtTest>

#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleSimulator.h"

// A link on its worker thread against a simulated scale on a real
// pseudo-terminal; the simulator runs on the test thread and sees every byte
// the link writes.
class LinkFixture : public QObject
{
    Q_OBJECT

protected slots:
    void init()
    {
        scale = new ScaleSimulator(this);
        QVERIFY(scale->start(dir.filePath(QStringLiteral("ttySIM0"))));
    }

    void cleanup()
    {
        delete samples;
        samples = nullptr;
        delete link; // quits and joins the worker thread
        link = nullptr;
        delete scale;
        scale = nullptr;
    }

protected:
    // Starts the link on the scale's port without waiting for it.
    void launchLink()
    {
        link = new LinkThread(scale->portPath());
        samples = new QSignalSpy(link, &LinkThread::newSample);
        link->start();
    }

    void startLink()
    {
        launchLink();
        QSignalSpy ready(link, &LinkThread::linkReady);
        QVERIFY(ready.wait(2000));
        QCOMPARE(ready.at(0).at(0).toBool(), true);
    }

    QStringList samplesAt(int index) const
    {
        const QList<QVariant> triple = samples->at(index);
        return {triple.at(0).toString(), triple.at(1).toString(), triple.at(2).toString()};
    }

    QString lastUnits() const
    {
        return samples->isEmpty() ? QString() : samplesAt(samples->count() - 1).at(1);
    }

    QTemporaryDir dir;
    ScaleSimulator *scale = nullptr;
    LinkThread *link = nullptr;
    QSignalSpy *samples = nullptr;
};

#endif // LINKFIXTURE_H
