#include "WindowCommands.h"

#include "DeviceTask.h"
#include "LimitsDialog.h"
#include "MdiWindow.h"
#include "ScaleList.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMdiArea>

WindowCommands::WindowCommands(MdiWindow *window, QMdiArea *workspace, ScaleList *scales,
                               std::function<DeviceTask *()> activeTask)
    : window(window)
    , workspace(workspace)
    , activeTask(std::move(activeTask))
{
    for (const Row &row : rows()) {
        auto *action = new QAction(window);
        this->*row.action = action;
        action->setObjectName(QLatin1String(row.name));
        if (row.icon)
            action->setIcon(QIcon(QLatin1String(row.icon)));
        if (row.key)
            action->setShortcut(QKeySequence(row.key));
        else if (row.keyName)
            action->setShortcut(QKeySequence(tr(row.keyName)));
        action->setCheckable(row.flags & Checkable);
        action->setChecked(row.flags & Checked);
        const auto run = row.run;
        if (run && (row.flags & Toggled))
            QObject::connect(action, &QAction::toggled, action, [this, run](bool on) { run(this, on); });
        else if (run)
            QObject::connect(action, &QAction::triggered, action, [this, run](bool on) { run(this, on); });
        // After the command itself, once the scale's state has settled.
        if (row.flags & ChangesScale)
            QObject::connect(action, &QAction::triggered, scales, &ScaleList::noteChange);
    }
    // The catalogue each language action loads.
    polishAct->setData(QStringLiteral("polish"));
    englishAct->setData(QStringLiteral("english"));

    separatorAct = new QAction(window);
    separatorAct->setObjectName(QStringLiteral("separatorAct"));
    separatorAct->setSeparator(true);
}

// Every command of the window, in one place: what it is called, says and
// does. retranslate() writes the texts, at creation and at every language
// change.
const std::vector<WindowCommands::Row> &WindowCommands::rows()
{
    using C = WindowCommands;
    // Keys as keys, the same in both languages, unless named by a text.
    static const std::vector<Row> rows = {
        {&C::portSettingsAct, "portSettingsAct", QT_TR_NOOP("&Port settings..."),
         QT_TR_NOOP("Choose the kind of scale and the line settings of a port"), nullptr,
         Qt::CTRL | Qt::SHIFT | Qt::Key_P, nullptr, 0, [](C *c, bool) { c->window->portSettings(); }},
        {&C::lineMonitorAct, "lineMonitorAct", QT_TR_NOOP("Line &monitor..."),
         QT_TR_NOOP("Show the bytes the active window exchanges with its scale"), nullptr, Qt::CTRL | Qt::Key_L,
         nullptr, 0, [](C *c, bool) { c->window->lineMonitor(); }},
        {&C::limitsAct, "limitsAct", QT_TR_NOOP("&Limits..."),
         QT_TR_NOOP("Set the low and high limit of the active window's readings"), nullptr, 0, nullptr, 0,
         [](C *c, bool) {
             if (DeviceTask *task = c->activeTask())
                 LimitsDialog::edit(task, c->window->portSettingsStore(), c->window);
         }},
        {&C::tareAct, "tareAct", QT_TR_NOOP("&Tare"),
         QT_TR_NOOP("Have the active window's scale take the load on it off as tare"), nullptr,
         Qt::CTRL | Qt::Key_T, nullptr, 0, [](C *c, bool) {
             if (DeviceTask *task = c->activeTask())
                 task->tare();
         }},
        {&C::zeroAct, "zeroAct", QT_TR_NOOP("&Zero"), QT_TR_NOOP("Have the active window's scale set its zero"),
         nullptr, Qt::CTRL | Qt::Key_0, nullptr, 0, [](C *c, bool) {
             if (DeviceTask *task = c->activeTask())
                 task->zero();
         }},
        {&C::closeAct, "closeAct", QT_TR_NOOP("&Close"), QT_TR_NOOP("Close this document"), nullptr, 0,
         QT_TR_NOOP("Ctrl+W"), 0, [](C *c, bool) { c->workspace->closeActiveSubWindow(); }},
        {&C::exitAct, "exitAct", QT_TR_NOOP("E&xit"), QT_TR_NOOP("Quit the application"), nullptr, 0,
         QT_TR_NOOP("Ctrl+Q"), 0, [](C *, bool) { QApplication::closeAllWindows(); }},
        {&C::pauseAct, "pauseAct", QT_TR_NOOP("&Pause"), QT_TR_NOOP("Stop taking readings"),
         ":/images/media_playback_pause.png", Qt::CTRL | Qt::Key_P, nullptr, Checkable | ChangesScale,
         [](C *c, bool) { c->window->pauseMode(); }},
        // Space, whatever language the window was built in; see retranslate().
        {&C::stepAct, "stepAct", QT_TR_NOOP("&Step"), QT_TR_NOOP("Take the next reading"),
         ":/images/media_skip_forward.png", Qt::Key_Space, nullptr, ChangesScale, [](C *c, bool) { c->window->stepMode(); }},
        {&C::goAct, "goAct", QT_TR_NOOP("&Go"), QT_TR_NOOP("Take readings at the sampling interval"),
         ":/images/media_playback_start.png", Qt::CTRL | Qt::Key_G, nullptr, Checkable | ChangesScale,
         [](C *c, bool) { c->window->goMode(); }},
        {&C::recordAct, "recordAct", QT_TR_NOOP("&Record"), QT_TR_NOOP("Record the readings taken into the chosen file"),
         ":/images/button_black_rec.png", Qt::CTRL | Qt::Key_R, nullptr, Checkable | ChangesScale,
         [](C *c, bool on) { c->window->recMode(on); }},
        {&C::fullscreenAct, "fullscreenAct", QT_TR_NOOP("&Fullscreen"), QT_TR_NOOP("Set fullscreen"),
         ":/images/view_fullscreen.png", Qt::Key_F11, nullptr, Checkable, [](C *c, bool on) { c->window->setFullScreen(on); }},
        {&C::maximizeAct, "maximizeAct", QT_TR_NOOP("&Maximize"), QT_TR_NOOP("Maximize the windows"),
         ":/images/maximized.png", 0, QT_TR_NOOP("Ctrl+Up"), 0, [](C *c, bool) { c->window->maxi(); }},
        {&C::tileAct, "tileAct", QT_TR_NOOP("&Tile"), QT_TR_NOOP("Tile the windows"), ":/images/large_tiles.png", 0,
         QT_TR_NOOP("Ctrl+Down"), 0, [](C *c, bool) { c->workspace->tileSubWindows(); }},
        {&C::nextAct, "nextAct", QT_TR_NOOP("&Next window"), QT_TR_NOOP("Move to the next window"),
         ":/images/right_grey.png", 0, QT_TR_NOOP("Ctrl+Right"), 0,
         [](C *c, bool) { c->workspace->activateNextSubWindow(); }},
        {&C::previousAct, "previousAct", QT_TR_NOOP("&Previous window"), QT_TR_NOOP("Move to the previous window"),
         ":/images/left_grey.png", 0, QT_TR_NOOP("Ctrl+Left"), 0,
         [](C *c, bool) { c->workspace->activatePreviousSubWindow(); }},
        // Both views start visible, as every new document shows both. The
        // toggles are wired once here rather than per document: they are
        // disabled while no document is open, so nobody can use them earlier.
        {&C::showLcdAct, "showLcdAct", QT_TR_NOOP("Show &LCD display"), QT_TR_NOOP("Show LCD display"),
         ":/images/lcd.png", 0, nullptr, Checkable | Checked, [](C *c, bool on) { c->window->showLCD(on); }},
        {&C::showGraphAct, "showGraphAct", QT_TR_NOOP("Show &graph"), QT_TR_NOOP("Show graph image"),
         ":/images/chart_line.png", 0, nullptr, Checkable | Checked, [](C *c, bool on) { c->window->showGraph(on); }},
        // Like the appearance, one setting for every window, new ones included.
        {&C::followAct, "followAct", QT_TR_NOOP("Follow &readings"),
         QT_TR_NOOP("Fit each plot's value axis to the readings in its window"), ":/images/follow_readings.png", 0,
         nullptr, Checkable | Toggled, [](C *c, bool on) { c->window->followReadings(on); }},
        // Off at first: the read-out looks as it always did until asked. The
        // window tells every change, the shift's own at start included.
        {&C::showStatisticsAct, "showStatisticsAct", QT_TR_NOOP("Show stat&istics"),
         QT_TR_NOOP("Show the statistics of the readings taken under the read-out"), nullptr, 0, nullptr,
         Checkable, nullptr},
        {&C::graphViewAct, "graphViewAct", QT_TR_NOOP("&Graph View"), QT_TR_NOOP("Change graph attributes"), nullptr,
         0, nullptr, 0, [](C *c, bool) { c->window->graphViewWindow(); }},
        {&C::aboutAct, "aboutAct", QT_TR_NOOP("&About"), QT_TR_NOOP("About this application"), nullptr, 0, nullptr,
         0, [](C *c, bool) { c->window->helpAbout(); }},
        {&C::exportAct, "exportAct", QT_TR_NOOP("&Export"), QT_TR_NOOP("Export plot to file"),
         ":/images/picture_save.png", 0, QT_TR_NOOP("Ctrl+E"), ChangesScale, [](C *c, bool) { c->window->exportPlot(); }},
        // Their status tips stay in the language the window was built in. The
        // window loads the language chosen, the key in the action's data.
        {&C::polishAct, "polishAct", QT_TR_NOOP("&Polish"), QT_TR_NOOP("Set polish language"), nullptr, 0, nullptr,
         TipOnce, nullptr},
        {&C::englishAct, "englishAct", QT_TR_NOOP("&English"), QT_TR_NOOP("Set english language"), nullptr, 0,
         nullptr, TipOnce, nullptr},
    };
    return rows;
}

void WindowCommands::retranslate()
{
    for (const Row &row : rows()) {
        QAction *action = this->*row.action;
        action->setText(tr(row.text));
        if (!(row.flags & TipOnce) || action->statusTip().isEmpty())
            action->setStatusTip(tr(row.statusTip));
    }
    enableScaleCommands();
    // The key name is parsed with the toolkit's own catalogue ("Spacja" in
    // Polish); should that catalogue be missing, the name would parse to an
    // unknown key and Step would stop answering, so Space is kept instead.
    QKeySequence step(tr("Space"));
    if (step.isEmpty() || step[0] == Qt::Key_unknown)
        step = QKeySequence(Qt::Key_Space);
    stepAct->setShortcut(step);
}

void WindowCommands::enableScaleCommands()
{
    const DeviceTask *task = activeTask();
    for (QAction *action : {tareAct, zeroAct}) {
        const auto command = action == tareAct ? ScaleProtocol::Tare : ScaleProtocol::Zero;
        const QString reason = task ? task->commandUnavailable(command) : QString();
        action->setEnabled(task && reason.isEmpty());
        action->setToolTip(reason); // none: the action's text
    }
}
