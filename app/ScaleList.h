#ifndef SCALELIST_H
#define SCALELIST_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class DeviceTask;

// The scales the program has open, and the rules they keep together: at most
// mostScales at once, those still starting and those still closing included;
// each port open once, which the port selector is told; and no two of them
// recording into one file, whose lines could not be told apart.
class ScaleList : public QObject
{
    Q_OBJECT

public:
    // The most scales the program opens, and so the most a shift holds.
    static constexpr int mostScales = 4;

    explicit ScaleList(QObject *parent = nullptr);

    // Whether every place is taken, so that no other scale may be opened now.
    bool isFull() const;
    // The task's port is in use from now on; its task is still starting.
    void take(DeviceTask *task);
    // The task runs, and its window is about to be shown.
    void start(DeviceTask *task);
    // The port is given back; its place stays taken until its task is gone.
    void release(const QString &port);
    // Something the operator did changed what a running scale keeps.
    void noteChange();

    // The running ones, in the order they started.
    QList<DeviceTask *> running() const;
    // The ports in use, those still starting included.
    QStringList ports() const;
    // The port of the scale other than except that records into fileName, or
    // empty when none does.
    QString recordingInto(const QString &fileName, const DeviceTask *except) const;
    int recordingCount() const;

signals:
    void portTaken(const QString &port);
    void added(DeviceTask *task);
    void removed(const QString &port);
    void changed();

private:
    struct Scale
    {
        QPointer<DeviceTask> task;
        QString port;
        bool started = false;
        bool released = false;
    };
    QList<Scale> scales;
};

#endif // SCALELIST_H
