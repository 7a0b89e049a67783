#include "LinkFixture.h"

#include "FaultSupport.h"

// Faults on the line that the link must live through with every later
// reading whole: late, long, noisy replies and a port that goes away.
class tst_LinkFaults : public LinkFixture
{
    Q_OBJECT

private slots:
    void replyAfter1100msCostsOnePlaceholderAndLaterFramesStayWhole();
    void lateReplyLandingDuringTheResetIsNotTakenForTheNextAnswer();
    void longReplySplitAcrossThePollKeepsFramesWhole();
    void lineNoiseCostsAPlaceholderThenFramesRealign();
    void portGoneIsRetriedAtEveryTimeOutAndResumesInTheUnitPhase();

private:
    void watchReplies()
    {
        connect(scale, &ScaleSimulator::replySent, this, [this](const QByteArray &reply) {
            sent << reply;
        });
    }
    // The readings since the given index; every one must be a value the
    // scale sent whole (a blank before it, the frame's CR after it), in the
    // order it sent them: pieces of two frames read as one would not be.
    void checkReadingsAreSentFramesInOrder(int from)
    {
        QByteArray line;
        for (const QByteArray &piece : qAsConst(sent))
            line += piece;
        int next = 0;
        for (int i = from; i < samples->count(); ++i) {
            const QStringList reading = samplesAt(i);
            QCOMPARE(reading.at(1), QStringLiteral("kg"));
            const int at = line.indexOf(' ' + reading.at(0).toLatin1() + '\r', next);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("reading %1 (%2) is not what came next on %3")
                                             .arg(i).arg(reading.at(0), QString::fromLatin1(line.toPercentEncoding(" ")))));
            next = at + 1;
        }
    }
    int placeholders() const
    {
        int count = 0;
        for (int i = 0; i < samples->count(); ++i)
            if (samplesAt(i).at(1) == QLatin1String("--"))
                ++count;
        return count;
    }

    QList<QByteArray> sent;
};

void tst_LinkFaults::replyAfter1100msCostsOnePlaceholderAndLaterFramesStayWhole()
{
    sent.clear();
    startLink();
    QVERIFY(samples->wait(2000));
    watchReplies();

    // One reply comes 1100 ms late, while the port is being reset; the scale
    // answers at once again from the next request on.
    scale->setReplyDelay(1100);
    QSignalSpy requests(scale, &ScaleSimulator::requestReceived);
    QVERIFY(requests.wait(1000));
    scale->setReplyDelay(0);
    const int from = samples->count();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= from + 6, 4000);

    QCOMPARE(samplesAt(from).at(1), QStringLiteral("--"));
    QCOMPARE(placeholders(), 1);
    checkReadingsAreSentFramesInOrder(from + 1);
}

void tst_LinkFaults::lateReplyLandingDuringTheResetIsNotTakenForTheNextAnswer()
{
    startLink();
    QVERIFY(samples->wait(2000));
    // The reply to this request comes in the middle of the reset's pause.
    scale->setReplyDelay(1050);
    QSignalSpy requests(scale, &ScaleSimulator::requestReceived);
    QVERIFY(requests.wait(1000));
    scale->setReplyDelay(0);
    scale->setWeight(50.0); // from here on the scale answers 50.000 first
    const int from = samples->count();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= from + 2, 3000);

    QCOMPARE(samplesAt(from).at(1), QStringLiteral("--"));
    // Without the reopened port dropping what waited on the line, the stale
    // 12.3... frame would be read here, and every reading after it would be
    // one request behind.
    QCOMPARE(samplesAt(from + 1).at(0), QStringLiteral("50.000"));
}

void tst_LinkFaults::longReplySplitAcrossThePollKeepsFramesWhole()
{
    sent.clear();
    watchReplies();
    // Two frames in one reply; an examination sees eight bytes of the first,
    // the next one both frames, the rest having come 70 ms after the start.
    scale->queueValueReplies({QByteArray("    7.500\r    8.250\r")});
    scale->setSplit(8, 70);
    startLink();
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 5, 3000);

    QCOMPARE(samplesAt(0).at(0), QStringLiteral("7.500"));
    QCOMPARE(samplesAt(1).at(0), QStringLiteral("8.250"));
    QCOMPARE(placeholders(), 0);
    checkReadingsAreSentFramesInOrder(0);
}

void tst_LinkFaults::lineNoiseCostsAPlaceholderThenFramesRealign()
{
    sent.clear();
    startLink();
    QVERIFY(samples->wait(2000));
    watchReplies();

    // Three bytes of noise land ahead of the next reply: the frame read is
    // three bytes off and rejected with everything pending.
    scale->send("#?!");
    const int from = samples->count();
    QTRY_VERIFY_WITH_TIMEOUT(placeholders() == 1, 2500);
    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= from + 5, 2000);

    QCOMPARE(samplesAt(from).at(1), QStringLiteral("--"));
    QCOMPARE(placeholders(), 1);
    checkReadingsAreSentFramesInOrder(from + 1);
    QCOMPARE(scale->received().count('Z'), 1);
}

void tst_LinkFaults::portGoneIsRetriedAtEveryTimeOutAndResumesInTheUnitPhase()
{
    TraceLog traces;
    QElapsedTimer clock;
    clock.start();
    QList<qint64> arrivals;

    // The scale never named its unit before its adapter was pulled out.
    scale->setSilent(true);
    startLink();
    connect(link, &LinkThread::newSample, this, [&] { arrivals << clock.elapsed(); });
    QTRY_VERIFY_WITH_TIMEOUT(scale->received().contains('Z'), 1000);
    scale->vanish();

    QTRY_VERIFY_WITH_TIMEOUT(samples->count() >= 3, 5000);
    QCOMPARE(placeholders(), samples->count());
    // Each time-out tried the port again, and found it gone.
    QCOMPARE(traces.count(QStringLiteral("timeout() reset portu: false")), samples->count());
    QCOMPARE(traces.count(QStringLiteral("timeout() reset portu: true")), 0);
    // About every 1.1 s: the reply window, the pause and the failed open.
    for (int i = 1; i < arrivals.size(); ++i)
        QVERIFY2(arrivals.at(i) - arrivals.at(i - 1) >= 1000 && arrivals.at(i) - arrivals.at(i - 1) < 2000,
                 qPrintable(QStringLiteral("%1 ms").arg(arrivals.at(i) - arrivals.at(i - 1))));

    scale->clearReceived();
    scale->setSilent(false);
    QVERIFY(scale->comeBack());
    QTRY_COMPARE_WITH_TIMEOUT(lastUnits(), QStringLiteral("kg"), 2500);
    QCOMPARE(traces.count(QStringLiteral("timeout() reset portu: true")), 1);
    // Still in the unit phase: the unit was asked for first, then values.
    QVERIFY(scale->received().startsWith('Z'));
    QCOMPARE(scale->received().count('Z'), 1);
}

QTEST_GUILESS_MAIN(tst_LinkFaults)
#include "tst_linkfaults.moc"
