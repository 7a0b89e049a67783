#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include "DeviceTask.h"
#include "FaultSupport.h"
#include "SaveSamples.h"

namespace {

// Reads and dismisses every message box that comes up, as an operator would,
// and keeps their texts; a box nobody expected is answered too, so it fails
// the test instead of hanging it.
class MessageBoxReader : public QObject
{
public:
    MessageBoxReader()
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(top);
                if (!box || !box->isVisible() || seen.contains(box))
                    continue;
                seen << box;
                texts << box->text();
                // Later, from the event loop: a box run by exec() returns
                // into the code that showed it.
                QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
            }
        });
        poll.start(10);
    }

    QStringList texts;

private:
    QTimer poll;
    QList<QPointer<QMessageBox>> seen;
};

// Runs the event loop until done() holds or ms have passed. Unlike
// QTest::qWaitFor it does not sleep 10 ms between looks, which a window's
// close, four hops between two threads, would pay at every hop.
bool soon(const std::function<bool()> &done, int ms)
{
    QEventLoop loop;
    QTimer look;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > ms)
            loop.quit();
    });
    look.start(1);
    if (!done())
        loop.exec();
    return done();
}

QByteArray contents(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

// Scales that fail while their windows are open, closed or recording: real
// worker threads, real pseudo-terminals, simulated scales.
class tst_DeviceFaults : public DeviceFixture
{
    Q_OBJECT

private slots:
    void closingAWindowWhoseAdapterWasPulledOut();
    void closingWindowsWhileTheirPortsAreBeingReset();
    void exitWhileFourScalesAreInTimeOut();
    void fourWindowsOpenedAndClosedAHundredTimesLeaveNothingBehind();
    void fullDiskIsToldOnceAndRecordingGoesOnWhenThereIsRoom();
    void recordingFileDeletedUnderARunningRecording();

private:
    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QLatin1String(name));
    }
    // One scale's window recording to a file chosen beforehand, two records in.
    DeviceTask *recordingScale(const QString &path)
    {
        startScales(1);
        DocumentWindow *shown = window ? open(port(0)) : nullptr;
        if (!shown)
            return nullptr;
        shown->deviceTask()->recorder()->setFileName(path);
        window->windowState(nullptr); // the record-path button takes the name
        action("recordAct")->trigger();
        action("goAct")->trigger();
        if (!QTest::qWaitFor([&path] { return contents(path).count("auto\t") >= 2; }, 2000))
            return nullptr;
        return shown->deviceTask();
    }
    QString recordPath() const
    {
        return dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QStringLiteral(".txt"));
    }
};

void tst_DeviceFaults::closingAWindowWhoseAdapterWasPulledOut()
{
    startScales(1);
    const int threadsBefore = threadCount();
    QPointer<DocumentWindow> shown = open(port(0));
    QVERIFY(shown);
    QLabel *units = shown->deviceTask()->unitsWidget();
    QTRY_COMPARE_WITH_TIMEOUT(units->text(), QStringLiteral("kg"), 2000);

    const QString pulledTerminal = scales.at(0)->terminalPath();
    scales.at(0)->vanish();
    QTRY_COMPARE_WITH_TIMEOUT(units->text(), QStringLiteral("--"), 2000); // the link has noticed
    QVERIFY(!shown->close());
    QTRY_VERIFY_WITH_TIMEOUT(shown.isNull(), 2000);
    QCOMPARE(documents().size(), 0);
    QCOMPARE(openDescriptorsOn(pulledTerminal), 0);
    QTRY_COMPARE(threadCount(), threadsBefore);

    // Plugged in again, the port opens and reads as before.
    QVERIFY(scales.at(0)->comeBack());
    shown = open(port(0));
    QVERIFY(shown);
    QTRY_COMPARE_WITH_TIMEOUT(shown->deviceTask()->unitsWidget()->text(), QStringLiteral("kg"), 2000);
}

// A silent scale's link resets its port a second after each request and
// sleeps 100 ms in the middle of the reset. Four windows are closed at four
// points of that pause; the trace shows where each close request landed.
void tst_DeviceFaults::closingWindowsWhileTheirPortsAreBeingReset()
{
    startScales(4);
    const int threadsBefore = threadCount();
    for (ScaleSimulator *scale : scales)
        scale->setSilent(true);
    TraceLog log;
    QList<QPointer<DocumentWindow>> shown;
    QList<QThread *> workers; // keys of the traces, still good once the tasks are gone
    for (int i = 0; i < 4; ++i) {
        shown << open(port(i));
        QVERIFY(shown.last());
        workers << shown.last()->deviceTask();
    }

    const QList<int> intoThePause = {20, 40, 60, 80};
    QVector<qint64> closedAt(4, -1);
    QObject closers; // takes the timers along should the test end early
    for (int i = 0; i < 4; ++i) {
        QTRY_VERIFY(!log.times(workers.at(i), QStringLiteral("writeToPort()")).isEmpty());
        const qint64 resetStarts = log.times(workers.at(i), QStringLiteral("writeToPort()")).first() + 1000;
        QPointer<DocumentWindow> document = shown.at(i);
        QTimer::singleShot(int(qMax<qint64>(0, resetStarts + intoThePause.at(i) - log.now())),
                           Qt::PreciseTimer, &closers, [&log, &closedAt, document, i] {
                               closedAt[i] = log.now();
                               if (document)
                                   document->close();
                           });
    }
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(shown.cbegin(), shown.cend(),
                                         [](const QPointer<DocumentWindow> &d) { return d.isNull(); }),
                             4000);

    // A close request that reaches an idle link stops its machine at once;
    // a reset traced between the request and the link's closePort means the
    // worker was inside the reset and took the request only when it woke.
    int landedInTheReset = 0;
    for (int i = 0; i < 4; ++i) {
        const QList<qint64> closes = log.times(workers.at(i), QStringLiteral("closePort"));
        QCOMPARE(closes.size(), 1);
        const QList<qint64> resets = log.times(workers.at(i), QStringLiteral("timeout() reset portu"));
        if (std::any_of(resets.cbegin(), resets.cend(), [&](qint64 at) {
                return at >= closedAt.at(i) && at <= closes.first();
            }))
            ++landedInTheReset;
    }
    qInfo("%d of 4 close requests reached a worker inside its port reset", landedInTheReset);
    QVERIFY(landedInTheReset >= 1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(openDescriptorsOn(scales.at(i)->terminalPath()), 1);
    QCOMPARE(documents().size(), 0);
    QTRY_COMPARE(threadCount(), threadsBefore);
}

void tst_DeviceFaults::exitWhileFourScalesAreInTimeOut()
{
    startScales(4);
    const int threadsBefore = threadCount();
    QList<QPointer<DeviceTask>> tasks;
    for (int i = 0; i < 4; ++i) {
        scales.at(i)->setSilent(true);
        DocumentWindow *shown = open(port(i));
        QVERIFY(shown);
        tasks << shown->deviceTask();
    }
    for (const QPointer<DeviceTask> &task : tasks)
        QTRY_COMPARE_WITH_TIMEOUT(task->unitsWidget()->text(), QStringLiteral("--"), 2000);

    exitAndVerifyNothingIsLeft([this] {
        action("exitAct")->trigger();
        return true;
    }, tasks, threadsBefore);
}

void tst_DeviceFaults::fourWindowsOpenedAndClosedAHundredTimesLeaveNothingBehind()
{
    startScales(4);
    const int threadsBefore = threadCount();
    MessageBoxReader operatorReads;
    TraceLog quiet;
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 100 && operatorReads.texts.isEmpty(); ++round) {
        for (int i = 0; i < 4; ++i)
            window->deviceNew(port(i));
        QVERIFY2(soon([this] { return documents().size() == 4; }, 3000),
                 qPrintable(QStringLiteral("round %1").arg(round)));
        QList<QPointer<DocumentWindow>> shown;
        for (DocumentWindow *document : documents())
            shown << document;
        // As the operator does it: the close button of each window's frame.
        for (QMdiSubWindow *frame : workspace()->subWindowList())
            frame->close();
        QVERIFY2(soon(
                     [&shown] {
                         return std::all_of(shown.cbegin(), shown.cend(),
                                            [](const QPointer<DocumentWindow> &d) { return d.isNull(); });
                     },
                     3000),
                 qPrintable(QStringLiteral("round %1").arg(round)));
        // The frames go one event loop turn after their windows.
        QVERIFY(soon([this] { return workspace()->subWindowList().isEmpty(); }, 1000));
    }
    QCOMPARE(operatorReads.texts, QStringList());
    qInfo("100 rounds of four windows in %lld ms", clock.elapsed());

    QCOMPARE(window->findChildren<DocumentWindow *>().size(), 0);
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<DocumentWindow *>(top));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(openDescriptorsOn(scales.at(i)->terminalPath()), 1);
    QTRY_COMPARE(threadCount(), threadsBefore);
    QCOMPARE(offered().size(), 4);
}

void tst_DeviceFaults::fullDiskIsToldOnceAndRecordingGoesOnWhenThereIsRoom()
{
    const QString path = recordPath();
    DeviceTask *task = recordingScale(path);
    QVERIFY(task);

    MessageBoxReader operatorReads;
    const QByteArray kept = contents(path);
    {
        // Room for a few bytes of the next record only: every record is
        // torn and taken back.
        FileSizeLimit full(kept.size() + 5);
        QTRY_COMPARE_WITH_TIMEOUT(operatorReads.texts.size(), 1, 2000);
        const int readings = task->readings();
        QTRY_VERIFY_WITH_TIMEOUT(task->readings() >= readings + 3, 2000);
        QVERIFY(task->isRecording());
        QVERIFY(action("recordAct")->isChecked());
        QCOMPARE(contents(path), kept);
    }
    QCOMPARE(operatorReads.texts.size(), 1);
    const QString failed = operatorReads.texts.first();
    QVERIFY2(failed.contains(port(0)) && failed.contains(path)
                 && failed.contains(qt_error_string(EFBIG)),
             qPrintable(failed));

    // Room again: records land after the ones kept, and that is told once.
    QTRY_VERIFY_WITH_TIMEOUT(contents(path).count("auto\t") >= kept.count("auto\t") + 3, 2000);
    QCOMPARE(operatorReads.texts.size(), 2);
    QCOMPARE(operatorReads.texts.at(1),
             QCoreApplication::translate("MdiWindow",
                                         "The readings of %1 are written to the file\n%2\nagain.\n"
                                         "The readings taken while they could not be written "
                                         "are not in it.")
                 .arg(port(0), path));
    QVERIFY(task->isRecording());
    QVERIFY(action("recordAct")->isChecked());
    const QByteArray all = contents(path);
    QVERIFY(all.startsWith(kept));
    const QRegularExpression wholeRecords(QStringLiteral(
        "^(auto\\t[^\\t\\r\\n]+\\t[^\\t\\r\\n]+\\t[0-9]{2}\\.[0-9]{2}\\.[0-9]{4}\\t "
        "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}\\r\\n\\r)+$"));
    QVERIFY2(wholeRecords.match(QString::fromLatin1(all)).hasMatch(), all.constData());
}

void tst_DeviceFaults::recordingFileDeletedUnderARunningRecording()
{
    const QString path = recordPath();
    DeviceTask *task = recordingScale(path);
    QVERIFY(task);

    MessageBoxReader operatorReads;
    QVERIFY(QFile::remove(path));
    QTRY_COMPARE_WITH_TIMEOUT(operatorReads.texts.size(), 1, 2000);
    QVERIFY2(operatorReads.texts.first().contains(path)
                 && operatorReads.texts.first().contains(port(0)),
             qPrintable(operatorReads.texts.first()));
    // Recording goes on, in a file the operator can see.
    QVERIFY(task->isRecording());
    QVERIFY(action("recordAct")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(contents(path).count("auto\t") >= 2, 2000);
    QVERIFY(contents(path).startsWith("auto\t"));
    QCOMPARE(operatorReads.texts.size(), 1);
}

QTEST_MAIN(tst_DeviceFaults)
#include "tst_devicefaults.moc"
