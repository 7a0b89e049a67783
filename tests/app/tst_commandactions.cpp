#include "AppTestSupport.h"
#include <QLabel>

using P = ScaleProtocol;

// Tare and Zero follow the active window's kind of scale, and Ctrl+T tares its scale.
class tst_CommandActions : public DeviceFixture
{
    Q_OBJECT
private slots:
    void tareAndZeroFollowTheActiveWindow()
    {
        ScaleSimulator *sics = startSimulated(P::Sics);
        QVERIFY(sics && scales->add()); // and a scale of the built-in kind
        window->portSettingsStore()->setDemo(true); // kept for this run only
        window->portSettingsStore()->setSetup(port(0), {P::Sics, sics->expectedSettings()});
        QVERIFY(!action("tareAct")->isEnabled() && !action("zeroAct")->isEnabled()); // no window
        DocumentWindow *tared = open(port(0));
        QVERIFY(tared);
        QVERIFY(action("tareAct")->isEnabled() && action("zeroAct")->isEnabled());
        QCOMPARE(action("tareAct")->toolTip(), QString("Tare"));
        QVERIFY(open(port(1)));
        QVERIFY(!action("tareAct")->isEnabled() && !action("zeroAct")->isEnabled());
        QCOMPARE(action("tareAct")->toolTip(), QString("This kind of scale takes no tare command from the program."));
        QCOMPARE(action("zeroAct")->toolTip(), QString("This kind of scale takes no zero command from the program."));
        workspace()->setActiveSubWindow(static_cast<QMdiSubWindow *>(tared->parentWidget()));
        QVERIFY(action("tareAct")->isEnabled());
        window->activateWindow(); // the keys are the main window's
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->windowHandle(), Qt::Key_T, Qt::ControlModifier);
        QLabel *line = tared->deviceTask()->commandWidget();
        QTRY_VERIFY_WITH_TIMEOUT(!line->isHidden(), 5000);
        QVERIFY2(line->text().contains("Tare done"), qPrintable(line->text()));
        QTest::keyClick(window->windowHandle(), Qt::Key_0, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(line->text().contains("Zero done (the scale answered \"Z A\")."), 5000);
    }
};

QTEST_MAIN(tst_CommandActions)
#include "tst_commandactions.moc"
