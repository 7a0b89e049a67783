#include "CommandBars.h"

#include "EditMenu.h"
#include "RecordMenu.h"
#include "WindowCommands.h"
#include "WindowMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <utility>

namespace {

QMenu *menu(QMenuBar *bar, QMenu *owner, const char *name)
{
    QMenu *made = owner ? owner->addMenu(QString()) : bar->addMenu(QString());
    made->setObjectName(QLatin1String(name));
    return made;
}

// A null action stands for a separator.
void addAll(QMenu *menu, std::initializer_list<QAction *> actions)
{
    for (QAction *action : actions)
        if (action)
            menu->addAction(action);
        else
            menu->addSeparator();
}

} // namespace

// In the order they are met in the menu bar.
CommandBars::CommandBars(QMainWindow *window, QMdiArea *workspace, const WindowCommands &commands,
                         PortSettingsStore *store, const std::function<DeviceTask *()> &activeTask)
    : window(window)
    , commands(commands)
{
    const WindowCommands &c = commands;
    QMenuBar *bar = window->menuBar();
    device = menu(bar, nullptr, "deviceMenu");
    addAll(device, {c.portSettingsAct, c.lineMonitorAct, c.limitsAct, nullptr, c.tareAct, c.zeroAct, nullptr,
                    c.exportAct, c.closeAct, nullptr, c.exitAct});

    edit = new EditMenu(activeTask, window);
    bar->addMenu(edit);
    QObject::connect(workspace, &QMdiArea::subWindowActivated, edit, &EditMenu::follow);

    mode = menu(bar, nullptr, "modeMenu");
    addAll(mode, {c.pauseAct, c.stepAct, c.goAct, c.recordAct});
    record = new RecordMenu(store, activeTask, window);
    mode->addMenu(record);

    options = menu(bar, nullptr, "optionsMenu");
    language = menu(bar, options, "languageMenu");
    addAll(language, {c.englishAct, c.polishAct});
    options->addAction(c.graphViewAct);

    windowMenu = new WindowMenu(workspace,
                                {c.fullscreenAct, nullptr, c.maximizeAct, c.tileAct, nullptr, c.nextAct,
                                 c.previousAct, nullptr, c.showLcdAct, c.showGraphAct, c.followAct,
                                 c.showStatisticsAct, c.separatorAct},
                                bar);
    bar->addMenu(windowMenu);

    help = menu(bar, nullptr, "helpMenu");
    help->addAction(c.aboutAct);
}

// Their titles are set once, in English.
void CommandBars::addToolBars(QWidget *ports, QWidget *interval, QWidget *recordPath, QWidget *lot)
{
    const WindowCommands &c = commands;
    const auto toolBar = [this](const QString &title, const char *name, const QList<QAction *> &actions) {
        QToolBar *made = window->addToolBar(title);
        made->setObjectName(QLatin1String(name));
        made->addActions(actions);
        return made;
    };
    QToolBar *deviceBar = toolBar(tr("Device"), "deviceToolBar", {});
    deviceBar->addWidget(ports);
    deviceBar->addActions({c.portSettingsAct, c.tareAct, c.zeroAct});
    toolBar(tr("Switch windows"), "switchToolBar",
            {c.maximizeAct, c.tileAct, c.previousAct, c.nextAct, c.showLcdAct, c.showGraphAct, c.followAct});
    toolBar(tr("Mode"), "modeToolBar", {c.pauseAct, c.stepAct, c.goAct})->addWidget(interval);
    QToolBar *recordBar = toolBar(tr("Record"), "recordToolBar", {c.recordAct});
    if (auto *button = qobject_cast<QToolButton *>(recordBar->widgetForAction(c.recordAct))) {
        button->setMenu(record);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    recordBar->addWidget(recordPath);
    recordBar->addWidget(lot);
    toolBar(tr("Export"), "exportToolBar", {c.exportAct});
}

void CommandBars::retranslate()
{
    const std::pair<QMenu *, const char *> menus[] = {
        {device, QT_TR_NOOP("&Device")},     {mode, QT_TR_NOOP("&Mode")},
        {options, QT_TR_NOOP("&Options")},   {language, QT_TR_NOOP("&Language")},
        {windowMenu, QT_TR_NOOP("&Window")}, {help, QT_TR_NOOP("&Help")}};
    for (const auto &titled : menus)
        titled.first->setTitle(tr(titled.second));
}
