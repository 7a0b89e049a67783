#ifndef RECORDMENU_H
#define RECORDMENU_H

#include <QMenu>

#include <functional>

#include "CaptureFilter.h"
#include "RecordFormat.h"

class QActionGroup;
class DeviceTask;
class PortSettingsStore;

// The Record button's menu: the active window's record format and what it
// records. Each choice goes to the window's device task at once and is kept
// for its port.
class RecordMenu : public QMenu
{
    Q_OBJECT

public:
    RecordMenu(PortSettingsStore *store, std::function<DeviceTask *()> activeTask,
               QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void translate();
    void mirror();
    void chooseFormat(RecordFormat::Kind kind);
    void chooseMode(CaptureFilter::Mode mode);
    void askThreshold();
    QAction *choice(QActionGroup *group, const char *name);

    PortSettingsStore *store;
    std::function<DeviceTask *()> activeTask;
    QActionGroup *formats;
    QActionGroup *modes;
    QAction *formatSection;
    QAction *modeSection;
    QAction *classicAct;
    QAction *csvAct;
    QAction *commaAct;
    QAction *semicolonAct;
    QAction *everyAct;
    QAction *stableAct;
    QAction *perLoadAct;
    QAction *thresholdAct;
};

#endif // RECORDMENU_H
