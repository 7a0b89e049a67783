#include "LinkFixture.h"

#include <QSerialPort>

// How the link lives through scales that stay silent, answer nonsense,
// disappear with their port or are swapped for another, and what it says
// about each.
class tst_LinkRecovery : public LinkFixture
{
    Q_OBJECT

private slots:
    void rejectsAUnitThatIsNotExactlyKnown_data();
    void rejectsAUnitThatIsNotExactlyKnown();
    void silentScaleShowsMovingPlaceholdersAndRecovers();
    void aScaleSwappedOnThePortIsReadInItsOwnUnit();
    void vanishedPortIsReopenedWhenItComesBack();
    void eachPlaceholderSaysWhyThereIsNoReading_data();
    void eachPlaceholderSaysWhyThereIsNoReading();
};

void tst_LinkRecovery::rejectsAUnitThatIsNotExactlyKnown_data()
{
    QTest::addColumn<QByteArray>("unitReply");
    QTest::newRow("capital letters") << QByteArray("KG\r\n");
    QTest::newRow("trailing letter") << QByteArray("kg x\r\n");
}

void tst_LinkRecovery::rejectsAUnitThatIsNotExactlyKnown()
{
    QFETCH(QByteArray, unitReply);

    scale->setUnitReply(unitReply);
    startLink();
    QVERIFY(samples->wait(2000));

    QCOMPARE(samplesAt(0), QStringList({QStringLiteral(" -------"), QStringLiteral("--"),
                                        QStringLiteral("0")}));
    // After the port reset the unit is asked for again, never a value.
    QTRY_COMPARE_WITH_TIMEOUT(scale->received(), QByteArray("ZZ"), 1000);
}

void tst_LinkRecovery::silentScaleShowsMovingPlaceholdersAndRecovers()
{
    startLink();
    QVERIFY(samples->wait(2000));
    scale->setSilent(true);
    samples->clear();

    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 9, 12000);
    const QStringList blanksAt = {" -------", "- ------", "-- -----", "--- ----", "---- ---",
                                  "----- --", "------ -", "------- ", " -------"};
    for (int i = 0; i < 9; ++i)
        QCOMPARE(samplesAt(i), QStringList({blanksAt.at(i), "--", "0"}));

    scale->clearReceived();
    scale->setSilent(false);
    QTRY_COMPARE_WITH_TIMEOUT(lastUnits(), QStringLiteral("kg"), 2000);
    // One extra exchange: the unit, then values again.
    QVERIFY(scale->received().startsWith("ZA"));
}

void tst_LinkRecovery::aScaleSwappedOnThePortIsReadInItsOwnUnit()
{
    startLink();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 2, 2000);
    QCOMPARE(lastUnits(), QStringLiteral("kg"));

    // The kilogram scale is unplugged; a gram scale answers on the same line.
    scale->setSilent(true);
    QTRY_COMPARE_WITH_TIMEOUT(lastUnits(), QStringLiteral("--"), 2000);
    scale->setUnitReply("g\r\n");
    scale->setWeight(250.0);
    scale->setSilent(false);
    QTRY_COMPARE_WITH_TIMEOUT(lastUnits(), QStringLiteral("g"), 3000);
    QCOMPARE(samplesAt(samples->count() - 1).at(0), QStringLiteral("250.000"));
}

void tst_LinkRecovery::vanishedPortIsReopenedWhenItComesBack()
{
    startLink();
    QVERIFY(samples->wait(2000));
    scale->vanish();
    samples->clear();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 2, 3000);
    QCOMPARE(samplesAt(1).at(1), QStringLiteral("--"));

    QVERIFY(scale->comeBack());
    QTRY_COMPARE_WITH_TIMEOUT(lastUnits(), QStringLiteral("kg"), 3000);
}

void tst_LinkRecovery::eachPlaceholderSaysWhyThereIsNoReading_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("detail");

    QTest::newRow("silent") << "silent" << int(IODeviceNew::NoAnswer) << QString();
    QTest::newRow("unit in capitals") << "KG" << int(IODeviceNew::UnitNotAccepted) << "KG";
    QTest::newRow("value not a number")
        << "garbage value" << int(IODeviceNew::ReplyNotUnderstood) << "nan\\x09 12";
    QTest::newRow("port held by another program")
        << "held" << int(IODeviceNew::PortAccessDenied) << QString();
    QTest::newRow("no such port") << "missing" << int(IODeviceNew::PortNotOpen) << QString();
}

void tst_LinkRecovery::eachPlaceholderSaysWhyThereIsNoReading()
{
    QFETCH(QString, fault);
    QFETCH(int, cause);
    QFETCH(QString, detail);

    QSerialPort holder;
    if (fault == QLatin1String("silent")) {
        scale->setSilent(true);
    } else if (fault == QLatin1String("KG")) {
        scale->setUnitReply("KG\r\n");
    } else if (fault == QLatin1String("garbage value")) {
        scale->queueValueReplies({QByteArray("  nan\t 12\r")});
    } else if (fault == QLatin1String("held")) {
        holder.setPortName(scale->portPath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
    } else if (fault == QLatin1String("missing")) {
        scale->vanish();
    }
    launchLink();
    QSignalSpy reasons(link, &LinkThread::noReading); // the first comes a second later

    QVERIFY(reasons.wait(3000));
    QCOMPARE(reasons.at(0).at(0).toInt(), cause);
    if (!detail.isEmpty())
        QCOMPARE(reasons.at(0).at(1).toString(), detail);
    // The system's own words say why a port would not open.
    if (cause == IODeviceNew::PortNotOpen || cause == IODeviceNew::PortAccessDenied)
        QVERIFY(!reasons.at(0).at(1).toString().isEmpty());
    // Told with the placeholder, never instead of it.
    QTRY_VERIFY_WITH_TIMEOUT(!samples->isEmpty(), 500);
    QCOMPARE(lastUnits(), QStringLiteral("--"));
}

QTEST_GUILESS_MAIN(tst_LinkRecovery)
#include "tst_linkrecovery.moc"
