#include "ModeControl.h"

#include "DeviceTask.h"
#include "IntervalSpinBox.h"

#include <QAction>

ModeControl::ModeControl(QWidget *window, QAction *pause, QAction *go)
    : pauseAct(pause)
    , goAct(go)
    , interval(new IntervalSpinBox(window))
{
    interval->setObjectName(QStringLiteral("samplingRateBox"));
    interval->setDecimals(2);
    interval->setRange(0.2, 60.0);
    interval->setSingleStep(0.1);
    interval->setValue(0.2);
    interval->setSuffix(tr(" s"));
    interval->setMinimumHeight(30);
    interval->setButtonSymbols(QAbstractSpinBox::PlusMinus);
    retranslate();
}

void ModeControl::retranslate()
{
    interval->setToolTip(tr("set sampling rate"));
    interval->setStatusTip(tr("set sampling rate"));
}

void ModeControl::mirror(const DeviceTask *task)
{
    showGoing(!task->isPaused());
    interval->setValue(task->refreshRate() / 1000.0);
}

void ModeControl::showGoing(bool going)
{
    pauseAct->setChecked(!going);
    goAct->setChecked(going);
}

void ModeControl::pause(DeviceTask *task)
{
    showGoing(false);
    if (task)
        task->pause();
}

void ModeControl::step(DeviceTask *task)
{
    showGoing(false);
    if (task)
        task->step();
}

void ModeControl::go(DeviceTask *task)
{
    showGoing(true);
    if (task)
        task->go();
}

void ModeControl::setInterval(DeviceTask *task, double seconds)
{
    if (!task)
        return;
    // Rounded, not truncated: 2.3 s is 2299.99... ms in binary and must still
    // poll every 2300 ms.
    const int ms = qRound(seconds * 1000);
    // Mirroring a newly active window shows that window's own interval; sending
    // it back unchanged would only restart its link's wait.
    if (ms != task->refreshRate())
        task->setRefreshRate(ms);
}
