#include "AppTestSupport.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include "DeviceTask.h"
#include "GraphAttr.h"
#include "RandomPlot.h"

// Opening and closing scales from the main window, end to end: real worker
// threads, real pseudo-terminals, simulated scales.
class tst_Devices : public DeviceFixture
{
    Q_OBJECT

private slots:
    void fourScalesOpenAndAFifthIsRefused();
    void closingAWindowFreesItsPortAtOnceAndGoesAfterTheLink();
    void portsChosenInQuickSuccessionAllOpen();
    void newWindowGetsTheCurrentAppearanceBeforeItIsShown();
    void exitWithFourOpenScalesJoinsEveryThreadAndClosesEveryPort();
};

void tst_Devices::fourScalesOpenAndAFifthIsRefused()
{
    startScales(5);
    QCOMPARE(offered().size(), 5);
    for (int i = 0; i < 4; ++i) {
        DocumentWindow *shown = open(port(i));
        QVERIFY(shown);
        QCOMPARE(shown->windowTitle(), port(i));
        QVERIFY(!offered().contains(port(i)));
    }
    window->deviceNew(QStringLiteral("none"));
    QCOMPARE(documents().size(), 4);
    for (DocumentWindow *shown : documents())
        QTRY_COMPARE_WITH_TIMEOUT(shown->deviceTask()->unitsWidget()->text(), QStringLiteral("kg"), 2000);

    QString refusal;
    {
        DialogScript script;
        script.then(readMessage(&refusal));
        window->deviceNew(port(4));
    }
    QCOMPARE(refusal, QStringLiteral("You cannot open more than 4 ports."));
    QTest::qWait(200);
    QCOMPARE(documents().size(), 4);
    QVERIFY(window->findChildren<DocumentWindow *>().size() == 4);
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<DocumentWindow *>(top)); // nothing pending either
    QCOMPARE(offered(), QStringList({port(4)}));

    // One closes; its port is offered again and opens again.
    document(port(1))->close();
    QTRY_COMPARE(documents().size(), 3);
    QVERIFY(offered().contains(port(1)));
    QVERIFY(open(port(1)));
    QCOMPARE(documents().size(), 4);
}

void tst_Devices::closingAWindowFreesItsPortAtOnceAndGoesAfterTheLink()
{
    startScales(1);
    QPointer<DocumentWindow> shown = open(port(0));
    QVERIFY(shown);
    QTRY_COMPARE_WITH_TIMEOUT(shown->deviceTask()->unitsWidget()->text(), QStringLiteral("kg"), 2000);
    QSignalSpy destroyedPort(shown.data(), &DocumentWindow::documentWindowDestroyed);

    // Twice before the link answers: the port is reported free twice.
    QVERIFY(!shown->close());
    QVERIFY(!shown->close());
    QCOMPARE(destroyedPort.count(), 2);
    QCOMPARE(destroyedPort.at(0).at(0).toString(), port(0));
    QVERIFY(offered().contains(port(0)));
    QVERIFY(shown); // still there until the link has closed the port

    QTRY_VERIFY_WITH_TIMEOUT(shown.isNull(), 2000);
    QTRY_COMPARE(documents().size(), 0);
    // The empty frame goes on a later pass of the event loop than its document.
    QTRY_VERIFY(!window->findChild<QAction *>(QStringLiteral("pauseAct"))->isEnabled());
    // Only the simulator's own end is left open on the terminal.
    QCOMPARE(openDescriptorsOn(scales.at(0)->terminalPath()), 1);
}

void tst_Devices::portsChosenInQuickSuccessionAllOpen()
{
    startScales(3);
    for (int i = 0; i < 3; ++i)
        window->deviceNew(port(i)); // no event loop turn in between
    QTRY_COMPARE_WITH_TIMEOUT(documents().size(), 3, 3000);
    for (int i = 0; i < 3; ++i)
        QVERIFY(document(port(i)));
}

void tst_Devices::newWindowGetsTheCurrentAppearanceBeforeItIsShown()
{
    startScales(2);
    QVERIFY(open(port(0)));
    window->graphViewChange(new GraphAttr(Qt::darkGreen, Qt::red, Qt::yellow, Qt::cyan, 1));
    QCOMPARE(document(port(0))->deviceTask()->plotWidget()->canvasBackground().color(),
             QColor(Qt::darkGreen));

    // Watch the second window's first show.
    QColor backgroundWhenShown;
    struct ShowWatch : QObject
    {
        QColor *seen;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Show && !seen->isValid())
                *seen = static_cast<DocumentWindow *>(watched)
                            ->deviceTask()->plotWidget()->canvasBackground().color();
            return false;
        }
    } watch;
    watch.seen = &backgroundWhenShown;
    window->deviceNew(port(1));
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *pending = qobject_cast<DocumentWindow *>(top))
            pending->installEventFilter(&watch);
    QTRY_VERIFY(document(port(1)));
    QCOMPARE(backgroundWhenShown, QColor(Qt::darkGreen));
}

void tst_Devices::exitWithFourOpenScalesJoinsEveryThreadAndClosesEveryPort()
{
    const int threadsBefore = threadCount();
    startScales(4);
    QList<QPointer<DeviceTask>> tasks;
    for (int i = 0; i < 4; ++i) {
        DocumentWindow *shown = open(port(i));
        QVERIFY(shown);
        tasks << shown->deviceTask();
    }
    scales.at(3)->setSilent(true); // one of them in its time-out cycle
    for (int i = 0; i < 4; ++i)
        QCOMPARE(openDescriptorsOn(scales.at(i)->terminalPath()), 2);
    QTest::qWait(1200);

    exitAndVerifyNothingIsLeft([this] { return window->close(); }, tasks, threadsBefore);
}

QTEST_MAIN(tst_Devices)
#include "tst_devices.moc"
