#include "MdiWindow.h"

#include "AboutWindow.h"
#include "AppTrace.h"
#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "EditMenu.h"
#include "FrameMenu.h"
#include "GraphAttr.h"
#include "GraphView.h"
#include "LimitsDialog.h"
#include "LotField.h"
#include "ModeControl.h"
#include "ProgramVersion.h"
#include "RandomPlot.h"
#include "RecordMenu.h"
#include "RecordingNotices.h"
#include "RecordControl.h"
#include "SaveSamples.h"
#include "ScaleOpener.h"
#include "ScaleList.h"
#include "Scaner.h"
#include "ShiftRestorer.h"
#include "WindowMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QIcon>
#include <QKeySequence>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>

#include <utility>

MdiWindow::MdiWindow(QTranslator *programTranslator, QTranslator *toolkitTranslator,
                     QWidget *parent)
    : QMainWindow(parent)
    , programTranslator(programTranslator)
    , toolkitTranslator(toolkitTranslator)
{
    qCDebug(appTrace) << "C? MdiWindow";
    graphAttr = GraphAttr::createDefault();

    // Replaced by the "weighing" title at the first language change.
    setWindowTitle(tr("KORVEN scale software ") + version());
    setWindowIcon(QIcon(QStringLiteral(":/images/korven.png")));

    workspace = new QMdiArea(this);
    workspace->setObjectName(QStringLiteral("workspace"));
    setCentralWidget(workspace);
    connect(workspace, &QMdiArea::subWindowActivated, this, &MdiWindow::enableActions);

    scales = new ScaleList(this);

    lotField = new LotField([this] { return activeTask(); }, this);
    connect(lotField, &LotField::lotChosen, scales, &ScaleList::noteChange);

    notices = new RecordingNotices(this);

    scaner = new Scaner(this);
    scaner->setObjectName(QStringLiteral("scaner"));
    connect(scaner, &QComboBox::textActivated, this, &MdiWindow::deviceNew);
    connect(scales, &ScaleList::portTaken, scaner, &Scaner::addOpenedCOM);
    connect(scales, &ScaleList::removed, scaner, &Scaner::removeOpenedCOM);

    // After enableActions(), so that the controls are enabled before they are
    // made to mirror the newly active document.
    connect(workspace, &QMdiArea::subWindowActivated, this, &MdiWindow::windowState);
    createActions();
    opener = new ScaleOpener(workspace, scales, &portStore, notices, closeAct, this);
    connect(opener, &ScaleOpener::starting, this, &MdiWindow::joinViews);
    modeControl = std::make_unique<ModeControl>(this, pauseAct, goAct);
    samplingRateBox = modeControl->intervalBox();
    connect(samplingRateBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged),
            this, &MdiWindow::setSamplingRate);
    connect(samplingRateBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), scales, &ScaleList::noteChange);
    recordControl = std::make_unique<RecordControl>(this, recordAct, scales, notices);
    connect(recordControl->button(), &QPushButton::clicked, this, &MdiWindow::setRecPath);
    connect(recordControl->button(), &QPushButton::clicked, scales, &ScaleList::noteChange);
    createMenus();
    createToolBars();
    retranslate();

    statusBar()->showMessage(tr("Ready"));
    enableActions();

    // Freed with the window, after the document windows that may still refer
    // to it: children go in the order they were adopted.
    graphAttr->setParent(this);

    loadLanguage(QStringLiteral("polish"));
    qCDebug(appTrace) << "C! MdiWindow";
}

MdiWindow::~MdiWindow()
{
    // QWidget's destructor, which runs after this one, closes the workspace
    // with its document frames and so activates sub-windows one last time;
    // the slots must not run on a window whose own part is already gone.
    workspace->disconnect(this);
    // So do the menu and the field that ask this window for its active task.
    delete std::exchange(editMenu, nullptr);
    delete std::exchange(lotField, nullptr);
    // With the windows still starting, whose tasks' threads stop.
    delete std::exchange(opener, nullptr);
    // The windows still open at exit are the shift to resume.
    if (shift)
        shift->stop();
    qCDebug(appTrace) << "D: MdiWindow";
}

QString MdiWindow::version()
{
    return QLatin1Char('v') + QLatin1String(programVersion);
}

// Every action of the window, in one place: what it is called, says and does.
// retranslate() writes the texts, at creation and at every language change.
const std::vector<MdiWindow::ActionRow> &MdiWindow::actionRows()
{
    using W = MdiWindow;
    // Keys as keys, the same in both languages, unless named by a text.
    static const std::vector<ActionRow> rows = {
        {&W::portSettingsAct, "portSettingsAct", QT_TR_NOOP("&Port settings..."),
         QT_TR_NOOP("Choose the kind of scale and the line settings of a port"), nullptr,
         Qt::CTRL | Qt::SHIFT | Qt::Key_P, nullptr, 0, [](W *w, bool) { w->portSettings(); }},
        {&W::lineMonitorAct, "lineMonitorAct", QT_TR_NOOP("Line &monitor..."),
         QT_TR_NOOP("Show the bytes the active window exchanges with its scale"), nullptr, Qt::CTRL | Qt::Key_L,
         nullptr, 0, [](W *w, bool) { w->lineMonitor(); }},
        {&W::limitsAct, "limitsAct", QT_TR_NOOP("&Limits..."),
         QT_TR_NOOP("Set the low and high limit of the active window's readings"), nullptr, 0, nullptr, 0,
         [](W *w, bool) {
             if (DeviceTask *task = w->activeTask())
                 LimitsDialog::edit(task, &w->portStore, w);
         }},
        {&W::tareAct, "tareAct", QT_TR_NOOP("&Tare"),
         QT_TR_NOOP("Have the active window's scale take the load on it off as tare"), nullptr,
         Qt::CTRL | Qt::Key_T, nullptr, 0, [](W *w, bool) {
             if (DeviceTask *task = w->activeTask())
                 task->tare();
         }},
        {&W::zeroAct, "zeroAct", QT_TR_NOOP("&Zero"), QT_TR_NOOP("Have the active window's scale set its zero"),
         nullptr, Qt::CTRL | Qt::Key_0, nullptr, 0, [](W *w, bool) {
             if (DeviceTask *task = w->activeTask())
                 task->zero();
         }},
        {&W::closeAct, "closeAct", QT_TR_NOOP("&Close"), QT_TR_NOOP("Close this document"), nullptr, 0,
         QT_TR_NOOP("Ctrl+W"), 0, [](W *w, bool) { w->workspace->closeActiveSubWindow(); }},
        {&W::exitAct, "exitAct", QT_TR_NOOP("E&xit"), QT_TR_NOOP("Quit the application"), nullptr, 0,
         QT_TR_NOOP("Ctrl+Q"), 0, [](W *, bool) { QApplication::closeAllWindows(); }},
        {&W::pauseAct, "pauseAct", QT_TR_NOOP("&Pause"), QT_TR_NOOP("Stop taking readings"),
         ":/images/media_playback_pause.png", Qt::CTRL | Qt::Key_P, nullptr, Checkable | ChangesScale,
         [](W *w, bool) { w->pauseMode(); }},
        // Space, whatever language the window was built in; see translateUI().
        {&W::stepAct, "stepAct", QT_TR_NOOP("&Step"), QT_TR_NOOP("Take the next reading"),
         ":/images/media_skip_forward.png", Qt::Key_Space, nullptr, ChangesScale, [](W *w, bool) { w->stepMode(); }},
        {&W::goAct, "goAct", QT_TR_NOOP("&Go"), QT_TR_NOOP("Take readings at the sampling interval"),
         ":/images/media_playback_start.png", Qt::CTRL | Qt::Key_G, nullptr, Checkable | ChangesScale,
         [](W *w, bool) { w->goMode(); }},
        {&W::recordAct, "recordAct", QT_TR_NOOP("&Record"), QT_TR_NOOP("Record the readings taken into the chosen file"),
         ":/images/button_black_rec.png", Qt::CTRL | Qt::Key_R, nullptr, Checkable | ChangesScale,
         [](W *w, bool on) { w->recMode(on); }},
        {&W::fullscreenAct, "fullscreenAct", QT_TR_NOOP("&Fullscreen"), QT_TR_NOOP("Set fullscreen"),
         ":/images/view_fullscreen.png", Qt::Key_F11, nullptr, Checkable, [](W *w, bool on) { w->setFullScreen(on); }},
        {&W::maximizeAct, "maximizeAct", QT_TR_NOOP("&Maximize"), QT_TR_NOOP("Maximize the windows"),
         ":/images/maximized.png", 0, QT_TR_NOOP("Ctrl+Up"), 0, [](W *w, bool) { w->maxi(); }},
        {&W::tileAct, "tileAct", QT_TR_NOOP("&Tile"), QT_TR_NOOP("Tile the windows"), ":/images/large_tiles.png", 0,
         QT_TR_NOOP("Ctrl+Down"), 0, [](W *w, bool) { w->workspace->tileSubWindows(); }},
        {&W::nextAct, "nextAct", QT_TR_NOOP("&Next window"), QT_TR_NOOP("Move to the next window"),
         ":/images/right_grey.png", 0, QT_TR_NOOP("Ctrl+Right"), 0,
         [](W *w, bool) { w->workspace->activateNextSubWindow(); }},
        {&W::previousAct, "previousAct", QT_TR_NOOP("&Previous window"), QT_TR_NOOP("Move to the previous window"),
         ":/images/left_grey.png", 0, QT_TR_NOOP("Ctrl+Left"), 0,
         [](W *w, bool) { w->workspace->activatePreviousSubWindow(); }},
        // Both views start visible, as every new document shows both. The
        // toggles are wired once here rather than per document: they are
        // disabled while no document is open, so nobody can use them earlier.
        {&W::showLcdAct, "showLcdAct", QT_TR_NOOP("Show &LCD display"), QT_TR_NOOP("Show LCD display"),
         ":/images/lcd.png", 0, nullptr, Checkable | Checked, [](W *w, bool on) { w->showLCD(on); }},
        {&W::showGraphAct, "showGraphAct", QT_TR_NOOP("Show &graph"), QT_TR_NOOP("Show graph image"),
         ":/images/chart_line.png", 0, nullptr, Checkable | Checked, [](W *w, bool on) { w->showGraph(on); }},
        // Like the appearance, one setting for every window, new ones included.
        {&W::followAct, "followAct", QT_TR_NOOP("Follow &readings"),
         QT_TR_NOOP("Fit each plot's value axis to the readings in its window"), ":/images/follow_readings.png", 0,
         nullptr, Checkable | Toggled, [](W *w, bool on) { w->followReadings(on); }},
        // Off at first: the read-out looks as it always did until asked.
        {&W::showStatisticsAct, "showStatisticsAct", QT_TR_NOOP("Show stat&istics"),
         QT_TR_NOOP("Show the statistics of the readings taken under the read-out"), nullptr, 0, nullptr,
         Checkable | Toggled, [](W *w, bool on) { emit w->showStatisticsSig(on); }},
        {&W::graphViewAct, "graphViewAct", QT_TR_NOOP("&Graph View"), QT_TR_NOOP("Change graph attributes"), nullptr,
         0, nullptr, 0, [](W *w, bool) { w->graphViewWindow(); }},
        {&W::aboutAct, "aboutAct", QT_TR_NOOP("&About"), QT_TR_NOOP("About this application"), nullptr, 0, nullptr,
         0, [](W *w, bool) { w->helpAbout(); }},
        {&W::exportAct, "exportAct", QT_TR_NOOP("&Export"), QT_TR_NOOP("Export plot to file"),
         ":/images/picture_save.png", 0, QT_TR_NOOP("Ctrl+E"), ChangesScale, [](W *w, bool) { w->exportPlot(); }},
        // Their status tips stay in the language the window was built in.
        {&W::polishAct, "polishAct", QT_TR_NOOP("&Polish"), QT_TR_NOOP("Set polish language"), nullptr, 0, nullptr,
         TipOnce, [](W *w, bool) { w->chooseLanguage(w->polishAct); }},
        {&W::englishAct, "englishAct", QT_TR_NOOP("&English"), QT_TR_NOOP("Set english language"), nullptr, 0,
         nullptr, TipOnce, [](W *w, bool) { w->chooseLanguage(w->englishAct); }},
    };
    return rows;
}

void MdiWindow::createActions()
{
    for (const ActionRow &row : actionRows()) {
        auto *action = new QAction(this);
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
        if (row.flags & Toggled)
            connect(action, &QAction::toggled, this, [this, run](bool on) { run(this, on); });
        else
            connect(action, &QAction::triggered, this, [this, run](bool on) { run(this, on); });
        // After the command itself, once the scale's state has settled.
        if (row.flags & ChangesScale)
            connect(action, &QAction::triggered, scales, &ScaleList::noteChange);
    }
    // The catalogue each language action loads.
    polishAct->setData(QStringLiteral("polish"));
    englishAct->setData(QStringLiteral("english"));

    separatorAct = new QAction(this);
    separatorAct->setObjectName(QStringLiteral("separatorAct"));
    separatorAct->setSeparator(true);
}

// A null action stands for a separator.
static void addAll(QMenu *menu, std::initializer_list<QAction *> actions)
{
    for (QAction *action : actions)
        if (action)
            menu->addAction(action);
        else
            menu->addSeparator();
}

// Titled by retranslate(); the menus are the menu bar's, the submenus their
// menus'.
void MdiWindow::createMenus()
{
    const auto menu = [this](QMenu *owner, const char *name) {
        QMenu *made = owner ? owner->addMenu(QString()) : menuBar()->addMenu(QString());
        made->setObjectName(QLatin1String(name));
        return made;
    };
    deviceMenu = menu(nullptr, "deviceMenu");
    addAll(deviceMenu, {portSettingsAct, lineMonitorAct, limitsAct, nullptr, tareAct, zeroAct, nullptr, exportAct,
                        closeAct, nullptr, exitAct});

    editMenu = new EditMenu([this] { return activeTask(); }, this);
    menuBar()->addMenu(editMenu);
    connect(workspace, &QMdiArea::subWindowActivated, editMenu, &EditMenu::follow);

    modeMenu = menu(nullptr, "modeMenu");
    addAll(modeMenu, {pauseAct, stepAct, goAct, recordAct});
    recordMenu = new RecordMenu(&portStore, [this] { return activeTask(); }, this);
    modeMenu->addMenu(recordMenu);

    optionsMenu = menu(nullptr, "optionsMenu");
    languageMenu = menu(optionsMenu, "languageMenu");
    addAll(languageMenu, {englishAct, polishAct});
    optionsMenu->addAction(graphViewAct);

    windowMenu = new WindowMenu(workspace,
                                {fullscreenAct, nullptr, maximizeAct, tileAct, nullptr, nextAct, previousAct, nullptr,
                                 showLcdAct, showGraphAct, followAct, showStatisticsAct, separatorAct},
                                menuBar());
    menuBar()->addMenu(windowMenu);

    helpMenu = menu(nullptr, "helpMenu");
    helpMenu->addAction(aboutAct);
}

// Their titles are set once, in English.
void MdiWindow::createToolBars()
{
    const auto bar = [this](const QString &title, const char *name, const QList<QAction *> &actions) {
        QToolBar *made = addToolBar(title);
        made->setObjectName(QLatin1String(name));
        made->addActions(actions);
        return made;
    };
    QToolBar *deviceBar = bar(tr("Device"), "deviceToolBar", {});
    deviceBar->addWidget(scaner);
    deviceBar->addActions({portSettingsAct, tareAct, zeroAct});
    bar(tr("Switch windows"), "switchToolBar",
        {maximizeAct, tileAct, previousAct, nextAct, showLcdAct, showGraphAct, followAct});
    bar(tr("Mode"), "modeToolBar", {pauseAct, stepAct, goAct})->addWidget(samplingRateBox);
    QToolBar *recordBar = bar(tr("Record"), "recordToolBar", {recordAct});
    if (auto *button = qobject_cast<QToolButton *>(recordBar->widgetForAction(recordAct))) {
        button->setMenu(recordMenu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    recordBar->addWidget(recordControl->button());
    recordBar->addWidget(lotField);
    bar(tr("Export"), "exportToolBar", {exportAct});
}

bool MdiWindow::hasActiveDocument() const
{
    // The current sub-window, not the active one: QMdiArea reports no active
    // window while another application has the focus, and the controls must
    // not go dead just because the operator looked at another program.
    return workspace->currentSubWindow() != nullptr;
}

DocumentWindow *MdiWindow::activeDocument() const
{
    QMdiSubWindow *frame = workspace->currentSubWindow();
    return frame ? qobject_cast<DocumentWindow *>(frame->widget()) : nullptr;
}

DeviceTask *MdiWindow::activeTask() const
{
    DocumentWindow *document = activeDocument();
    return document ? document->deviceTask() : nullptr;
}

void MdiWindow::enableActions()
{
    const bool active = hasActiveDocument();
    const QList<QAction *> documentActions = {closeAct, maximizeAct, tileAct, nextAct,
                                              previousAct, pauseAct, stepAct, goAct,
                                              recordAct, exportAct, showLcdAct, showGraphAct,
                                              showStatisticsAct, lineMonitorAct,
                                              recordMenu->menuAction(), limitsAct,
                                              editMenu->copyAction(), editMenu->copyStableAction()};
    for (QAction *action : documentActions)
        action->setEnabled(active);
    recordControl->button()->setEnabled(active);
    samplingRateBox->setEnabled(active);
    lotField->setEnabled(active);
    lotField->mirror();
    separatorAct->setVisible(active);
    if (!active)
        recordControl->show(QString()); // no tips naming the file of a closed document
    enableCommands();
}

void MdiWindow::enableCommands()
{
    const DocumentWindow *document = activeDocument();
    for (QAction *action : {tareAct, zeroAct}) {
        const auto command = action == tareAct ? ScaleProtocol::Tare : ScaleProtocol::Zero;
        const QString reason = document ? document->deviceTask()->commandUnavailable(command) : QString();
        action->setEnabled(document && reason.isEmpty());
        action->setToolTip(reason); // none: the action's text
    }
}

void MdiWindow::setFullScreen(bool on)
{
    if (on)
        showFullScreen();
    else
        showMaximized();
}

void MdiWindow::maxi()
{
    if (QMdiSubWindow *window = workspace->currentSubWindow())
        window->showMaximized();
}

void MdiWindow::helpAbout()
{
    AboutWindow about;
    about.exec();
}

void MdiWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    workspace->tileSubWindows();
}

void MdiWindow::closeEvent(QCloseEvent *event)
{
    if (!hasActiveDocument()) {
        keepLayout();
        event->accept();
        return;
    }
    // Every record is in its file as soon as it is taken: there is nothing
    // to save, only readings that stop coming.
    const int recording = scales->recordingCount();
    const int open = workspace->subWindowList().size();
    const QString question =
        recording ? tr("%n window(s) still record readings. Every record taken so far is in its "
                       "file; closing stops the readings. Close the program?", nullptr, recording)
                  : tr("%n scale window(s) are open. Close the program?", nullptr, open);
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, tr("Closing program ..."), question, QMessageBox::Close | QMessageBox::Cancel,
        QMessageBox::Cancel);
    if (answer == QMessageBox::Close) {
        keepLayout();
        event->accept();
    }
    else
        event->ignore();
}

bool MdiWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    // Here rather than in changeEvent(), which runs before QWidget::event()
    // hands the change on to the children: a frame retranslating its menu
    // may give its Close every key of QKeySequence::Close again (Qt 5.15.8
    // keeps the keys as they were, but nothing promises that).
    if (event->type() == QEvent::LanguageChange) {
        for (QMdiSubWindow *frame : workspace->subWindowList())
            FrameMenu::adopt(frame, closeAct);
    }
    return handled;
}

void MdiWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        translateUI();
    else
        QMainWindow::changeEvent(event);
}

void MdiWindow::chooseLanguage(const QAction *action)
{
    const QString key = action->data().toString();
    qCDebug(appTrace) << "change language to " + key;
    loadLanguage(key);
    emit languageChosen(key);
}

// The toolkit announces every load with a language-change event once the event
// loop runs, and the window re-applies its texts then; nothing is done here.
// A missing catalogue (every "english" one) just leaves its translator empty.
void MdiWindow::loadLanguage(const QString &key)
{
    if (programTranslator)
        programTranslator->load(QStringLiteral(":/") + key + QStringLiteral(".qm"));
    const QString toolkitCatalogue = QStringLiteral(":/") + key + QStringLiteral("App.qm");
    qCDebug(appTrace) << toolkitCatalogue;
    if (toolkitTranslator)
        toolkitTranslator->load(toolkitCatalogue);
    // The plots' axes write their numbers as the read-outs do.
    QLocale::setDefault(DeviceTask::numberLocale());
}

void MdiWindow::translateUI()
{
    qCDebug(appTrace) << "translating";
    statusBar()->showMessage(tr("Ready"));
    setWindowTitle(tr("KORVEN weighing software ") + version()
                   + (demo ? tr(" - demo with simulated scales") : QString()));

    retranslate();
}

// Every text the window's own parts show, in the language of the moment.
void MdiWindow::retranslate()
{
    const std::pair<QMenu *, const char *> menus[] = {
        {deviceMenu, QT_TR_NOOP("&Device")},     {modeMenu, QT_TR_NOOP("&Mode")},
        {optionsMenu, QT_TR_NOOP("&Options")},   {languageMenu, QT_TR_NOOP("&Language")},
        {windowMenu, QT_TR_NOOP("&Window")},     {helpMenu, QT_TR_NOOP("&Help")}};
    for (const auto &menu : menus)
        menu.first->setTitle(tr(menu.second));
    for (const ActionRow &row : actionRows()) {
        QAction *action = this->*row.action;
        action->setText(tr(row.text));
        if (!(row.flags & TipOnce) || action->statusTip().isEmpty())
            action->setStatusTip(tr(row.statusTip));
    }
    enableCommands();
    // The key name is parsed with the toolkit's own catalogue ("Spacja" in
    // Polish); should that catalogue be missing, the name would parse to an
    // unknown key and Step would stop answering, so Space is kept instead.
    QKeySequence step(tr("Space"));
    if (step.isEmpty() || step[0] == Qt::Key_unknown)
        step = QKeySequence(Qt::Key_Space);
    stepAct->setShortcut(step);

    modeControl->retranslate();
    recordControl->retranslate();
    scaner->setToolTip(tr("click to scan for new devices"));
    scaner->setStatusTip(tr("click to scan for new devices"));
    if (shift)
        shift->retranslate();
}

// ---- Devices: opening and closing -------------------------------------------

void MdiWindow::deviceNew(const QString &port)
{
    if (port != QLatin1String("none"))
        opener->open(port);
}

void MdiWindow::deviceNewReady()
{
    opener->show(qobject_cast<DocumentWindow *>(sender()));
}

// A new window shows what every window does: the plots' appearance, the
// views chosen, the value axis following or not, the statistics.
void MdiWindow::joinViews(DocumentWindow *document)
{
    connect(this, &MdiWindow::graphViewChangeWindow, document, &DocumentWindow::graphViewChange);
    emit graphViewChangeWindow(graphAttr);
    DeviceTask *task = document->deviceTask();
    connect(this, &MdiWindow::showLcdSig, task, &DeviceTask::showLCD);
    connect(this, &MdiWindow::showGraphSig, task, &DeviceTask::showGraph);
    task->plotWidget()->setFollowing(followAct->isChecked());
    connect(this, &MdiWindow::showStatisticsSig, task, &DeviceTask::showStatistics);
    task->showStatistics(showStatisticsAct->isChecked());
}

// The demo's ports join the list, and no setting made meanwhile is written.
void MdiWindow::setDemo(bool on)
{
    demo = on;
    portStore.setDemo(on);
    scaner->setOwnPorts(on ? portStore.demoPorts() : QStringList());
    translateUI();
}

void MdiWindow::portSettings()
{
    if (opener->editSettings(scaner->serialPorts(), activeDocument()))
        enableCommands();
}

void MdiWindow::lineMonitor()
{
    if (DocumentWindow *document = activeDocument())
        document->showLineMonitor();
}

void MdiWindow::deviceDestroyed(const QString &port)
{
    scales->release(port);
}

void MdiWindow::keepLayout()
{
    if (shift)
        shift->keepLayout();
}

void MdiWindow::showAsLeft()
{
    if (shift && shift->restoreLayout())
        show();
    else
        showMaximized();
}

void MdiWindow::keepShift(ShiftStore *store, bool resume)
{
    recordControl->keepFolderIn(store);
    shift = new ShiftRestorer(store, this);
    optionsMenu->addAction(shift->resumeAtOnceAction());
    if (!shift->language().isEmpty())
        loadLanguage(shift->language());
    showStatisticsAct->setChecked(shift->showsStatistics());
    shift->follow(this, scales);
    shift->begin(resume, [this] { return scaner->serialPorts(); }, [this](const QString &port) { deviceNew(port); });
}

void MdiWindow::leaveShift(const QString &language)
{
    if (!language.isEmpty())
        loadLanguage(language);
    ShiftRestorer::tellKeptElsewhere(this);
}

// ---- Commands on the active document ----------------------------------------

void MdiWindow::windowState(QWidget *window)
{
    // The active document is asked instead: the signal carries the sub-window
    // frame, or nothing once the last document has closed.
    Q_UNUSED(window)
    DocumentWindow *document = activeDocument();
    if (!document)
        return;
    DeviceTask *task = document->deviceTask();
    recordAct->setChecked(task->isRecording());
    recordControl->show(task->recorder() ? task->recorder()->fileName() : QString());
    modeControl->mirror(task);
}

void MdiWindow::pauseMode()
{
    modeControl->pause(activeTask());
}

void MdiWindow::stepMode()
{
    modeControl->step(activeTask());
}

void MdiWindow::goMode()
{
    modeControl->go(activeTask());
}

void MdiWindow::recMode(bool on)
{
    if (DeviceTask *task = activeTask())
        recordControl->record(task, on);
}

void MdiWindow::setRecPath()
{
    if (DeviceTask *task = activeTask())
        recordControl->choose(task);
}

void MdiWindow::setSamplingRate(double seconds)
{
    modeControl->setInterval(activeTask(), seconds);
}

void MdiWindow::exportPlot()
{
    DocumentWindow *document = activeDocument();
    if (!document)
        return;
    // The plot holds still while the operator describes and names it, and
    // no longer: a window that was running runs and records again after the
    // export, written, failed or cancelled.
    const bool wasRunning = !document->deviceTask()->isPaused();
    const QPointer<DocumentWindow> exported(document);
    pauseMode();
    document->exportDocument();
    // The dialogs ran an event loop: the window may be gone by now, or
    // another one active, and the controls show whichever is.
    if (exported && wasRunning)
        exported->deviceTask()->go();
    windowState(nullptr);
}

void MdiWindow::graphViewWindow()
{
    qCDebug(appTrace) << "graphView";
    GraphView dialog(graphAttr);
    connect(&dialog, &GraphView::graphAttrChange, this, &MdiWindow::graphViewChange);
    dialog.exec();
}

void MdiWindow::graphViewChange(GraphAttr *attr)
{
    if (!attr || attr == graphAttr)
        return;
    // Every change comes as a new object and the window keeps only the
    // latest: it adopts that one and frees the one it replaces, which no
    // document holds on to (they copy its colours when told).
    attr->setParent(this);
    delete graphAttr;
    graphAttr = attr;
    qCDebug(appTrace) << "Mdi graphViewChangeWindow" << attr->getBackgroundColor().name();
    emit graphViewChangeWindow(attr);
}

// At least one of the two views stays visible: turning off the last one turns
// the other one back on.
void MdiWindow::showLCD(bool on)
{
    if (!on && !showGraphAct->isChecked()) {
        showGraphAct->setChecked(true);
        emit showGraphSig(true);
        showLcdAct->setChecked(false);
        emit showLcdSig(false);
    } else {
        emit showLcdSig(on);
    }
}

void MdiWindow::showGraph(bool on)
{
    if (!on && !showLcdAct->isChecked()) {
        showGraphAct->setChecked(false);
        emit showGraphSig(false);
        showLcdAct->setChecked(true);
        emit showLcdSig(true);
    } else {
        emit showGraphSig(on);
    }
}

void MdiWindow::followReadings(bool on)
{
    for (DeviceTask *task : scales->running())
        task->plotWidget()->setFollowing(on);
}
