#include "MdiWindow.h"

#include "AboutWindow.h"
#include "AppTrace.h"
#include "CommandBars.h"
#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "EditMenu.h"
#include "FrameMenu.h"
#include "GraphAttr.h"
#include "GraphView.h"
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
#include "WindowCommands.h"

#include <QAction>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QIcon>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
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
    commands = std::make_unique<WindowCommands>(this, workspace, scales, [this] { return activeTask(); });
    // The commands whose outcome the window tells: the statistics shown (the
    // shift's own at start included), the language chosen.
    connect(commands->showStatisticsAct, &QAction::toggled, this, &MdiWindow::showStatisticsSig);
    for (QAction *language : {commands->polishAct, commands->englishAct})
        connect(language, &QAction::triggered, this, [this, language] { chooseLanguage(language); });
    opener = new ScaleOpener(workspace, scales, &portStore, notices, commands->closeAct, this);
    connect(opener, &ScaleOpener::starting, this, &MdiWindow::joinViews);
    modeControl = std::make_unique<ModeControl>(this, commands->pauseAct, commands->goAct);
    samplingRateBox = modeControl->intervalBox();
    connect(samplingRateBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged),
            this, &MdiWindow::setSamplingRate);
    connect(samplingRateBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), scales, &ScaleList::noteChange);
    recordControl = std::make_unique<RecordControl>(this, commands->recordAct, scales, notices);
    connect(recordControl->button(), &QPushButton::clicked, this, &MdiWindow::setRecPath);
    connect(recordControl->button(), &QPushButton::clicked, scales, &ScaleList::noteChange);
    bars = std::make_unique<CommandBars>(this, workspace, *commands, &portStore, [this] { return activeTask(); });
    bars->addToolBars(scaner, samplingRateBox, recordControl->button(), lotField);
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
    delete bars->editMenu();
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
    const WindowCommands &c = *commands;
    const QList<QAction *> documentActions = {
        c.closeAct, c.maximizeAct, c.tileAct, c.nextAct, c.previousAct, c.pauseAct, c.stepAct, c.goAct,
        c.recordAct, c.exportAct, c.showLcdAct, c.showGraphAct, c.showStatisticsAct, c.lineMonitorAct,
        bars->recordMenu()->menuAction(), c.limitsAct, bars->editMenu()->copyAction(),
        bars->editMenu()->copyStableAction()};
    for (QAction *action : documentActions)
        action->setEnabled(active);
    recordControl->button()->setEnabled(active);
    samplingRateBox->setEnabled(active);
    lotField->setEnabled(active);
    lotField->mirror();
    c.separatorAct->setVisible(active);
    if (!active)
        recordControl->show(QString()); // no tips naming the file of a closed document
    commands->enableScaleCommands();
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
            FrameMenu::adopt(frame, commands->closeAct);
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
    bars->retranslate();
    commands->retranslate();
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
    task->plotWidget()->setFollowing(commands->followAct->isChecked());
    connect(this, &MdiWindow::showStatisticsSig, task, &DeviceTask::showStatistics);
    task->showStatistics(commands->showStatisticsAct->isChecked());
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
        commands->enableScaleCommands();
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
    bars->optionsMenu()->addAction(shift->resumeAtOnceAction());
    if (!shift->language().isEmpty())
        loadLanguage(shift->language());
    commands->showStatisticsAct->setChecked(shift->showsStatistics());
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
    commands->recordAct->setChecked(task->isRecording());
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
    if (!on && !commands->showGraphAct->isChecked()) {
        commands->showGraphAct->setChecked(true);
        emit showGraphSig(true);
        commands->showLcdAct->setChecked(false);
        emit showLcdSig(false);
    } else {
        emit showLcdSig(on);
    }
}

void MdiWindow::showGraph(bool on)
{
    if (!on && !commands->showLcdAct->isChecked()) {
        commands->showGraphAct->setChecked(false);
        emit showGraphSig(false);
        commands->showLcdAct->setChecked(true);
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
