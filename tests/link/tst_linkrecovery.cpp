#include "LinkFixture.h"

// How the link lives through scales that stay silent, answer nonsense or
// disappear with their port.
class tst_LinkRecovery : public LinkFixture
{
    Q_OBJECT

private slots:
    void rejectsAUnitThatIsNotExactlyKnown_data();
    void rejectsAUnitThatIsNotExactlyKnown();
    void silentScaleShowsMovingPlaceholdersAndRecovers();
    void vanishedPortIsReopenedWhenItComesBack();
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

    scale->setSilent(false);
    QTRY_COMPARE_WITH_TIMEOUT(lastUnits(), QStringLiteral("kg"), 2000);
    // The reset ports went on with values: the unit was learnt once.
    QCOMPARE(scale->received().count('Z'), 1);
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
    QCOMPARE(scale->received().count('Z'), 1); // before the port went
}

QTEST_GUILESS_MAIN(tst_LinkRecovery)
#include "tst_linkrecovery.moc"
