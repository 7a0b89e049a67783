#include "ScaleList.h"

#include "DeviceTask.h"
#include "SaveSamples.h"

#include <algorithm>

ScaleList::ScaleList(QObject *parent)
    : QObject(parent)
{
}

bool ScaleList::isFull() const
{
    return scales.size() >= mostScales;
}

void ScaleList::take(DeviceTask *task)
{
    scales << Scale{task, task->port()};
    // A task goes with its window, closed or never started: its place is free
    // then, and so is its port if it was not given back before.
    connect(task, &QObject::destroyed, this, [this] {
        QStringList freed;
        for (const Scale &scale : qAsConst(scales))
            if (!scale.task && !scale.released)
                freed << scale.port;
        scales.erase(std::remove_if(scales.begin(), scales.end(), [](const Scale &scale) { return !scale.task; }),
                     scales.end());
        for (const QString &port : qAsConst(freed))
            emit removed(port);
    });
    emit portTaken(task->port());
}

void ScaleList::start(DeviceTask *task)
{
    const auto at = std::find_if(scales.begin(), scales.end(), [task](const Scale &scale) { return scale.task == task; });
    if (at == scales.end())
        return;
    Scale scale = *at;
    scale.started = true;
    scales.erase(at);
    scales << scale;
    emit added(task);
}

void ScaleList::release(const QString &port)
{
    bool given = false;
    for (Scale &scale : scales)
        if (scale.port == port && !scale.released)
            given = scale.released = true;
    if (given)
        emit removed(port);
}

void ScaleList::noteChange()
{
    emit changed();
}

QList<DeviceTask *> ScaleList::running() const
{
    QList<DeviceTask *> tasks;
    for (const Scale &scale : scales)
        if (scale.task && scale.started && !scale.released)
            tasks << scale.task;
    return tasks;
}

QStringList ScaleList::ports() const
{
    QStringList inUse;
    for (const Scale &scale : scales)
        if (!scale.released)
            inUse << scale.port;
    return inUse;
}

QString ScaleList::recordingInto(const QString &fileName, const DeviceTask *except) const
{
    for (const DeviceTask *task : running())
        if (task != except && task->isRecording() && task->recorder() && task->recorder()->isWritingTo(fileName))
            return task->port();
    return QString();
}

int ScaleList::recordingCount() const
{
    const QList<DeviceTask *> tasks = running();
    return int(std::count_if(tasks.cbegin(), tasks.cend(), [](const DeviceTask *task) { return task->isRecording(); }));
}
