#include <QtTest>

#include <QAbstractItemView>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include "PortEnumerator.h"
#include "Scaner.h"
#include "SystemPortEnumerator.h"

namespace {

// Reports whatever the test currently puts in the shared list, the way the
// system's list changes while the program runs.
class FakePorts : public PortEnumerator
{
public:
    explicit FakePorts(const QStringList *present) : present(present) {}
    QStringList ports() const override { return *present; }

private:
    const QStringList *present;
};

QStringList entriesAfterOpening(Scaner &box)
{
    box.showPopup();
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts << box.itemText(i);
    box.hidePopup();
    return texts;
}

} // namespace

class tst_Scaner : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void untouchedBoxSaysPortThenOffersFreePortsNewestFirst();
    void openedPortStaysOffTheListUntilItsWindowCloses();
    void withNothingToOfferTheOnlyEntryIsNone();
    void closedBoxNeverOffersAPortFromAStaleList();
    void linuxSerialNamesAreOfferedAndOtherDevicesAreNot();
    void simulatorPortsAreListedByPathWhileTheirTerminalExists();

private:
    QStringList present;
    Scaner *box = nullptr;
};

void tst_Scaner::init()
{
    present = QStringList({QStringLiteral("COM1"), QStringLiteral("COM3")});
    box = new Scaner(std::make_unique<FakePorts>(&present));
    box->show();
}

void tst_Scaner::cleanup()
{
    delete box;
    box = nullptr;
}

void tst_Scaner::untouchedBoxSaysPortThenOffersFreePortsNewestFirst()
{
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("port"));
    QCOMPARE(box->itemData(1, Qt::AccessibleDescriptionRole).toString(),
             QStringLiteral("separator"));
    QCOMPARE(box->minimumWidth(), 70);

    QCOMPARE(entriesAfterOpening(*box), QStringList({"COM3", "COM1"}));
    QCOMPARE(box->currentText(), QStringLiteral("COM3"));

    // Each opening asks the system again: a port plugged in meanwhile appears.
    present << QStringLiteral("COM4");
    QCOMPARE(entriesAfterOpening(*box), QStringList({"COM4", "COM3", "COM1"}));
}

void tst_Scaner::openedPortStaysOffTheListUntilItsWindowCloses()
{
    box->addOpenedCOM(QStringLiteral("COM3"));
    QCOMPARE(entriesAfterOpening(*box), QStringList({"COM1"}));

    // Names are compared exactly: another spelling is another port.
    box->addOpenedCOM(QStringLiteral("com1"));
    QCOMPARE(entriesAfterOpening(*box), QStringList({"COM1"}));

    box->removeOpenedCOM(QStringLiteral("COM9"));
    QCOMPARE(entriesAfterOpening(*box), QStringList({"COM1"}));

    box->removeOpenedCOM(QStringLiteral("COM3"));
    QCOMPARE(entriesAfterOpening(*box), QStringList({"COM3", "COM1"}));
}

void tst_Scaner::withNothingToOfferTheOnlyEntryIsNone()
{
    box->addOpenedCOM(QStringLiteral("COM1"));
    box->addOpenedCOM(QStringLiteral("COM3"));
    QCOMPARE(entriesAfterOpening(*box), QStringList({"none"}));

    // A device whose name could not be read, and a parallel port.
    present = QStringList({QString(), QStringLiteral("LPT1")});
    QCOMPARE(entriesAfterOpening(*box), QStringList({"none"}));

    present.clear();
    QCOMPARE(entriesAfterOpening(*box), QStringList({"none"}));

    box->setPortEnumerator(nullptr);
    QCOMPARE(entriesAfterOpening(*box), QStringList({"none"}));
}

void tst_Scaner::closedBoxNeverOffersAPortFromAStaleList()
{
    QCOMPARE(entriesAfterOpening(*box), QStringList({"COM3", "COM1"}));
    box->addOpenedCOM(QStringLiteral("COM1"));
    QSignalSpy chosen(box, &QComboBox::textActivated);

    QWheelEvent wheel(QPointF(5, 5), QPointF(box->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &wheel);
    QTest::keyClick(box, Qt::Key_C);
    QCOMPARE(chosen.count(), 0);

    // The arrow keys open a fresh list instead of stepping through the old one.
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(chosen.count(), 0);
    QVERIFY(box->view()->isVisible());
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), QStringLiteral("COM3"));
    box->hidePopup();
}

void tst_Scaner::linuxSerialNamesAreOfferedAndOtherDevicesAreNot()
{
    const QStringList serial = {"ttyS0", "ttyUSB0", "ttyACM1", "ttyAMA0",
                                "/tmp/scalesim/ttySIM0", "COM12"};
    for (const QString &name : serial)
        QVERIFY2(Scaner::isSerialPortName(name), qPrintable(name));

    const QStringList other = {"", "tty", "tty1", "ttyprintk", "lp0", "parport0",
                               "rfcomm0", "/dev/pts/3", "LPT1", "com1"};
    for (const QString &name : other)
        QVERIFY2(!Scaner::isSerialPortName(name), qPrintable(name));

    present = QStringList({"ttyS0", "tty1", "/tmp/scalesim/ttySIM0"});
    QCOMPARE(entriesAfterOpening(*box), QStringList({"/tmp/scalesim/ttySIM0", "ttyS0"}));
}

void tst_Scaner::simulatorPortsAreListedByPathWhileTheirTerminalExists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString terminal = dir.filePath(QStringLiteral("pts"));
    QFile file(terminal);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QFile::link(terminal, dir.filePath(QStringLiteral("ttySIM10"))));
    QVERIFY(QFile::link(terminal, dir.filePath(QStringLiteral("ttySIM2"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("ttySIM3"))));
    QVERIFY(QFile::link(terminal, dir.filePath(QStringLiteral("ttyOTHER0"))));

    const SystemPortEnumerator enumerator(dir.path());
    auto simulated = [&]() {
        QStringList ours;
        for (const QString &port : enumerator.ports())
            if (port.startsWith(dir.path()))
                ours << port;
        return ours;
    };
    QCOMPARE(simulated(), QStringList({dir.filePath("ttySIM2"), dir.filePath("ttySIM10")}));

    // A simulator that went away leaves its links behind.
    QVERIFY(QFile::remove(terminal));
    QCOMPARE(simulated(), QStringList());

    const SystemPortEnumerator nowhere(dir.filePath(QStringLiteral("missing")));
    for (const QString &port : nowhere.ports())
        QVERIFY(!port.contains(QLatin1String("ttySIM")));
}

QTEST_MAIN(tst_Scaner)
#include "tst_scaner.moc"
