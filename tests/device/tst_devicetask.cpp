#include <QtTest>

#include <QLCDNumber>
#include <QLabel>

#include <qwt_plot_curve.h>

#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "RandomPlot.h"
#include "SaveSamples.h"
#include "ScaleSimulator.h"

// A device task inside its document window, its worker thread running a real
// link. Readings are handed to the task the way the link hands them over; a
// port that does not exist keeps the link from adding readings of its own
// (it only times out every 1.1 s, and placeholders are never plotted).
class tst_DeviceTask : public QObject
{
    Q_OBJECT

public:
    // A system locale whose digits are not ASCII, read by Qt when the
    // application starts: Qt 5 writes dates in it unless told otherwise.
    static void initMain() { qputenv("LC_ALL", "ar_EG.UTF-8"); }

private slots:
    void init();
    void cleanup();

    void newTaskShowsDashesAndIsPaused();
    void pausedReadingsOnlyUpdateTheReadout();
    void runningTaskPlotsAndRecordsAutoLinesInAscii();
    void placeholdersAreNeverPlottedOrRecorded();
    void stepRecordsTheLastReadingAsReceived_data();
    void stepRecordsTheLastReadingAsReceived();
    void viewTogglesActOnlyWhileTheThreadRuns();
    void simulatedScaleReadingsReachThePlotAndFile();
    void windowSaysWhyItHasNoReadingUntilReadingsCome_data();
    void windowSaysWhyItHasNoReadingUntilReadingsCome();

private:
    void startWindow(const QString &port);
    void hand(const QString &sample, const QString &units);
    int plotted() const;
    double plottedLast(int back) const;
    QByteArray recorded() const;
    QList<QByteArray> recordLines() const;
    QString recordPath() const
    {
        return dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QLatin1Char('-')
                            + QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".txt"));
    }
    void startRecording();

    QTemporaryDir dir;
    DocumentWindow *window = nullptr;
    DeviceTask *task = nullptr;
};

void tst_DeviceTask::init()
{
    startWindow(dir.filePath(QStringLiteral("no-such-port")));
}

void tst_DeviceTask::cleanup()
{
    delete window;
    window = nullptr;
    task = nullptr;
}

void tst_DeviceTask::startWindow(const QString &port)
{
    delete window;
    window = new DocumentWindow(port);
    task = window->deviceTask();
    QSignalSpy started(window, &DocumentWindow::documentWindowStarted);
    QVERIFY(started.wait(2000));
}

void tst_DeviceTask::hand(const QString &sample, const QString &units)
{
    QVERIFY(QMetaObject::invokeMethod(task, "getSample", Q_ARG(QString, sample),
                                      Q_ARG(QString, units), Q_ARG(QString, QStringLiteral("0"))));
}

int tst_DeviceTask::plotted() const
{
    const QwtPlotItemList curves = task->plotWidget()->itemList(QwtPlotItem::Rtti_PlotCurve);
    return curves.isEmpty() ? -1 : int(static_cast<QwtPlotCurve *>(curves.first())->dataSize());
}

double tst_DeviceTask::plottedLast(int back) const
{
    const auto *curve = static_cast<QwtPlotCurve *>(
        task->plotWidget()->itemList(QwtPlotItem::Rtti_PlotCurve).first());
    return curve->sample(int(curve->dataSize()) - 1 - back).y();
}

QByteArray tst_DeviceTask::recorded() const
{
    QFile file(recordPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The records without their CR LF CR ends.
QList<QByteArray> tst_DeviceTask::recordLines() const
{
    QList<QByteArray> lines;
    for (const QByteArray &piece : recorded().split('\r'))
        if (!piece.isEmpty() && piece != "\n")
            lines << piece;
    return lines;
}

void tst_DeviceTask::startRecording()
{
    task->recorder()->setFileName(recordPath());
    QVERIFY(task->recorder()->open());
    task->setRecording(true);
}

void tst_DeviceTask::newTaskShowsDashesAndIsPaused()
{
    QVERIFY(task->isPaused());
    QVERIFY(!task->isRecording());
    QCOMPARE(task->refreshRate(), 200);
    QCOMPARE(task->unitsWidget()->text(), QStringLiteral("---"));
    QCOMPARE(task->unitsWidget()->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(task->readoutWidget()->digitCount(), 10);

    // The read-out has no text getter: compare it with one showing dashes.
    window->resize(400, 300);
    window->show();
    QLCDNumber dashes(10);
    dashes.display(QStringLiteral("--------"));
    dashes.resize(task->readoutWidget()->size());
    QCOMPARE(task->readoutWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32),
             dashes.grab().toImage().convertToFormat(QImage::Format_RGB32));
    QVERIFY(task->plotWidget()->toolTip().startsWith(QStringLiteral("How to use graph:\n")));
}

void tst_DeviceTask::pausedReadingsOnlyUpdateTheReadout()
{
    hand(QStringLiteral("12.50"), QStringLiteral("kg"));
    QCOMPARE(task->readoutWidget()->value(), 12.5);
    QCOMPARE(task->unitsWidget()->text(), QStringLiteral("kg"));
    QCOMPARE(plotted(), 0);
    QCOMPARE(task->readings(), 0);
}

void tst_DeviceTask::runningTaskPlotsAndRecordsAutoLinesInAscii()
{
    QVERIFY(QLocale::system().zeroDigit() != QLatin1Char('0'));
    startRecording();
    task->go();
    hand(QStringLiteral("1.000"), QStringLiteral("kg"));
    const QDateTime before = QDateTime::currentDateTime();
    hand(QStringLiteral(" 12.5"), QStringLiteral("kg"));
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(plotted(), 2);
    QCOMPARE(task->readings(), 2);
    for (const char byte : recorded())
        QVERIFY2(uchar(byte) < 0x80, recorded().constData());
    const QList<QByteArray> lines = recorded().split('\r');
    QCOMPARE(lines.size(), 5); // two records, each ending CR LF CR
    QVERIFY(lines.at(0).startsWith("auto\t1.000\tkg\t"));
    const QByteArray second = lines.at(2);
    const QByteArray prefix = "auto\t12.5\tkg\t";
    QVERIFY2(second.startsWith(prefix), second.constData());
    const QString stamp = QString::fromLatin1(second.mid(prefix.size()));
    QVERIFY(QRegularExpression(QStringLiteral(
                "^[0-9]{2}\\.[0-9]{2}\\.[0-9]{4}\\t [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}$"))
                .match(stamp).hasMatch());
    const QDateTime when = QLocale::c().toDateTime(stamp, QStringLiteral("dd.MM.yyyy\t hh:mm:ss.zzz"));
    QVERIFY(when >= before.addMSecs(-1) && when <= after.addMSecs(1));
}

void tst_DeviceTask::placeholdersAreNeverPlottedOrRecorded()
{
    startRecording();
    task->go();
    hand(QStringLiteral("--- ----"), QStringLiteral("--"));
    QCOMPARE(task->unitsWidget()->text(), QStringLiteral("--"));
    hand(QStringLiteral("1.5"), QStringLiteral("--"));
    hand(QStringLiteral("--1.5"), QStringLiteral("kg"));
    QCOMPARE(plotted(), 0);
    QCOMPARE(recorded(), QByteArray());

    // Not a number: plotted as 0, recorded as sent without its blanks.
    hand(QStringLiteral("1 2x"), QStringLiteral("kg"));
    QCOMPARE(plotted(), 1);
    QVERIFY(recorded().startsWith("auto\t12x\tkg\t"));
}

void tst_DeviceTask::stepRecordsTheLastReadingAsReceived_data()
{
    // Handed in turn while running, each sample with its units, then Step.
    QTest::addColumn<QStringList>("samples");
    QTest::addColumn<QStringList>("units");
    QTest::addColumn<QByteArray>("stepped"); // empty: no step line

    QTest::newRow("seven digits") << QStringList{"1234.567"} << QStringList{"kg"}
                                  << QByteArray("1234.567");
    QTest::newRow("large integer") << QStringList{"1234567"} << QStringList{"szt"}
                                   << QByteArray("1234567");
    QTest::newRow("small negative") << QStringList{"-0.015"} << QStringList{"g"}
                                    << QByteArray("-0.015");
    QTest::newRow("sign and trailing zero") << QStringList{"+12.50"} << QStringList{"kg."}
                                            << QByteArray("+12.50");
    QTest::newRow("blanks") << QStringList{"  12.345"} << QStringList{"kg"}
                            << QByteArray("12.345");
    QTest::newRow("nothing received") << QStringList() << QStringList() << QByteArray();
    QTest::newRow("placeholder last") << QStringList{"12.5", "--- ----"}
                                      << QStringList{"kg", "--"} << QByteArray();
}

void tst_DeviceTask::stepRecordsTheLastReadingAsReceived()
{
    QFETCH(QStringList, samples);
    QFETCH(QStringList, units);
    QFETCH(QByteArray, stepped);
    startRecording();
    task->go();
    for (int i = 0; i < samples.size(); ++i)
        hand(samples.at(i), units.at(i));
    const int before = plotted();
    task->step();
    QVERIFY(task->isPaused());

    const QList<QByteArray> lines = recordLines();
    if (stepped.isEmpty()) {
        QCOMPARE(plotted(), before);
        QVERIFY(!recorded().contains("step"));
    } else {
        QCOMPARE(plotted(), before + 1);
        QCOMPARE(task->readings(), before + 1); // one numbering for auto and step
        const QList<QByteArray> step = lines.last().split('\t');
        const QList<QByteArray> autoLine = lines.at(lines.size() - 2).split('\t');
        QCOMPARE(step.at(0), QByteArray("step"));
        QCOMPARE(step.at(1), stepped);
        QCOMPARE(step.mid(1, 2), autoLine.mid(1, 2));
        QCOMPARE(plottedLast(0), stepped.toDouble());
        QCOMPARE(plottedLast(0), plottedLast(1));
    }

    hand(QStringLiteral("99"), QStringLiteral("kg")); // the step has paused the task
    QCOMPARE(plotted(), before + (stepped.isEmpty() ? 0 : 1));
}

void tst_DeviceTask::viewTogglesActOnlyWhileTheThreadRuns()
{
    window->show();
    task->showLCD(false);
    task->showGraph(false);
    QVERIFY(task->readoutWidget()->isHidden());
    QVERIFY(task->unitsWidget()->isHidden());
    QVERIFY(task->plotWidget()->isHidden());
    task->showLCD(true);
    QVERIFY(!task->readoutWidget()->isHidden());

    task->stop();
    QVERIFY(task->wait(2000));
    task->showGraph(true); // thread gone: ignored
    QVERIFY(task->plotWidget()->isHidden());
}

void tst_DeviceTask::simulatedScaleReadingsReachThePlotAndFile()
{
    ScaleSimulator scale;
    QVERIFY(scale.start(dir.filePath(QStringLiteral("ttySIM0"))));
    startWindow(scale.portPath());
    startRecording();
    task->go();
    QTRY_VERIFY_WITH_TIMEOUT(task->readings() >= 3, 3000);
    task->pause();
    const int readings = task->readings();
    QCOMPARE(plotted(), readings);
    QCOMPARE(task->unitsWidget()->text(), QStringLiteral("kg"));
    QCOMPARE(recorded().count("auto\t"), readings);
    QVERIFY(recorded().startsWith("auto\t12.345\tkg\t"));
    QVERIFY(recorded().endsWith("\r\n\r"));
}

void tst_DeviceTask::windowSaysWhyItHasNoReadingUntilReadingsCome_data()
{
    QTest::addColumn<QByteArray>("unitReply");
    QTest::addColumn<QString>("told");

    QTest::newRow("no such port") << QByteArray() << "The port cannot be opened: ";
    QTest::newRow("unit in capitals")
        << QByteArray("KG\r\n") << "The scale names a unit that is not accepted: \"KG\"";
}

void tst_DeviceTask::windowSaysWhyItHasNoReadingUntilReadingsCome()
{
    QFETCH(QByteArray, unitReply);
    QFETCH(QString, told);

    ScaleSimulator scale;
    if (!unitReply.isEmpty()) {
        QVERIFY(scale.start(dir.filePath(QStringLiteral("ttySIM0"))));
        scale.setUnitReply(unitReply);
        startWindow(scale.portPath());
    }
    window->show();
    QLabel *why = task->noReadingWidget();
    QVERIFY(!why->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(why->isVisible(), 2000);
    QVERIFY2(why->text().startsWith(told), qPrintable(why->text()));
    QCOMPARE(task->unitsWidget()->toolTip(), why->text());
    QCOMPARE(task->unitsWidget()->text(), QStringLiteral("--"));
    if (unitReply.isEmpty())
        return;

    // The scale is set right: the first reading takes the notice away.
    scale.setUnitReply("kg\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(task->unitsWidget()->text(), QStringLiteral("kg"), 2500);
    QVERIFY(!why->isVisible());
    QVERIFY(task->unitsWidget()->toolTip().isEmpty());
}

QTEST_MAIN(tst_DeviceTask)
#include "tst_devicetask.moc"
