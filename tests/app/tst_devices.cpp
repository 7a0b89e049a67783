#include "AppTestSupport.h"

struct FixedPorts : PortEnumerator { // the system's port list as a test makes it up
    explicit FixedPorts(const QStringList &names) : names(names) {}
    QStringList ports() const override { return names; }
    const QStringList names;
};

// Scales chosen, opened and closed as the operator does it, end to
// end: worker threads, pseudo-terminals, every dialog answered.
class tst_Devices : public DeviceFixture
{
    Q_OBJECT
private slots:
    void dropDownOffersFreeSerialPortsNewestFirst_data()
    {
        QTest::addColumn<QStringList>("present"); // in the system's order
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("newest first") << QStringList{"COM1", "COM3"} << QStringList() << QStringList{"COM3", "COM1"};
        QTest::newRow("opened left out, by case") << QStringList{"COM1", "COM3"} << QStringList{"COM3", "com1"}
                                                  << QStringList{"COM1"};
        QTest::newRow("nothing to offer") << QStringList{"", "LPT1", "COM1"} << QStringList{"COM1"} << QStringList{"none"};
    }
    void dropDownOffersFreeSerialPortsNewestFirst()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, opened);
        Scaner box(std::make_unique<FixedPorts>(present));
        QCOMPARE(box.currentText(), QStringLiteral("port")); // untouched, it says what it is for
        for (const QString &port : opened)
            box.addOpenedCOM(port);
        QTEST(entries(&box), "offered");
        // The closed box keeps that list: the wheel, a letter or an arrow choose nothing from it.
        QSignalSpy chosen(&box, &QComboBox::textActivated);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&box, &wheel);
        QTest::keyClick(&box, Qt::Key_C);
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(chosen.count(), 0);
    }

    void fourPortsOpenTiledAndAllCloseAtExit()
    {
        start(5, 1); // the first scale says nothing: its link goes through time-outs
        QString told;
        DialogScript script;
        script.then(readMessage(&told)).then(readMessage(nullptr, QMessageBox::Discard));
        for (int i = 0; i < 5; ++i)
            choose(port(i)); // no event-loop turn between them: four windows are still starting
        QCOMPARE(told, QStringLiteral("You cannot open more than 4 ports."));
        QTRY_COMPARE(workspace()->subWindowList().size(), 4);
        QCOMPARE(offered(), QStringList({port(4)}));
        for (QMdiSubWindow *frame : workspace()->subWindowList()) { // each new window is a tile of the workspace
            const QSize off = frame->size() * 2 - workspace()->viewport()->size();
            QVERIFY(qAbs(off.width()) < 5 && qAbs(off.height()) < 5);
        }
        // Closed by its frame's button, a port is offered again at once, and
        // opens again once its link has let go of the terminal.
        document(port(1))->parentWidget()->close();
        QCOMPARE(offered(), QStringList({port(4), port(1)}));
        QTRY_COMPARE(workspace()->subWindowList().size(), 3);
        QCOMPARE(openDescriptorsOn(scales->at(1)->terminalPath()), 1); // the scale's own end
        QVERIFY(open(port(1)));
        QTRY_COMPARE(document(port(0))->deviceTask()->unitsWidget()->text(), QStringLiteral("--"));
        action("exitAct")->trigger(); // asks, and Discard ends the program
        QVERIFY(!window->isVisible());
        delete window; // as main() does once its event loop has ended
        window = nullptr;
        for (int i = 0; i < 4; ++i)
            QCOMPARE(openDescriptorsOn(scales->at(i)->terminalPath()), 1);
    }
};

QTEST_MAIN(tst_Devices)
#include "tst_devices.moc"
