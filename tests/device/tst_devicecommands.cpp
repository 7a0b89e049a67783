#include <QtTest>
#include <QtWidgets>
#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "ScaleOnPty.h"

using P = ScaleProtocol;

// Tare and Zero from a window: which kinds take them, and the outcome under the read-out.
class tst_DeviceCommands : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheKindsThatTakeACommandOfferIt_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed"); // an other ASCII scale's tare and zero commands
        QTest::addColumn<QString>("tare");  // why not; empty: offered
        QTest::addColumn<QString>("zero");
        const QString none = "This kind of scale takes no tare command from the program.";
        const QString noZero = "This kind of scale takes no zero command from the program.";
        QTest::newRow("sics") << int(P::Sics) << "" << "" << "";
        QTest::newRow("sics-marked") << int(P::SicsMarked) << "" << "" << "";
        QTest::newRow("header-comma") << int(P::HeaderComma) << "" << "" << "";
        QTest::newRow("print-frame") << int(P::PrintFrame) << "" << "" << "";
        QTest::newRow("sma") << int(P::SmaLevel1) << "" << "" << "";
        QTest::newRow("ascii, commands typed") << int(P::Ascii) << "T\\r\\n" << "" << "";
        QTest::newRow("ascii, a command that cannot be sent") << int(P::Ascii) << "T\\q"
            << "No tare command is set for this scale: type it in Device \u2192 Port settings..."
            << "No zero command is set for this scale: type it in Device \u2192 Port settings...";
        for (const P::Type type : {P::BuiltIn, P::ImmediatePrint, P::Continuous, P::StatusStream, P::RetailW,
                                   P::EtxReply, P::EnqPolled})
            QTest::newRow(qPrintable(P::key(type))) << int(type) << "" << none << noZero;
    }
    void onlyTheKindsThatTakeACommandOfferIt()
    {
        QFETCH(int, type);
        QFETCH(QString, typed);
        ScaleSetup setup(P::Type(type), P::usualSettings(P::Type(type)));
        setup.ascii.tareCommand = setup.ascii.zeroCommand = typed;
        QTemporaryDir dir;
        DocumentWindow window(dir.filePath("ttyNone"), setup);
        QTEST(window.deviceTask()->commandUnavailable(P::Tare), "tare");
        QTEST(window.deviceTask()->commandUnavailable(P::Zero), "zero");
    }

    // The outcome shows under the read-out with the time.
    void theOutcomeIsToldUnderTheReadout_data()
    {
        QTest::addColumn<bool>("refusing");
        QTest::addColumn<QString>("told");
        QTest::newRow("done") << false << "Tare done (the scale answered \"T S     100.00 g\").";
        QTest::newRow("refused") << true << "The scale refused tare: T I";
    }
    void theOutcomeIsToldUnderTheReadout()
    {
        QFETCH(bool, refusing);
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Sics);
        QVERIFY(scale);
        scale->setWeight(100);
        scale->setRefusing(refusing);
        connect(scale, &ScaleSimulator::replySent, scale, [scale] { scale->setWeight(100); });
        DocumentWindow window(scale->portPath(), ScaleSetup {P::Sics, scale->expectedSettings()});
        QSignalSpy started(&window, &DocumentWindow::documentWindowStarted);
        window.show();
        QVERIFY(started.wait(5000));
        QLabel *line = window.deviceTask()->commandWidget();
        QVERIFY(line->isHidden());
        window.deviceTask()->tare();
        QTRY_VERIFY_WITH_TIMEOUT(!line->isHidden(), 5000);
        QVERIFY2(QRegularExpression("\\A[0-9]{2}:[0-9]{2}:[0-9]{2}  ").match(line->text()).hasMatch(),
                 qPrintable(line->text()));
        QFETCH(QString, told);
        QCOMPARE(line->text().mid(10), told);
    }
};

QTEST_MAIN(tst_DeviceCommands)
#include "tst_devicecommands.moc"
