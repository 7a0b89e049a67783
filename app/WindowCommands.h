#ifndef WINDOWCOMMANDS_H
#define WINDOWCOMMANDS_H

#include <QCoreApplication>

#include <functional>
#include <vector>

class QAction;
class QMdiArea;
class DeviceTask;
class MdiWindow;
class ScaleList;

// Every command of the main window, built from one table: what each one is
// called (its object name), says, shows and is keyed to, and what it does,
// mostly through the window's slots; those on the workspace or on the active
// window's scale it does itself. As in a form laid out in the designer, the
// actions are public members; they are children of the window. The texts
// are the main window's own.
class WindowCommands
{
    Q_DECLARE_TR_FUNCTIONS(MdiWindow)

public:
    // activeTask gives the active window's task, or null; scales hears of
    // the commands that change what a scale keeps.
    WindowCommands(MdiWindow *window, QMdiArea *workspace, ScaleList *scales,
                   std::function<DeviceTask *()> activeTask);

    // Every text, in the language of the moment.
    void retranslate();
    // Tare and Zero as the active window's kind of scale allows, with the
    // reason in the tip where it does not.
    void enableScaleCommands();

    QAction *portSettingsAct = nullptr;
    QAction *lineMonitorAct = nullptr;
    QAction *limitsAct = nullptr;
    QAction *tareAct = nullptr;
    QAction *zeroAct = nullptr;
    QAction *closeAct = nullptr;
    QAction *exitAct = nullptr;
    QAction *pauseAct = nullptr;
    QAction *stepAct = nullptr;
    QAction *goAct = nullptr;
    QAction *recordAct = nullptr;
    QAction *fullscreenAct = nullptr;
    QAction *maximizeAct = nullptr;
    QAction *tileAct = nullptr;
    QAction *nextAct = nullptr;
    QAction *previousAct = nullptr;
    QAction *showLcdAct = nullptr;
    QAction *showGraphAct = nullptr;
    QAction *followAct = nullptr;
    QAction *showStatisticsAct = nullptr;
    QAction *graphViewAct = nullptr;
    QAction *aboutAct = nullptr;
    QAction *exportAct = nullptr;
    QAction *polishAct = nullptr;
    QAction *englishAct = nullptr;
    // Before the window list in the Window menu, shown while there is one.
    QAction *separatorAct = nullptr;

private:
    enum Flag { Checkable = 1, Checked = 2, Toggled = 4, ChangesScale = 8, TipOnce = 16 };
    // Toggled: run on every change of its check, not only the operator's.
    // ChangesScale: the command changes what the active window's scale
    // keeps. TipOnce: the status tip is not retranslated. No run: the window
    // tells what the command chose.
    struct Row
    {
        QAction *WindowCommands::*action;
        const char *name;
        const char *text;
        const char *statusTip;
        const char *icon;
        int key;             // the shortcut, or 0
        const char *keyName; // or the shortcut as translated text, or null
        int flags;
        void (*run)(WindowCommands *commands, bool checked);
    };
    static const std::vector<Row> &rows();

    MdiWindow *window;
    QMdiArea *workspace;
    std::function<DeviceTask *()> activeTask;
};

#endif // WINDOWCOMMANDS_H
