#include "AppTestSupport.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLCDNumber>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <qwt_plot_curve.h>

#include "DeviceTask.h"
#include "FaultSupport.h"
#include "GraphView.h"
#include "RandomPlot.h"
#include "SaveSamples.h"

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QwtPlotCurve *curveOf(DocumentWindow *document)
{
    const QwtPlotItemList curves =
        document->deviceTask()->plotWidget()->itemList(QwtPlotItem::Rtti_PlotCurve);
    return curves.isEmpty() ? nullptr : static_cast<QwtPlotCurve *>(curves.first());
}

} // namespace

// The main window's commands on real document windows: every task runs its
// link on a worker thread against a simulated scale on a pseudo-terminal, and
// every dialog is answered as the operator would answer it.
class tst_Commands : public DeviceFixture
{
    Q_OBJECT

private slots:
    void recordAsksForAFileOnceAndAppendsToItFromThenOn();
    void unwritableFileIsToldAndRecordStaysOffUntilItCanBeOpened();
    void fileChosenWhileRecordingTakesOverAtOnce();
    void eachWindowKeepsItsOwnIntervalModesAndFile();
    void hidingTheGraphWhileTheReadoutIsHiddenBringsTheReadoutBackEverywhere();
    void exportPausesTheWindowOnlyWhileItAsks_data();
    void exportPausesTheWindowOnlyWhileItAsks();
    void appearanceCancelledChangesNoPlotAndAcceptedChangesThemAll();
    void ctrlWClosesTheActiveWindowAfterLanguageSwitches_data();
    void ctrlWClosesTheActiveWindowAfterLanguageSwitches();

private:
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }
    QPushButton *recPathButton() const { return window->findChild<QPushButton *>("recPathButton"); }
    QDoubleSpinBox *rateBox() const { return window->findChild<QDoubleSpinBox *>("samplingRateBox"); }
    // Another name for every test and data row: a name used before would
    // bring up the file dialog's question whether to replace it.
    QString recordPath(const QString &name) const
    {
        return dir.filePath(QString::fromLatin1(QTest::currentTestFunction())
                            + QString::fromLatin1(QTest::currentDataTag()) + name);
    }
    void activate(DocumentWindow *document);
    // Opens the first count simulated scales, each until it names its unit.
    QList<DocumentWindow *> openScales(int count);
};

void tst_Commands::activate(DocumentWindow *document)
{
    workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(document->parentWidget()));
    QCOMPARE(workspace()->currentSubWindow()->widget(), document);
}

QList<DocumentWindow *> tst_Commands::openScales(int count)
{
    startScales(count);
    QList<DocumentWindow *> opened;
    for (int i = 0; i < count; ++i) {
        DocumentWindow *shown = open(port(i));
        if (!shown)
            return {};
        opened << shown;
    }
    for (DocumentWindow *shown : opened)
        if (!QTest::qWaitFor([shown] { return shown->deviceTask()->unitsWidget()->text() == "kg"; }, 2000))
            return {};
    return opened;
}

void tst_Commands::recordAsksForAFileOnceAndAppendsToItFromThenOn()
{
    const QList<DocumentWindow *> opened = openScales(1);
    QVERIFY(!opened.isEmpty());
    DeviceTask *task = opened.first()->deviceTask();
    scales.first()->setWeight(3.5);
    action("goAct")->trigger();
    const QString path = recordPath(QStringLiteral(".txt"));

    // No file yet: Record asks for one; cancelled, nothing records.
    QStringList filters;
    QFileDialog::Options options;
    QStringList labels;
    {
        DialogScript script;
        script.then([&](QWidget *modal) {
            if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                filters = files->nameFilters();
                options = files->options();
                labels << files->labelText(QFileDialog::FileName)
                       << files->labelText(QFileDialog::Accept);
            }
            cancel(modal);
        });
        action("recordAct")->trigger();
        QCOMPARE(script.met, QStringList({"QFileDialog"}));
        QCOMPARE(script.titles, QStringList({"Wybierz plik do zachowywania próbek"}));
    }
    QCOMPARE(filters, QStringList({"Document files (*.txt)", "All files (*.*)"}));
    // Records are appended: no question about replacing a file, and the
    // dialog says so.
    QVERIFY(options.testFlag(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(labels, QStringList({"Dopisuj odczyty na końcu pliku:", "Dopisz"}));
    QVERIFY(!action("recordAct")->isChecked());
    QVERIFY(!task->isRecording());
    QVERIFY(!task->recorder()->isOpen());
    QCOMPARE(recPathButton()->text(), QStringLiteral("..."));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.txt")}, QDir::Files), QStringList());

    // Chosen: readings go to that file from now on.
    const QDateTime before = QDateTime::currentDateTime();
    {
        DialogScript script;
        script.then(chooseFile(path));
        action("recordAct")->trigger();
        QCOMPARE(script.met, QStringList({"QFileDialog"}));
    }
    QVERIFY(action("recordAct")->isChecked());
    QVERIFY(task->isRecording());
    QCOMPARE(recPathButton()->text(), QStringLiteral(".../") + QFileInfo(path).fileName());
    QCOMPARE(recPathButton()->toolTip(), path);
    QCOMPARE(recPathButton()->statusTip(), path);
    QTRY_VERIFY_WITH_TIMEOUT(contents(path).count("auto") >= 2, 2000);
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(openDescriptorsOn(path), 1);

    // Off: the file is closed, later readings stay out of it.
    action("recordAct")->trigger();
    QVERIFY(!action("recordAct")->isChecked());
    QVERIFY(!task->isRecording());
    QCOMPARE(openDescriptorsOn(path), 0);
    const QByteArray first = contents(path);
    // The simulated weight wanders a few grams from one reading to the next.
    const QRegularExpression record(QStringLiteral(
        "auto\\t(\\d+\\.\\d{3})\\tkg\\t(\\d\\d\\.\\d\\d\\.\\d{4}\\t \\d\\d:\\d\\d:\\d\\d\\.\\d{3})\\r\\n\\r"));
    int at = 0;
    QDateTime previous = before.addMSecs(-1);
    while (at < first.size()) {
        const QRegularExpressionMatch line = record.match(QString::fromLatin1(first), at,
            QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
        QVERIFY2(line.hasMatch(), first.mid(at).constData());
        QVERIFY(qAbs(line.captured(1).toDouble() - 3.5) < 0.5);
        const QDateTime when = QDateTime::fromString(line.captured(2), QStringLiteral("dd.MM.yyyy\t hh:mm:ss.zzz"));
        QVERIFY(when >= previous && when <= after.addMSecs(1));
        previous = when;
        at = line.capturedEnd();
    }
    const int readings = task->readings();
    QTRY_VERIFY_WITH_TIMEOUT(task->readings() >= readings + 2, 2000);
    QCOMPARE(contents(path), first);

    // On again: the same file, without a question, appended to.
    {
        DialogScript script;
        action("recordAct")->trigger();
        QVERIFY(action("recordAct")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(contents(path).count("auto") >= first.count("auto") + 2, 2000);
        QCOMPARE(script.met, QStringList());
    }
    QVERIFY(contents(path).startsWith(first));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.txt")}, QDir::Files),
             QStringList({QFileInfo(path).fileName()}));
}

void tst_Commands::unwritableFileIsToldAndRecordStaysOffUntilItCanBeOpened()
{
    const QList<DocumentWindow *> opened = openScales(1);
    QVERIFY(!opened.isEmpty());
    DeviceTask *task = opened.first()->deviceTask();
    action("goAct")->trigger();
    const QString folder = recordPath(QStringLiteral("-missing"));
    const QString path = folder + QStringLiteral("/samples.txt");

    QString message;
    {
        DialogScript script;
        script.then(chooseFile(path)).then(readMessage(&message));
        action("recordAct")->trigger();
        QCOMPARE(script.met, QStringList({"QFileDialog", "QMessageBox"}));
    }
    QCOMPARE(message, QCoreApplication::translate("MdiWindow", "Could not open the file") + QLatin1Char('\n') + path);
    QVERIFY(!action("recordAct")->isChecked());
    QVERIFY(!task->isRecording());
    QVERIFY(!task->recorder()->isOpen());
    QVERIFY(!QFileInfo::exists(folder));

    // The name is kept: once the folder exists, Record opens it without asking.
    QVERIFY(QDir().mkpath(folder));
    {
        DialogScript script;
        action("recordAct")->trigger();
        QVERIFY(action("recordAct")->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(contents(path).startsWith("auto\t"), 2000);
        QCOMPARE(script.met, QStringList());
    }
}

void tst_Commands::fileChosenWhileRecordingTakesOverAtOnce()
{
    const QList<DocumentWindow *> opened = openScales(1);
    QVERIFY(!opened.isEmpty());
    DeviceTask *task = opened.first()->deviceTask();
    const QString first = recordPath(QStringLiteral("-first.txt"));
    const QString second = recordPath(QStringLiteral("-second.txt"));
    {
        QFile earlier(second);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier notes\n");
    }
    // Record before Go: every reading plotted is one recorded.
    {
        DialogScript script;
        script.then(chooseFile(first));
        action("recordAct")->trigger();
    }
    QVERIFY(task->isRecording());
    action("goAct")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(contents(first).count("auto\t") >= 2, 2000);

    // An existing file, chosen while recording: no question, and the next
    // record goes into it. A replace question, should one come, is answered
    // yes so that the test fails on the list of dialogs instead of hanging.
    {
        DialogScript script;
        script.then(chooseFile(second)).then(readMessage(nullptr, QMessageBox::Yes));
        recPathButton()->click();
        QCOMPARE(script.met, QStringList({"QFileDialog"}));
    }
    // Readings are handled on this thread: none can come between these lines.
    const int readingsAtChange = task->readings();
    const QByteArray firstAtChange = contents(first);
    QCOMPARE(firstAtChange.count("auto\t"), readingsAtChange);
    QCOMPARE(recPathButton()->text(), QStringLiteral(".../") + QFileInfo(second).fileName());
    QCOMPARE(recPathButton()->toolTip(), second);
    QVERIFY(action("recordAct")->isChecked());
    QVERIFY(task->isRecording());
    QCOMPARE(openDescriptorsOn(first), 0);
    QCOMPARE(openDescriptorsOn(second), 1);
    QTRY_VERIFY_WITH_TIMEOUT(contents(second).count("auto\t") >= 2, 2000);
    QCOMPARE(contents(first), firstAtChange);
    QVERIFY(contents(second).startsWith("earlier notes\nauto\t"));
    QCOMPARE(contents(second).count("auto\t"), task->readings() - readingsAtChange);

    // A file that cannot be opened: told, and Record is off.
    const QString unreachable = recordPath(QStringLiteral("-missing")) + QStringLiteral("/samples.txt");
    QString message;
    {
        DialogScript script;
        script.then(chooseFile(unreachable)).then(readMessage(&message));
        recPathButton()->click();
        QCOMPARE(script.met, QStringList({"QFileDialog", "QMessageBox"}));
    }
    QCOMPARE(message, QCoreApplication::translate("MdiWindow", "Could not open the file")
                          + QLatin1Char('\n') + unreachable);
    QVERIFY(!action("recordAct")->isChecked());
    QVERIFY(!task->isRecording());
    QCOMPARE(recPathButton()->toolTip(), unreachable);
    QCOMPARE(openDescriptorsOn(second), 0);
    const QByteArray secondAtFailure = contents(second);
    const int readings = task->readings();
    QTRY_VERIFY_WITH_TIMEOUT(task->readings() >= readings + 2, 2000);
    QCOMPARE(contents(second), secondAtFailure);
    QCOMPARE(contents(first), firstAtChange);
}

void tst_Commands::eachWindowKeepsItsOwnIntervalModesAndFile()
{
    const QList<DocumentWindow *> opened = openScales(2);
    QVERIFY(!opened.isEmpty());
    DocumentWindow *first = opened.at(0);
    DocumentWindow *second = opened.at(1);
    DeviceTask *firstTask = first->deviceTask();
    DeviceTask *secondTask = second->deviceTask();
    QSignalSpy firstToLink(firstTask, &DeviceTask::setRefreshRateSignal);
    QSignalSpy secondToLink(secondTask, &DeviceTask::setRefreshRateSignal);
    const QString noFileTip = recPathButton()->toolTip();

    activate(first);
    rateBox()->setValue(1.5);
    QCOMPARE(firstTask->refreshRate(), 1500);
    QCOMPARE(secondTask->refreshRate(), 200);
    QCOMPARE(firstToLink.last().at(0).toInt(), 1500);
    QVERIFY(secondToLink.isEmpty());
    // 2.01 s is 2009.99... ms in binary; cut off it would poll at 2009 ms.
    rateBox()->setValue(2.01);
    QCOMPARE(firstTask->refreshRate(), 2010);
    rateBox()->setValue(1.5);

    // The first one runs and records; the second stays as it opened.
    action("goAct")->trigger();
    const QString path = recordPath(QStringLiteral(".txt"));
    {
        DialogScript script;
        script.then(chooseFile(path));
        action("recordAct")->trigger();
        QCOMPARE(script.met, QStringList({"QFileDialog"}));
    }
    QVERIFY(firstTask->isRecording());

    activate(second);
    QVERIFY(action("pauseAct")->isChecked());
    QVERIFY(!action("goAct")->isChecked());
    QVERIFY(!action("recordAct")->isChecked());
    QCOMPARE(recPathButton()->text(), QStringLiteral("..."));
    QCOMPARE(recPathButton()->toolTip(), noFileTip);
    QCOMPARE(rateBox()->value(), 0.2);

    activate(first);
    QVERIFY(!action("pauseAct")->isChecked());
    QVERIFY(action("goAct")->isChecked());
    QVERIFY(action("recordAct")->isChecked());
    QCOMPARE(recPathButton()->text(), QStringLiteral(".../") + QFileInfo(path).fileName());
    QCOMPARE(recPathButton()->toolTip(), path);
    QCOMPARE(rateBox()->value(), 1.5);

    // Mirroring gave each task back only its own interval.
    QCOMPARE(firstTask->refreshRate(), 1500);
    QCOMPARE(secondTask->refreshRate(), 200);
    for (const QList<QVariant> &sent : secondToLink)
        QCOMPARE(sent.at(0).toInt(), 200);
    QVERIFY(!firstTask->isPaused());
    QVERIFY(firstTask->isRecording());
    QVERIFY(secondTask->isPaused());
    QVERIFY(!secondTask->isRecording());

    // Clicking the checked one of Pause and Go leaves it checked.
    action("goAct")->trigger();
    QVERIFY(action("goAct")->isChecked());
    QVERIFY(!action("pauseAct")->isChecked());
    action("pauseAct")->trigger();
    action("pauseAct")->trigger();
    QVERIFY(action("pauseAct")->isChecked());
    QVERIFY(!action("goAct")->isChecked());
    QVERIFY(firstTask->isPaused());

    // Step records the read-out once and leaves the task paused.
    const int readings = firstTask->readings();
    action("goAct")->trigger();
    action("stepAct")->trigger();
    QVERIFY(action("pauseAct")->isChecked());
    QVERIFY(!action("goAct")->isChecked());
    QVERIFY(firstTask->isPaused());
    QCOMPARE(firstTask->readings(), readings + 1);
    QCOMPARE(contents(path).count("step\t"), 1);
    QVERIFY(secondTask->isPaused());
}

void tst_Commands::hidingTheGraphWhileTheReadoutIsHiddenBringsTheReadoutBackEverywhere()
{
    const QList<DocumentWindow *> opened = openScales(2);
    QVERIFY(!opened.isEmpty());

    action("showLcdAct")->trigger();
    for (DocumentWindow *document : opened) {
        DeviceTask *task = document->deviceTask();
        QVERIFY(!task->readoutWidget()->isVisible());
        QVERIFY(!task->unitsWidget()->isVisible());
        QVERIFY(task->plotWidget()->isVisible());
    }

    action("showGraphAct")->trigger();
    QVERIFY(action("showLcdAct")->isChecked());
    QVERIFY(!action("showGraphAct")->isChecked());
    for (DocumentWindow *document : opened) {
        DeviceTask *task = document->deviceTask();
        QVERIFY(task->readoutWidget()->isVisible());
        QVERIFY(task->unitsWidget()->isVisible());
        QVERIFY(!task->plotWidget()->isVisible());
    }
}

void tst_Commands::exportPausesTheWindowOnlyWhileItAsks_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("cancelled"); // at the file dialog
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("running, written") << true << false << QString();
    QTest::newRow("running, cancelled") << true << true << QString();
    QTest::newRow("paused, written") << false << false << QString();
    QTest::newRow("running, other window active") << true << false << "activate other";
    QTest::newRow("running, closed while described") << true << false << "close at description";
    QTest::newRow("running, closed while named") << true << false << "close at file name";
}

// The first window records, running or paused; the second one stays as it
// opened, paused.
void tst_Commands::exportPausesTheWindowOnlyWhileItAsks()
{
    QFETCH(bool, running);
    QFETCH(bool, cancelled);
    QFETCH(QString, meanwhile);
    const QList<DocumentWindow *> opened = openScales(2);
    QVERIFY(!opened.isEmpty());
    QPointer<DocumentWindow> exported = opened.at(0);
    DeviceTask *task = exported->deviceTask();
    DeviceTask *other = opened.at(1)->deviceTask();
    activate(exported);
    action("goAct")->trigger();
    const QString records = recordPath(QStringLiteral(".txt"));
    {
        DialogScript script;
        script.then(chooseFile(records));
        action("recordAct")->trigger();
    }
    QTRY_VERIFY_WITH_TIMEOUT(contents(records).contains("auto"), 2000);
    if (!running)
        action("pauseAct")->trigger();

    const QString plotFile = recordPath(QStringLiteral(".svg"));
    bool pausedWhileAsked = false;
    auto closeExported = [&] {
        exported->close();
        QTRY_VERIFY(exported.isNull());
    };
    {
        DialogScript script;
        script.then([&](QWidget *modal) {
            pausedWhileAsked = task->isPaused() && action("pauseAct")->isChecked()
                               && !action("goAct")->isChecked();
            cancel(modal); // the description stays empty; the export goes on
            // Still inside the dialog's exec(): it returns once this is done.
            if (meanwhile == QLatin1String("close at description"))
                closeExported();
        });
        script.then([&](QWidget *modal) {
            cancelled ? cancel(modal) : chooseFile(plotFile)(modal);
            if (meanwhile == QLatin1String("activate other"))
                activate(opened.at(1));
            else if (meanwhile == QLatin1String("close at file name"))
                closeExported();
        });
        action("exportAct")->trigger();
        QCOMPARE(script.met.value(0), QStringLiteral("DescriptionWindow"));
        QCOMPARE(script.met.size(), meanwhile == QLatin1String("close at description") ? 1 : 2);
    }
    QVERIFY(pausedWhileAsked);
    QCOMPARE(QFileInfo::exists(plotFile), !cancelled && exported);

    // The controls show the active window, which is the exported one unless
    // it was left or closed.
    const bool otherShown = !meanwhile.isEmpty();
    QCOMPARE(action("goAct")->isChecked(), otherShown ? false : running);
    QCOMPARE(action("pauseAct")->isChecked(), !action("goAct")->isChecked());
    QVERIFY(other->isPaused());
    if (!exported)
        return;
    QCOMPARE(task->isPaused(), !running);
    QVERIFY(task->isRecording());

    // Records come again only from a window that was running; a paused one
    // lets readings pass by unrecorded.
    const int recorded = contents(records).count("auto");
    if (running) {
        QTRY_VERIFY_WITH_TIMEOUT(contents(records).count("auto") >= recorded + 2, 2000);
    } else {
        QSignalSpy replies(scales.first(), &ScaleSimulator::replySent);
        QTRY_VERIFY_WITH_TIMEOUT(replies.count() >= 3, 2000);
        QCOMPARE(contents(records).count("auto"), recorded);
    }
}

void tst_Commands::appearanceCancelledChangesNoPlotAndAcceptedChangesThemAll()
{
    const QList<DocumentWindow *> opened = openScales(2);
    QVERIFY(!opened.isEmpty());
    QSignalSpy sent(window, &MdiWindow::graphViewChangeWindow);
    const QColor startBackground = opened.first()->deviceTask()->plotWidget()->canvasBackground().color();
    const int startStyle = curveOf(opened.first())->style();
    QCOMPARE(startStyle, int(QwtPlotCurve::Steps));

    // Green canvas and sticks in the dialog, then the given button.
    auto edit = [](QDialogButtonBox::StandardButton button) {
        return [button](QWidget *modal) {
            auto *view = qobject_cast<GraphView *>(modal);
            if (!view) {
                modal->close();
                return;
            }
            view->findChild<QPushButton *>(QStringLiteral("backgroundBtn"))->click();
            QTest::keyClick(view->findChild<QComboBox *>(QStringLiteral("comboBox")), Qt::Key_Down);
            view->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(button)->click();
        };
    };
    auto pickGreen = [](QWidget *modal) {
        if (auto *colours = qobject_cast<QColorDialog *>(modal)) {
            colours->setCurrentColor(Qt::darkGreen);
            colours->accept();
        }
    };

    {
        DialogScript script;
        script.then(edit(QDialogButtonBox::Cancel)).then(pickGreen);
        action("graphViewAct")->trigger();
        QCOMPARE(script.met, QStringList({"GraphView", "QColorDialog"}));
    }
    QVERIFY(sent.isEmpty());
    for (DocumentWindow *document : opened) {
        QCOMPARE(document->deviceTask()->plotWidget()->canvasBackground().color(), startBackground);
        QCOMPARE(int(curveOf(document)->style()), startStyle);
    }

    {
        DialogScript script;
        script.then(edit(QDialogButtonBox::Ok)).then(pickGreen);
        action("graphViewAct")->trigger();
        QCOMPARE(script.met, QStringList({"GraphView", "QColorDialog"}));
    }
    QCOMPARE(sent.size(), 1);
    for (DocumentWindow *document : opened) {
        QCOMPARE(document->deviceTask()->plotWidget()->canvasBackground().color(), QColor(Qt::darkGreen));
        QCOMPARE(int(curveOf(document)->style()), int(QwtPlotCurve::Sticks));
    }

    // The next dialog starts from what was accepted.
    QString shownStyle;
    QString shownBackground;
    {
        DialogScript script;
        script.then([&](QWidget *modal) {
            shownStyle = modal->findChild<QComboBox *>(QStringLiteral("comboBox"))->currentText();
            shownBackground = modal->findChild<QPushButton *>(QStringLiteral("backgroundBtn"))->styleSheet();
            cancel(modal);
        });
        action("graphViewAct")->trigger();
    }
    QCOMPARE(shownStyle, QStringLiteral("Sticks"));
    QCOMPARE(shownBackground, QStringLiteral("background:") + QColor(Qt::darkGreen).name());
}

void tst_Commands::ctrlWClosesTheActiveWindowAfterLanguageSwitches_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("tiled") << false;
    QTest::newRow("maximized") << true;
}

void tst_Commands::ctrlWClosesTheActiveWindowAfterLanguageSwitches()
{
    QFETCH(bool, maximized);
    const QList<DocumentWindow *> opened = openScales(2);
    QVERIFY(!opened.isEmpty());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const QString polishTitle = QStringLiteral("KORVEN program do obsługi wag v2.1");
    QTRY_COMPARE(window->windowTitle(), polishTitle);
    action("englishAct")->trigger();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KORVEN weighing software v2.1"));
    action("polishAct")->trigger();
    QTRY_COMPARE(window->windowTitle(), polishTitle);
    activate(opened.at(0));
    if (maximized)
        action("maximizeAct")->trigger();

    TraceLog log;
    QSignalSpy closed(action("closeAct"), &QAction::triggered);
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(log.count(QStringLiteral("QAction::event: Ambiguous shortcut overload: Ctrl+W")), 0);
    QTRY_COMPARE(documents(), QList<DocumentWindow *>({opened.at(1)}));

    // The frame's own menu still closes the window on the key it kept.
    QTest::keyClick(window, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(closed.count(), 1);
    QTRY_VERIFY(documents().isEmpty());
}

QTEST_MAIN(tst_Commands)
#include "tst_commands.moc"
