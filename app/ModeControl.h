#ifndef MODECONTROL_H
#define MODECONTROL_H

#include <QCoreApplication>

class QAction;
class QDoubleSpinBox;
class QWidget;
class DeviceTask;

// The Mode commands and the sampling-interval box of the main window, on the
// active window's scale: Pause, Step and Go, with exactly one of Pause and
// Go checked even when the operator clicks the one that already is, and the
// interval the scale is polled at. The texts are the main window's own.
class ModeControl
{
    Q_DECLARE_TR_FUNCTIONS(MdiWindow)

public:
    // The box is made a child of window.
    ModeControl(QWidget *window, QAction *pause, QAction *go);

    QDoubleSpinBox *intervalBox() const { return interval; }
    void retranslate();

    // Shows the task's mode and interval; the box writes its interval back
    // through setInterval() when it differs.
    void mirror(const DeviceTask *task);
    // With no task, only the commands' checks change.
    void pause(DeviceTask *task);
    void step(DeviceTask *task);
    void go(DeviceTask *task);
    void setInterval(DeviceTask *task, double seconds);

private:
    void showGoing(bool going);

    QAction *pauseAct;
    QAction *goAct;
    QDoubleSpinBox *interval;
};

#endif // MODECONTROL_H
