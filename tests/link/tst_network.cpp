#include <QtTest>
#include <QTcpServer>

#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleSimulator.h"

#include <memory>

// Scales behind a serial-to-Ethernet converter: the simulator serves on a
// port of 127.0.0.1 the system picks, and the link reads tcp://127.0.0.1:<port>
// on its worker thread as it reads a serial port.
class tst_Network : public QObject
{
    Q_OBJECT

    // A link on port, with what it has told: readings as "value units" and
    // reasons as "Cause: detail".
    struct Probe
    {
        explicit Probe(const QString &port, const ScaleSetup &setup = {})
            : thread(port, setup)
        {
            QObject::connect(&thread, &LinkThread::newSample, &thread,
                             [this](const QString &value, const QString &units) { readings << value + ' ' + units; });
            QObject::connect(&thread, &LinkThread::noReading, &thread, [this](int cause, const QString &detail) {
                reasons << QMetaEnum::fromType<IODeviceNew::NoReadingCause>().valueToKey(cause) + QStringLiteral(": ")
                               + detail;
            });
            thread.start();
        }
        LinkThread thread;
        QStringList readings;
        QStringList reasons;
    };

private slots:
    // The converter's line settings are its own: a link set for another kind's
    // usual settings reads the scale all the same. The tests below read the built-in kind.
    void aScaleOnTheNetworkIsReadAsItSends_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<QStringList>("read");
        QTest::newRow("print frames, set for 1200 7O1")
            << int(ScaleProtocol::PrintFrame) << QList<QByteArray>{"+   123.45 g  \r\n", "-     2.50 kg \r\n"}
            << QStringList{"+123.45 g", "-2.50 kg"};
        QTest::newRow("continuous output, set for 19200")
            << int(ScaleProtocol::Continuous)
            << QList<QByteArray>{"S S      100.00 g\r\n", "S S      100.00 g\r\n", "S S      250.50 g\r\n"}
            << QStringList{"100.00 g", "250.50 g"};
    }
    void aScaleOnTheNetworkIsReadAsItSends()
    {
        QFETCH(int, kind);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(QStringList, read);
        const auto type = ScaleProtocol::Type(kind);
        ScaleSimulator scale;
        scale.setType(type);
        scale.setContinuousPeriod(250); // slower than the link's ticks: no line is passed over
        // Lines sent unasked before the link is there would go to nobody.
        const bool unasked = type == ScaleProtocol::Continuous;
        scale.setSilent(unasked);
        scale.queueValueReplies(sent);
        QVERIFY(scale.listen());
        Probe probe(scale.portPath(), ScaleSetup{type, ScaleProtocol::usualSettings(type)});
        QVERIFY(QSignalSpy(&probe.thread, &LinkThread::linkReady).wait(5000));
        scale.setSilent(false);
        QTRY_VERIFY_WITH_TIMEOUT(probe.readings.size() >= read.size(), 5000);
        QCOMPARE(probe.readings.mid(0, read.size()).join(" | "), read.join(" | "));
        QCOMPARE(probe.reasons, QStringList());
    }

    // Like a re-plugged adapter: the dropped connection gives a placeholder
    // with the reason, and the reset after it reads the server that is back.
    void readingsResumeWhenTheServerIsBack()
    {
        ScaleSimulator scale;
        QVERIFY(scale.listen());
        Probe probe(scale.portPath());
        QTRY_VERIFY_WITH_TIMEOUT(!probe.readings.isEmpty(), 5000);
        scale.vanish();
        scale.queueValueReplies({"   7.000\r\n"});
        QVERIFY(scale.comeBack());
        QTRY_VERIFY_WITH_TIMEOUT(probe.readings.contains("7.000 kg"), 5000);
        QCOMPARE(probe.reasons, QStringList("PortNotOpen: The remote host closed the connection"));
        QCOMPARE(probe.readings.at(probe.readings.indexOf("7.000 kg") - 1), QStringLiteral(" ------- --"));
    }

    // The window's "cannot be opened" line carries the socket's own words.
    void anAddressNobodyListensOnSaysWhy()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 number = closed.serverPort();
        closed.close();
        Probe probe(QStringLiteral("tcp://127.0.0.1:%1").arg(number));
        QTRY_VERIFY_WITH_TIMEOUT(!probe.reasons.isEmpty(), 5000);
        QCOMPARE(probe.reasons.first(), QStringLiteral("PortNotOpen: Connection refused"));
        QCOMPARE(probe.readings.first(), QStringLiteral(" ------- --"));
    }
};

QTEST_GUILESS_MAIN(tst_Network)
#include "tst_network.moc"
