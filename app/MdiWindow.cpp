#include "MdiWindow.h"

#include "AboutWindow.h"
#include "AppTrace.h"
#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "EditMenu.h"
#include "GraphAttr.h"
#include "GraphView.h"
#include "IntervalSpinBox.h"
#include "LimitsDialog.h"
#include "LotField.h"
#include "PortSettingsDialog.h"
#include "ProgramVersion.h"
#include "RandomPlot.h"
#include "RecordMenu.h"
#include "RecordingNotices.h"
#include "SaveSamples.h"
#include "Scaner.h"
#include "ShiftRestorer.h"
#include "ShiftStore.h"

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
#include <QSignalMapper>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>

#include <cstdio>
#include <utility>

namespace {
// The record-path button's text while no recording file is chosen; commands
// compare against it, so it is never translated.
const QString noFileChosen = QStringLiteral("...");
}

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

    windowMapper = new QSignalMapper(this);
    connect(windowMapper, &QSignalMapper::mappedWidget, workspace, [this](QWidget *window) {
        workspace->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(window));
    });

    recPathButton = new QPushButton(this);
    recPathButton->setObjectName(QStringLiteral("recPathButton"));
    recPathButton->setStatusTip(tr("set file path"));
    recPathButton->setToolTip(tr("set file path"));
    recPathButton->setFixedWidth(100);
    recPathButton->setText(noFileChosen);
    connect(recPathButton, &QPushButton::clicked, this, &MdiWindow::setRecPath);

    samplingRateBox = new IntervalSpinBox(this);
    samplingRateBox->setObjectName(QStringLiteral("samplingRateBox"));
    samplingRateBox->setDecimals(2);
    samplingRateBox->setRange(0.2, 60.0);
    samplingRateBox->setSingleStep(0.1);
    samplingRateBox->setValue(0.2);
    samplingRateBox->setSuffix(tr(" s"));
    samplingRateBox->setToolTip(tr("set sampling rate"));
    samplingRateBox->setStatusTip(tr("set sampling rate"));
    samplingRateBox->setMinimumHeight(30);
    samplingRateBox->setButtonSymbols(QAbstractSpinBox::PlusMinus);
    connect(samplingRateBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged),
            this, &MdiWindow::setSamplingRate);

    lotField = new LotField([this] { return activeTask(); }, this);

    notices = new RecordingNotices(this);

    scaner = new Scaner(this);
    scaner->setObjectName(QStringLiteral("scaner"));
    scaner->setToolTip(tr("click to scan for new devices"));
    scaner->setStatusTip(tr("click to scan for new devices"));
    connect(scaner, &QComboBox::textActivated, this, &MdiWindow::deviceNew);

    // After enableActions(), so that the controls are enabled before they are
    // made to mirror the newly active document.
    connect(workspace, &QMdiArea::subWindowActivated, this, &MdiWindow::windowState);
    createActions();
    createMenus();
    createToolBars();

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
    // A window whose task has not reported ready yet is in no frame of the
    // workspace: it goes here, and stops its task's thread, which would
    // otherwise run on past the program's end.
    qDeleteAll(std::exchange(pendingDocuments, {}));
    // The windows still open at exit are the shift to resume.
    if (shift)
        shift->stop();
    qCDebug(appTrace) << "D: MdiWindow";
}

QString MdiWindow::version()
{
    return QLatin1Char('v') + QLatin1String(programVersion);
}

void MdiWindow::createActions()
{
    auto makeAction = [this](const char *name, const QString &text, const QString &statusTip,
                             const char *icon) {
        QAction *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setStatusTip(statusTip);
        if (icon)
            action->setIcon(QIcon(QLatin1String(icon)));
        return action;
    };

    portSettingsAct = makeAction("portSettingsAct", tr("&Port settings..."),
                                 tr("Choose the kind of scale and the line settings of a port"), nullptr);
    portSettingsAct->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(portSettingsAct, &QAction::triggered, this, &MdiWindow::portSettings);
    lineMonitorAct = makeAction("lineMonitorAct", tr("Line &monitor..."),
                                tr("Show the bytes the active window exchanges with its scale"), nullptr);
    lineMonitorAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(lineMonitorAct, &QAction::triggered, this, &MdiWindow::lineMonitor);
    limitsAct = makeAction("limitsAct", tr("&Limits..."),
                           tr("Set the low and high limit of the active window's readings"), nullptr);
    connect(limitsAct, &QAction::triggered, this, [this] {
        if (DeviceTask *task = activeTask())
            LimitsDialog::edit(task, &portStore, this);
    });
    tareAct = makeAction("tareAct", tr("&Tare"), tr("Have the active window's scale take the load on it off as tare"),
                         nullptr);
    tareAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    zeroAct = makeAction("zeroAct", tr("&Zero"), tr("Have the active window's scale set its zero"), nullptr);
    zeroAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    for (QAction *action : {tareAct, zeroAct})
        connect(action, &QAction::triggered, this, [this, action] {
            if (DocumentWindow *document = activeDocument())
                action == tareAct ? document->deviceTask()->tare() : document->deviceTask()->zero();
        });

    closeAct = makeAction("closeAct", tr("&Close"), tr("Close this document"), nullptr);
    closeAct->setShortcut(QKeySequence(tr("Ctrl+W")));
    connect(closeAct, &QAction::triggered, workspace, &QMdiArea::closeActiveSubWindow);

    exitAct = makeAction("exitAct", tr("E&xit"), tr("Quit the application"), nullptr);
    exitAct->setShortcut(QKeySequence(tr("Ctrl+Q")));
    connect(exitAct, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    pauseAct = makeAction("pauseAct", tr("&Pause"), tr("Stop taking readings"),
                          ":/images/media_playback_pause.png");
    pauseAct->setCheckable(true);
    // Keys, not parsed strings: the same in both languages.
    pauseAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(pauseAct, &QAction::triggered, this, &MdiWindow::pauseMode);

    // The key itself, not a parsed string, so that Step answers to Space
    // whatever language the window was built in.
    stepAct = makeAction("stepAct", tr("&Step"), tr("Take the next reading"), ":/images/media_skip_forward.png");
    stepAct->setShortcut(QKeySequence(Qt::Key_Space));
    connect(stepAct, &QAction::triggered, this, &MdiWindow::stepMode);

    goAct = makeAction("goAct", tr("&Go"), tr("Take readings at the sampling interval"), ":/images/media_playback_start.png");
    goAct->setCheckable(true);
    goAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(goAct, &QAction::triggered, this, &MdiWindow::goMode);

    recordAct = makeAction("recordAct", tr("&Record"), tr("Record the readings taken into the chosen file"),
                           ":/images/button_black_rec.png");
    recordAct->setCheckable(true);
    recordAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(recordAct, &QAction::triggered, this, &MdiWindow::recMode);

    fullscreenAct = makeAction("fullscreenAct", tr("&Fullscreen"), tr("Set fullscreen"),
                               ":/images/view_fullscreen.png");
    fullscreenAct->setCheckable(true);
    fullscreenAct->setShortcut(QKeySequence(Qt::Key_F11));
    connect(fullscreenAct, &QAction::triggered, this, &MdiWindow::setFullScreen);

    maximizeAct = makeAction("maximizeAct", tr("&Maximize"), tr("Maximize the windows"),
                             ":/images/maximized.png");
    maximizeAct->setShortcut(QKeySequence(tr("Ctrl+Up")));
    connect(maximizeAct, &QAction::triggered, this, &MdiWindow::maxi);

    tileAct = makeAction("tileAct", tr("&Tile"), tr("Tile the windows"),
                         ":/images/large_tiles.png");
    tileAct->setShortcut(QKeySequence(tr("Ctrl+Down")));
    connect(tileAct, &QAction::triggered, workspace, &QMdiArea::tileSubWindows);

    nextAct = makeAction("nextAct", tr("&Next window"), tr("Move to the next window"),
                         ":/images/right_grey.png");
    nextAct->setShortcut(QKeySequence(tr("Ctrl+Right")));
    connect(nextAct, &QAction::triggered, workspace, &QMdiArea::activateNextSubWindow);

    previousAct = makeAction("previousAct", tr("&Previous window"),
                             tr("Move to the previous window"), ":/images/left_grey.png");
    previousAct->setShortcut(QKeySequence(tr("Ctrl+Left")));
    connect(previousAct, &QAction::triggered, workspace, &QMdiArea::activatePreviousSubWindow);

    // Both views start visible, as every new document shows both. The toggles
    // are wired once here rather than per document: they are disabled while no
    // document is open, so nobody can use them earlier.
    showLcdAct = makeAction("showLcdAct", tr("Show &LCD display"), tr("Show LCD display"),
                            ":/images/lcd.png");
    showLcdAct->setCheckable(true);
    showLcdAct->setChecked(true);
    connect(showLcdAct, &QAction::triggered, this, &MdiWindow::showLCD, Qt::UniqueConnection);

    showGraphAct = makeAction("showGraphAct", tr("Show &graph"), tr("Show graph image"),
                              ":/images/chart_line.png");
    showGraphAct->setCheckable(true);
    showGraphAct->setChecked(true);
    connect(showGraphAct, &QAction::triggered, this, &MdiWindow::showGraph, Qt::UniqueConnection);

    // Like the appearance, one setting for every window, new ones included.
    followAct = makeAction("followAct", tr("Follow &readings"),
                           tr("Fit each plot's value axis to the readings in its window"),
                           ":/images/follow_readings.png");
    followAct->setCheckable(true);
    connect(followAct, &QAction::toggled, this, &MdiWindow::followReadings);
    // Off at first: the read-out looks as it always did until asked.
    showStatisticsAct = makeAction("showStatisticsAct", tr("Show stat&istics"),
                                   tr("Show the statistics of the readings taken under the read-out"), nullptr);
    showStatisticsAct->setCheckable(true);
    connect(showStatisticsAct, &QAction::toggled, this, &MdiWindow::showStatisticsSig);

    graphViewAct = makeAction("graphViewAct", tr("&Graph View"), tr("Change graph attributes"),
                              nullptr);
    connect(graphViewAct, &QAction::triggered, this, &MdiWindow::graphViewWindow);

    aboutAct = makeAction("aboutAct", tr("&About"), tr("About this application"), nullptr);
    connect(aboutAct, &QAction::triggered, this, &MdiWindow::helpAbout);

    exportAct = makeAction("exportAct", tr("&Export"), tr("Export plot to file"),
                           ":/images/picture_save.png");
    exportAct->setShortcut(QKeySequence(tr("Ctrl+E")));
    connect(exportAct, &QAction::triggered, this, &MdiWindow::exportPlot);

    // The tool tips are the language keys languageChanged() reads, so they
    // must stay untranslated.
    polishAct = makeAction("polishAct", tr("&Polish"), tr("Set polish language"), nullptr);
    polishAct->setToolTip(QStringLiteral("polish"));
    connect(polishAct, &QAction::triggered, this, &MdiWindow::languageChanged);

    englishAct = makeAction("englishAct", tr("&English"), tr("Set english language"), nullptr);
    englishAct->setToolTip(QStringLiteral("english"));
    connect(englishAct, &QAction::triggered, this, &MdiWindow::languageChanged);

    separatorAct = new QAction(this);
    separatorAct->setObjectName(QStringLiteral("separatorAct"));
    separatorAct->setSeparator(true);
}

void MdiWindow::createMenus()
{
    deviceMenu = menuBar()->addMenu(tr("&Device"));
    deviceMenu->setObjectName(QStringLiteral("deviceMenu"));
    deviceMenu->addAction(portSettingsAct);
    deviceMenu->addAction(lineMonitorAct);
    deviceMenu->addAction(limitsAct);
    deviceMenu->addSeparator();
    deviceMenu->addAction(tareAct);
    deviceMenu->addAction(zeroAct);
    deviceMenu->addSeparator();
    deviceMenu->addAction(exportAct);
    deviceMenu->addAction(closeAct);
    deviceMenu->addSeparator();
    deviceMenu->addAction(exitAct);

    editMenu = new EditMenu([this] { return activeTask(); }, this);
    menuBar()->addMenu(editMenu);
    connect(workspace, &QMdiArea::subWindowActivated, editMenu, &EditMenu::follow);

    modeMenu = menuBar()->addMenu(tr("&Mode"));
    modeMenu->setObjectName(QStringLiteral("modeMenu"));
    modeMenu->addAction(pauseAct);
    modeMenu->addAction(stepAct);
    modeMenu->addAction(goAct);
    modeMenu->addAction(recordAct);
    recordMenu = new RecordMenu(&portStore, [this] { return activeTask(); }, this);
    modeMenu->addMenu(recordMenu);

    optionsMenu = menuBar()->addMenu(tr("&Options"));
    optionsMenu->setObjectName(QStringLiteral("optionsMenu"));
    // Owned by the Options menu; a parentless submenu would never be freed.
    languageMenu = optionsMenu->addMenu(tr("&Languages"));
    languageMenu->setObjectName(QStringLiteral("languageMenu"));
    languageMenu->addAction(englishAct);
    languageMenu->addAction(polishAct);
    optionsMenu->addAction(graphViewAct);

    windowMenu = menuBar()->addMenu(tr("&Window"));
    windowMenu->setObjectName(QStringLiteral("windowMenu"));
    connect(windowMenu, &QMenu::aboutToShow, this, &MdiWindow::updateWindowList);

    helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    helpMenu->addAction(aboutAct);
}

void MdiWindow::createToolBars()
{
    QToolBar *deviceBar = addToolBar(tr("Device"));
    deviceBar->setObjectName(QStringLiteral("deviceToolBar"));
    deviceBar->addWidget(scaner);
    deviceBar->addAction(portSettingsAct);
    deviceBar->addAction(tareAct);
    deviceBar->addAction(zeroAct);

    QToolBar *switchBar = addToolBar(tr("Switch windows"));
    switchBar->setObjectName(QStringLiteral("switchToolBar"));
    switchBar->addAction(maximizeAct);
    switchBar->addAction(tileAct);
    switchBar->addAction(previousAct);
    switchBar->addAction(nextAct);
    switchBar->addAction(showLcdAct);
    switchBar->addAction(showGraphAct);
    switchBar->addAction(followAct);

    QToolBar *modeBar = addToolBar(tr("Mode"));
    modeBar->setObjectName(QStringLiteral("modeToolBar"));
    modeBar->addAction(pauseAct);
    modeBar->addAction(stepAct);
    modeBar->addAction(goAct);
    modeBar->addWidget(samplingRateBox);

    QToolBar *recordBar = addToolBar(tr("Record"));
    recordBar->setObjectName(QStringLiteral("recordToolBar"));
    recordBar->addAction(recordAct);
    if (auto *button = qobject_cast<QToolButton *>(recordBar->widgetForAction(recordAct))) {
        button->setMenu(recordMenu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    recordBar->addWidget(recPathButton);
    recordBar->addWidget(lotField);

    QToolBar *exportBar = addToolBar(tr("Export"));
    exportBar->setObjectName(QStringLiteral("exportToolBar"));
    exportBar->addAction(exportAct);
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
    recPathButton->setEnabled(active);
    samplingRateBox->setEnabled(active);
    lotField->setEnabled(active);
    lotField->mirror();
    separatorAct->setVisible(active);
    if (!active)
        showRecPath(QString()); // no tips naming the file of a closed document
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

void MdiWindow::updateWindowList()
{
    windowMenu->clear();
    windowMenu->addAction(fullscreenAct);
    windowMenu->addSeparator();
    windowMenu->addAction(maximizeAct);
    windowMenu->addAction(tileAct);
    windowMenu->addSeparator();
    windowMenu->addAction(nextAct);
    windowMenu->addAction(previousAct);
    windowMenu->addSeparator();
    windowMenu->addAction(showLcdAct);
    windowMenu->addAction(showGraphAct);
    windowMenu->addAction(followAct);
    windowMenu->addAction(showStatisticsAct);
    windowMenu->addAction(separatorAct);

    const QList<QMdiSubWindow *> windows = workspace->subWindowList(QMdiArea::CreationOrder);
    QMdiSubWindow *current = workspace->currentSubWindow();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *window = windows.at(i);
        // Owned by the menu, so the next clear() frees it and its mapping.
        QAction *entry = windowMenu->addAction(
            tr("&%1 %2").arg(QString::number(i + 1), window->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(window == current);
        connect(entry, &QAction::triggered, windowMapper, QOverload<>::of(&QSignalMapper::map));
        windowMapper->setMapping(entry, window);
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
    int recording = 0;
    const QList<QMdiSubWindow *> frames = workspace->subWindowList();
    for (QMdiSubWindow *frame : frames)
        if (auto *document = qobject_cast<DocumentWindow *>(frame->widget()))
            recording += document->deviceTask()->isRecording() ? 1 : 0;
    const QString question =
        recording ? tr("%n window(s) still record readings. Every record taken so far is in its "
                       "file; closing stops the readings. Close the program?", nullptr, recording)
                  : tr("%n scale window(s) are open. Close the program?", nullptr, frames.size());
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
        for (QMdiSubWindow *frame : workspace->subWindowList()) {
            leaveCloseKeysToCloseAct(frame);
            translateFrameMenu(frame);
        }
    }
    return handled;
}

// A frame's own menu is written by the toolkit in the language of the moment
// and kept so; its Polish also gives Move and Minimize one letter. The
// window writes the entries itself, found by the toolkit's texts at first.
void MdiWindow::translateFrameMenu(QMdiSubWindow *frame) const
{
    static const char *const entries[] = {
        QT_TR_NOOP("&Restore"), QT_TR_NOOP("&Move"),      QT_TR_NOOP("&Size"),  QT_TR_NOOP("Mi&nimize"),
        QT_TR_NOOP("Ma&ximize"), QT_TR_NOOP("Stay on &Top"), QT_TR_NOOP("&Close")};
    QMenu *menu = frame->systemMenu();
    if (!menu)
        return;
    for (QAction *action : menu->actions()) {
        for (const char *entry : entries)
            if (action->objectName().isEmpty() && action->text() == QMdiSubWindow::tr(entry))
                action->setObjectName(QLatin1String(entry));
        for (const char *entry : entries)
            if (action->objectName() == QLatin1String(entry))
                action->setText(tr(entry));
    }
}

// Every frame's own menu closes it on QKeySequence::Close, which on X11 is
// Ctrl+F4 and Ctrl+W. With Ctrl+W on closeAct as well the toolkit finds the
// key ambiguous and fires neither, so the frames give up the keys closeAct
// uses and keep the rest (Ctrl+F4 still closes a frame from its menu's key).
void MdiWindow::leaveCloseKeysToCloseAct(QMdiSubWindow *frame) const
{
    const QList<QKeySequence> taken = closeAct->shortcuts();
    for (QAction *action : frame->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        const int before = keys.size();
        for (const QKeySequence &key : taken)
            keys.removeAll(key);
        // setShortcut() would replace only the first key and keep Ctrl+W.
        if (keys.size() != before)
            action->setShortcuts(keys);
    }
}

void MdiWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        translateUI();
    else
        QMainWindow::changeEvent(event);
}

void MdiWindow::languageChanged()
{
    const QAction *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const QString key = action->toolTip();
    qCDebug(appTrace) << "change language to " + key;
    loadLanguage(key);
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

    deviceMenu->setTitle(tr("&Device"));
    modeMenu->setTitle(tr("&Mode"));
    optionsMenu->setTitle(tr("&Options"));
    languageMenu->setTitle(tr("&Language"));
    windowMenu->setTitle(tr("&Window"));
    helpMenu->setTitle(tr("&Help"));

    portSettingsAct->setText(tr("&Port settings..."));
    portSettingsAct->setStatusTip(tr("Choose the kind of scale and the line settings of a port"));
    lineMonitorAct->setText(tr("Line &monitor..."));
    lineMonitorAct->setStatusTip(tr("Show the bytes the active window exchanges with its scale"));
    limitsAct->setText(tr("&Limits..."));
    limitsAct->setStatusTip(tr("Set the low and high limit of the active window's readings"));
    tareAct->setText(tr("&Tare"));
    tareAct->setStatusTip(tr("Have the active window's scale take the load on it off as tare"));
    zeroAct->setText(tr("&Zero"));
    zeroAct->setStatusTip(tr("Have the active window's scale set its zero"));
    enableCommands();
    exportAct->setText(tr("&Export"));
    exportAct->setStatusTip(tr("Export plot to file"));
    closeAct->setText(tr("&Close"));
    closeAct->setStatusTip(tr("Close this document"));
    exitAct->setText(tr("E&xit"));
    exitAct->setStatusTip(tr("Quit the application"));
    pauseAct->setText(tr("&Pause"));
    pauseAct->setStatusTip(tr("Stop taking readings"));
    stepAct->setText(tr("&Step"));
    stepAct->setStatusTip(tr("Take the next reading"));
    // The key name is parsed with the toolkit's own catalogue ("Spacja" in
    // Polish); should that catalogue be missing, the name would parse to an
    // unknown key and Step would stop answering, so Space is kept instead.
    QKeySequence step(tr("Space"));
    if (step.isEmpty() || step[0] == Qt::Key_unknown)
        step = QKeySequence(Qt::Key_Space);
    stepAct->setShortcut(step);
    goAct->setText(tr("&Go"));
    goAct->setStatusTip(tr("Take readings at the sampling interval"));
    graphViewAct->setText(tr("&Graph View"));
    graphViewAct->setStatusTip(tr("Change graph attributes"));
    maximizeAct->setText(tr("&Maximize"));
    maximizeAct->setStatusTip(tr("Maximize the windows"));
    tileAct->setText(tr("&Tile"));
    tileAct->setStatusTip(tr("Tile the windows"));
    nextAct->setText(tr("&Next window"));
    nextAct->setStatusTip(tr("Move to the next window"));
    previousAct->setText(tr("&Previous window"));
    previousAct->setStatusTip(tr("Move to the previous window"));
    aboutAct->setText(tr("&About"));
    aboutAct->setStatusTip(tr("About this application"));
    englishAct->setText(tr("&English"));
    polishAct->setText(tr("&Polish"));
    recordAct->setText(tr("&Record"));
    recordAct->setStatusTip(tr("Record the readings taken into the chosen file"));
    showLcdAct->setText(tr("Show &LCD display"));
    showLcdAct->setStatusTip(tr("Show LCD display"));
    showGraphAct->setText(tr("Show &graph"));
    showGraphAct->setStatusTip(tr("Show graph image"));
    followAct->setText(tr("Follow &readings"));
    followAct->setStatusTip(tr("Fit each plot's value axis to the readings in its window"));
    showStatisticsAct->setText(tr("Show stat&istics"));
    showStatisticsAct->setStatusTip(tr("Show the statistics of the readings taken under the read-out"));
    fullscreenAct->setText(tr("&Fullscreen"));
    fullscreenAct->setStatusTip(tr("Set fullscreen"));

    samplingRateBox->setToolTip(tr("set sampling rate"));
    samplingRateBox->setStatusTip(tr("set sampling rate"));

    // A chosen file keeps its name in the tips.
    if (recPathButton->text() == noFileChosen) {
        recPathButton->setToolTip(tr("set file path"));
        recPathButton->setStatusTip(tr("set file path"));
    }

    scaner->setToolTip(tr("click to scan for new devices"));
    scaner->setStatusTip(tr("click to scan for new devices"));
    if (shift)
        shift->retranslate();
}

// ---- Devices: opening and closing -------------------------------------------

void MdiWindow::deviceNew(const QString &port)
{
    if (port == QLatin1String("none"))
        return;
    // Windows still starting count too: two ports chosen in quick succession
    // must not slip past the limit.
    if (workspace->subWindowList().size() + pendingDocuments.size() > 3) {
        QMessageBox box(QMessageBox::Information, tr("Four ports are open"),
                        tr("You cannot open more than 4 ports: close a window to open another."),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    qCDebug(appTrace) << "? MdiWindow deviceNew()" << port;
    scaner->addOpenedCOM(port);
    QStringList ignored;
    auto *document = new DocumentWindow(port, portStore.setup(port, &ignored));
    portStore.applyTo(document->deviceTask());
    // Said once a run and port: the window reads the port all the same.
    if (!ignored.isEmpty() && !toldIgnoredSettings.contains(port)) {
        toldIgnoredSettings << port;
        notices->tell(tr("The stored settings of %1 hold values that cannot be used: %2.\n"
                              "The port is read with the usual settings of its kind of scale "
                              "instead; Device → Port settings... shows them and stores new ones.")
                               .arg(port, ignored.join(QStringLiteral(", "))),
                      QMessageBox::Warning, tr("Port settings"));
    }
    pendingDocuments.append(document);
    qCDebug(appTrace) << "connect Document";
    connect(document, &DocumentWindow::documentWindowDestroyed, this, &MdiWindow::deviceDestroyed);
    connect(document, &DocumentWindow::documentWindowStarted, this, &MdiWindow::deviceNewReady);
}

// Each window is shown when its own task reports ready, so a second port
// chosen before the first window is up does not leave the first one behind.
void MdiWindow::deviceNewReady()
{
    auto *document = qobject_cast<DocumentWindow *>(sender());
    if (!document || !pendingDocuments.removeOne(document))
        return;

    connect(this, &MdiWindow::graphViewChangeWindow, document, &DocumentWindow::graphViewChange);
    qCDebug(appTrace) << "! MdiWindow deviceNew()1";
    emit graphViewChangeWindow(graphAttr);
    qCDebug(appTrace) << "! MdiWindow deviceNew()2";
    DeviceTask *task = document->deviceTask();
    connect(this, &MdiWindow::showLcdSig, task, &DeviceTask::showLCD);
    connect(this, &MdiWindow::showGraphSig, task, &DeviceTask::showGraph);
    task->plotWidget()->setFollowing(followAct->isChecked());
    connect(this, &MdiWindow::showStatisticsSig, task, &DeviceTask::showStatistics);
    task->showStatistics(showStatisticsAct->isChecked());
    notices->watch(task);
    // Before the window is shown and mirrored: a reopened one gets its fields first.
    if (shift)
        shift->windowOpened(task);
    qCDebug(appTrace) << "! MdiWindow deviceNew()3";
    QMdiSubWindow *frame = workspace->addSubWindow(
        document, Qt::WindowMaximizeButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    leaveCloseKeysToCloseAct(frame);
    translateFrameMenu(frame);
    // The window deletes itself once its port is closed; its frame goes with it.
    connect(document, &QObject::destroyed, frame, &QObject::deleteLater);
    qCDebug(appTrace) << "! MdiWindow deviceNew()4";
    // QMdiArea tiles only visible windows: show first, so the new one takes
    // its place in the tiling.
    document->show();
    workspace->tileSubWindows();
    qCDebug(appTrace) << "! MdiWindow deviceNew()";
}

// The demo's ports join the list, and no setting made meanwhile is written.
void MdiWindow::setDemo(bool on)
{
    demo = on;
    portStore.setDemo(on);
    scaner->setOwnPorts(on ? portStore.demoPorts() : QStringList());
    translateUI();
}

// The dialog offers every port, opened or not, starting with the active
// window's. A window open on the chosen port reads it the new way at once.
void MdiWindow::portSettings()
{
    DocumentWindow *active = activeDocument();
    QList<DeviceTask *> open;
    QStringList ports = scaner->serialPorts();
    for (QMdiSubWindow *frame : workspace->subWindowList())
        if (auto *document = qobject_cast<DocumentWindow *>(frame->widget())) {
            open << document->deviceTask();
            if (!ports.contains(document->port()))
                ports.prepend(document->port());
        }
    PortSettingsDialog dialog(ports, active ? active->port() : QString(), &portStore, this);
    dialog.setOpenTasks(open);
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (DeviceTask *task : qAsConst(open))
        if (task->port() == dialog.port()) {
            task->setScaleName(dialog.scaleName());
            task->reopen(dialog.setup());
        }
    enableCommands();
}

void MdiWindow::lineMonitor()
{
    if (DocumentWindow *document = activeDocument())
        document->showLineMonitor();
}

void MdiWindow::deviceDestroyed(const QString &port)
{
    qCDebug(appTrace) << "removeOpenedCOM" << port;
    scaner->removeOpenedCOM(port);
    if (shift)
        shift->windowClosed(port);
}

void MdiWindow::keepLayout()
{
    if (desk)
        desk->setWindowLayout(saveGeometry(), saveState());
}

void MdiWindow::showAsLeft()
{
    if (desk && restoreGeometry(desk->windowGeometry())) {
        restoreState(desk->toolBarState());
        show();
    } else {
        showMaximized();
    }
}

void MdiWindow::keepShift(ShiftStore *store, bool resume)
{
    desk = store;
    shift = new ShiftRestorer(store, this);
    optionsMenu->addAction(shift->resumeAtOnceAction());
    if (!shift->language().isEmpty())
        loadLanguage(shift->language());
    showStatisticsAct->setChecked(shift->showsStatistics());
    shift->followCommands(this);
    if (!resume) {
        shift->startEmpty();
        return;
    }
    // Once the event loop runs, so that the question comes over a shown window.
    QTimer::singleShot(0, shift, [this] {
        shift->resume(scaner->serialPorts(), [this](const QString &port) { deviceNew(port); });
    });
}

void MdiWindow::leaveShift(const QString &language)
{
    if (!language.isEmpty())
        loadLanguage(language);
    const QString text = tr("Another copy of this program is running and keeps the shift.\n"
                            "This one opens no port of the last shift, and the ports opened "
                            "in it are not kept for the next start.");
    // Also on the terminal the program was started from.
    std::fprintf(stderr, "%s\n", qPrintable(text));
    // Over the shown window, and not waited for.
    QTimer::singleShot(0, this, [this, text] {
        auto *box = new QMessageBox(QMessageBox::Information, tr("Shift"), text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
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
    pauseAct->setChecked(task->isPaused());
    goAct->setChecked(!task->isPaused());
    recordAct->setChecked(task->isRecording());
    showRecPath(task->recorder() ? task->recorder()->fileName() : QString());
    // Writes back to this same task through setSamplingRate() when it differs.
    samplingRateBox->setValue(task->refreshRate() / 1000.0);
}

void MdiWindow::showRecPath(const QString &fileName)
{
    if (fileName.isEmpty()) {
        recPathButton->setText(noFileChosen);
        recPathButton->setToolTip(tr("set file path"));
        recPathButton->setStatusTip(tr("set file path"));
        return;
    }
    recPathButton->setToolTip(DeviceTask::plainTip(fileName));
    recPathButton->setStatusTip(fileName);
    recPathButton->setText(noFileChosen + fileName.mid(fileName.lastIndexOf(QLatin1Char('/'))));
}

// Exactly one of Pause and Go stays checked, even when the operator clicks
// the one that already is.
void MdiWindow::pauseMode()
{
    pauseAct->setChecked(true);
    goAct->setChecked(false);
    if (DocumentWindow *document = activeDocument())
        document->deviceTask()->pause();
}

void MdiWindow::stepMode()
{
    pauseAct->setChecked(true);
    goAct->setChecked(false);
    if (DocumentWindow *document = activeDocument())
        document->deviceTask()->step();
}

void MdiWindow::goMode()
{
    pauseAct->setChecked(false);
    goAct->setChecked(true);
    if (DocumentWindow *document = activeDocument())
        document->deviceTask()->go();
}

void MdiWindow::recMode(bool on)
{
    DocumentWindow *document = activeDocument();
    if (!document)
        return;
    DeviceTask *task = document->deviceTask();
    SaveSamples *recorder = task->recorder();
    if (!on) {
        task->setRecording(false);
        recorder->close();
        return;
    }
    // The dialogs run event loops of their own, in which the window may close.
    const QPointer<DocumentWindow> alive(document);
    if (recPathButton->text() == noFileChosen)
        setRecPath();
    // Still no file: the dialog was cancelled, and setRecPath() has unchecked
    // Record.
    if (!alive || recPathButton->text() == noFileChosen)
        return;
    // The file may have changed, or another window may have started recording
    // into it, since it was chosen.
    if (!mayRecordInto(document, recorder->fileName(), tr("Recording stays off."))) {
        recordAct->setChecked(alive && task->isRecording());
        return;
    }
    if (!recorder->open()) {
        tellCouldNotOpen(task);
        return;
    }
    task->setRecording(true);
}

// A file that cannot be opened leaves recording off; the operator is told
// instead of watching a Record button that writes nothing.
void MdiWindow::tellCouldNotOpen(DeviceTask *task)
{
    task->setRecording(false);
    recordAct->setChecked(false);
    notices->tellCouldNotOpen(task);
}

// Records go into a regular file or a new one, and no two windows share
// one: their lines could not be told apart. Otherwise the operator hears why,
// and what follows from it.
bool MdiWindow::mayRecordInto(DocumentWindow *document, const QString &fileName,
                              const QString &outcome)
{
    const QString shownName = QDir::toNativeSeparators(fileName);
    QString refusal;
    if (!SaveSamples::isRecordable(fileName)) {
        refusal = tr("Readings are recorded only into a regular file or under a new name;\n%1\n"
                     "is a folder, a device, a pipe, a socket or a link.")
                      .arg(shownName);
    }
    for (QMdiSubWindow *frame : workspace->subWindowList()) {
        auto *other = qobject_cast<DocumentWindow *>(frame->widget());
        if (!refusal.isEmpty() || !other || other == document)
            continue;
        DeviceTask *task = other->deviceTask();
        if (task->isRecording() && task->recorder() && task->recorder()->isWritingTo(fileName))
            refusal = tr("The window of %1 is already recording into the file\n%2\n"
                         "Each window records into a file of its own.")
                          .arg(other->port(), shownName);
    }
    if (refusal.isEmpty())
        return true;
    notices->warn(refusal + QLatin1Char('\n') + outcome);
    return false;
}

void MdiWindow::setRecPath()
{
    DocumentWindow *document = activeDocument();
    if (!document)
        return;
    DeviceTask *task = document->deviceTask();
    // The recorder appends to the file it is given and never replaces one:
    // the dialog asks nothing about replacing and says where readings go.
    // The filter of the format the window records in comes first.
    const QString text = tr("Text records (*.txt)");
    const QString csv = tr("CSV files (*.csv)");
    const bool recordsCsv = task->recordFormat() != RecordFormat::Classic;
    const QString chosenBefore = task->recorder()->fileName();
    QFileDialog dialog(this, tr("Choose the file to record readings in"),
                       chosenBefore.isEmpty() && desk ? desk->recordFolder() : chosenBefore,
                       (recordsCsv ? csv + QStringLiteral(";;") + text
                                   : text + QStringLiteral(";;") + csv)
                           + QStringLiteral(";;") + tr("All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setLabelText(QFileDialog::FileName, tr("Add readings to the end of:"));
    dialog.setLabelText(QFileDialog::Accept, tr("Append"));
    // The dialogs run event loops of their own, in which the window may close.
    const QPointer<DocumentWindow> alive(document);
    const QString fileName =
        dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    // Refused, the choice is forgotten and the file chosen before kept.
    if (!alive || fileName.isEmpty()
        || !mayRecordInto(document, fileName, tr("The file chosen before is kept."))) {
        // A recording already running goes on, and Record keeps saying so.
        recordAct->setChecked(alive && task->isRecording());
        return;
    }
    qCDebug(appTrace) << fileName;
    if (desk)
        desk->setRecordFolder(QFileInfo(fileName).absolutePath());
    task->recorder()->setFileName(fileName);
    showRecPath(fileName);
    // A recording under way moves to the new file at once, so that the next
    // record goes where the button says; open() lets go of the old file.
    if (task->isRecording() && !task->recorder()->open())
        tellCouldNotOpen(task);
}

void MdiWindow::setSamplingRate(double seconds)
{
    qCDebug(appTrace) << "? MdiWindow setSamplingRate()" << seconds;
    // Rounded, not truncated: 2.3 s is 2299.99... ms in binary and must still
    // poll every 2300 ms.
    DocumentWindow *document = activeDocument();
    if (!document)
        return;
    const int ms = qRound(seconds * 1000);
    // Mirroring a newly active window shows that window's own interval; sending
    // it back unchanged would only restart its link's wait.
    if (ms != document->deviceTask()->refreshRate())
        document->deviceTask()->setRefreshRate(ms);
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
    for (QMdiSubWindow *frame : workspace->subWindowList())
        if (auto *document = qobject_cast<DocumentWindow *>(frame->widget()))
            document->deviceTask()->plotWidget()->setFollowing(on);
}
