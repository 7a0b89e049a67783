#include <QtTest>

#include "LinkFixture.h"

class tst_IODeviceNew : public LinkFixture
{
    Q_OBJECT

private slots:
    void learnsTheUnitThenAsksOnlyForValues_data();
    void learnsTheUnitThenAsksOnlyForValues();
    void valueFramesAreStrippedParsedOrRejected();
    void repliesInPiecesAreJoined();
    void waitFollowsTheSamplingPeriod_data();
    void waitFollowsTheSamplingPeriod();
    void newPeriodCutsARunningWaitShort();
    void closedPortIsNeverWrittenAgain();
};

void tst_IODeviceNew::learnsTheUnitThenAsksOnlyForValues_data()
{
    QTest::addColumn<QByteArray>("unitReply");
    QTest::addColumn<int>("splitAt");
    QTest::addColumn<QString>("units");

    QTest::newRow("kg") << QByteArray("kg\r\n") << 0 << "kg";
    QTest::newRow("kg.") << QByteArray("kg.\r\n") << 0 << "kg.";
    QTest::newRow("szt without line end") << QByteArray("szt") << 0 << "szt";
    QTest::newRow("g") << QByteArray("g\r\n") << 0 << "g";
    // The line end comes after an examination accepted "kg"; it then leads
    // the first value frame and is stripped there.
    QTest::newRow("late line end") << QByteArray("kg\r\n") << 2 << "kg";
    // A single pending byte is left for the next examination.
    QTest::newRow("one byte first") << QByteArray("g\r\n") << 1 << "g";
}

void tst_IODeviceNew::learnsTheUnitThenAsksOnlyForValues()
{
    QFETCH(QByteArray, unitReply);
    QFETCH(int, splitAt);
    QFETCH(QString, units);

    scale->setUnitReply(unitReply);
    scale->setSplit(splitAt, 120);
    startLink();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 3, 3000);

    QCOMPARE(samplesAt(0), QStringList({QStringLiteral("12.345"), units, QStringLiteral("0")}));
    for (int i = 1; i < samples->count(); ++i) {
        bool number = false;
        samplesAt(i).at(0).toDouble(&number);
        QVERIFY(number);
        QCOMPARE(samplesAt(i).at(1), units);
    }
    const QByteArray line = scale->received();
    QCOMPARE(line.left(1), QByteArray("Z"));
    QCOMPARE(line.mid(1), QByteArray(line.size() - 1, 'A'));
}

void tst_IODeviceNew::valueFramesAreStrippedParsedOrRejected()
{
    scale->queueValueReplies({
        QByteArray("   12.345\r"),
        QByteArray("  -0.015\r\n"),
        QByteArray(" +1.500 \r\n"),
        QByteArray("    1.5e2\r"),
        QByteArray("3.25\0xyz\r\n", 10), // a NUL ends the frame's text
        QByteArray("          "),        // nothing left to parse
        QByteArray("\0  12.345\r", 10),
        QByteArray("   12,345\r"),       // a comma is no decimal point
        QByteArray(" 12.345kg\r"),
        QByteArray("    7.500\r    8.250\r"), // the tail is the next frame
        QByteArray(),                    // ... which needs no reply of its own
    });
    startLink();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 10, 8000);

    QStringList values;
    for (int i = 0; i < 10; ++i) {
        values << samplesAt(i).at(0);
        QCOMPARE(samplesAt(i).at(2), QStringLiteral("0"));
    }
    QCOMPARE(values, QStringList({"12.345", "-0.015", "+1.500", "1.5e2", "3.25", " -------",
                                  "- ------", "-- -----", "--- ----", "7.500"}));
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 11, 1000);
    QCOMPARE(samplesAt(10), QStringList({"8.250", "kg", "0"}));
    QCOMPARE(samplesAt(0).at(1), QStringLiteral("kg"));
    QCOMPARE(samplesAt(5).at(1), QStringLiteral("--"));
}

void tst_IODeviceNew::repliesInPiecesAreJoined()
{
    // Pieces that straddle the 50 ms examinations, and a reply near the end
    // of its one-second window.
    scale->setSplit(4, 70);
    startLink();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 3, 3000);
    scale->setSplit(0, 0);
    scale->setReplyDelay(900);
    const int before = samples->count();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= before + 2, 3000);

    for (int i = 0; i < samples->count(); ++i)
        QCOMPARE(samplesAt(i).at(1), QStringLiteral("kg"));
}

void tst_IODeviceNew::waitFollowsTheSamplingPeriod_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("wait");
    QTest::newRow("default") << -1 << 129;
    QTest::newRow("70") << 70 << 0;
    QTest::newRow("71") << 71 << 0;
    QTest::newRow("72") << 72 << 1;
    QTest::newRow("1.5 s") << 1500 << 1429;
}

void tst_IODeviceNew::waitFollowsTheSamplingPeriod()
{
    QFETCH(int, period);
    QFETCH(int, wait);

    startLink();
    if (period >= 0)
        emit link->setRefreshRateSignal(period);
    int seen = -1;
    link->inLink([&seen](IODeviceNew *device) { seen = device->periodWait(); });
    QCOMPARE(seen, wait);
}

void tst_IODeviceNew::newPeriodCutsARunningWaitShort()
{
    startLink();
    QVERIFY(samples->wait(2000));
    emit link->setRefreshRateSignal(5000); // lands in the 129 ms wait after the reading
    QTest::qWait(300);
    const int requests = scale->received().size();
    // The running 4.9 s wait restarts with the new, short interval.
    emit link->setRefreshRateSignal(200);
    QTRY_VERIFY_WITH_TIMEOUT(scale->received().size() > requests, 1000);
}

void tst_IODeviceNew::closedPortIsNeverWrittenAgain()
{
    startLink();
    QVERIFY(samples->wait(2000));
    QSignalSpy closed(link, &LinkThread::deleteNowSignal);
    emit link->closeSignal();
    QVERIFY(closed.wait(2000));
    scale->clearReceived();
    const int before = samples->count();

    // Longer than a reply window: no request, no reset, no placeholder.
    QTest::qWait(1300);
    QCOMPARE(scale->received(), QByteArray());
    QCOMPARE(samples->count(), before);
}

QTEST_GUILESS_MAIN(tst_IODeviceNew)
#include "tst_iodevicenew.moc"
