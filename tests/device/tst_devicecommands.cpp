#include <QtTest>
#include <QtWidgets>
#include "DeviceTask.h"
#include "DocumentWindow.h"

using P = ScaleProtocol;

// Which windows offer Tare and Zero, and why the others do not.
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
        QTest::newRow("print-frame") << int(P::PrintFrame) << "" << "" << "";
        QTest::newRow("ascii, commands typed") << int(P::Ascii) << "T\\r\\n" << "" << "";
        QTest::newRow("ascii, a command that cannot be sent") << int(P::Ascii) << "T\\q"
            << "No tare command is set for this scale: type it in Device \u2192 Port settings..."
            << "No zero command is set for this scale: type it in Device \u2192 Port settings...";
        QTest::newRow("etx-reply") << int(P::EtxReply) << "T\\r\\n"
            << "This kind of scale takes no tare command from the program."
            << "This kind of scale takes no zero command from the program.";
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
};

QTEST_MAIN(tst_DeviceCommands)
#include "tst_devicecommands.moc"
