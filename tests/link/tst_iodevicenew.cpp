#include <QtTest>

#include "LinkFixture.h"

#include <algorithm>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

class tst_IODeviceNew : public LinkFixture
{
    Q_OBJECT

private slots:
    void learnsTheUnitThenAsksOnlyForValues_data();
    void learnsTheUnitThenAsksOnlyForValues();
    void onlyWholeRepliesAreTaken_data();
    void onlyWholeRepliesAreTaken();
    void theLineRunsAt9600Baud8N1WithoutFlowControl();
    void requestsFollowTheSamplingPeriodOnTheLine_data();
    void requestsFollowTheSamplingPeriodOnTheLine();
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
    // The line end comes 120 ms after "kg", which is taken once the line is
    // quiet; the late line end is dropped before the first value request.
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

void tst_IODeviceNew::onlyWholeRepliesAreTaken_data()
{
    QTest::addColumn<bool>("unitPhase");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("quiet");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("text");

    const int taken = IODeviceNew::Accepted;
    const int rejected = IODeviceNew::Rejected;
    const int waiting = IODeviceNew::Incomplete;
    auto row = [](bool unitPhase, const char *name, const QByteArray &reply, int verdict,
                  const char *text = "", bool quiet = false) {
        QTest::newRow(name) << unitPhase << reply << quiet << verdict << QString::fromLatin1(text);
    };
    auto value = [&row](auto... args) { row(false, args...); };
    auto unit = [&row](auto... args) { row(true, args...); };

    value("CR frame", "   12.345\r", taken, "12.345");
    value("CR LF frame", "  -0.015\r\n", taken, "-0.015");
    value("plus sign, blank before the CR", " +1.500 \r\n", taken, "+1.500");
    value("exponent", "    1.5e2\r", taken, "1.5e2");
    value("eleven bytes, CR LF", "   12.346\r\n", taken, "12.346");
    value("ten digits, then the CR", "123456.789\r", taken, "123456.789");
    value("a NUL ends the text", QByteArray("3.25\0xyz\r\n", 10), taken, "3.25");
    value("leading line ends", "\r\n  12.34\r", taken, "12.34");
    value("no line end, line quiet", "    12.345", taken, "12.345", true);
    value("no line end yet", "    12.345", waiting);
    value("nine bytes", "  12.345\r", waiting);
    value("digits beyond the frame", "  1234567.89\r", rejected);
    value("two frames", "    7.500\r    8.250\r", rejected);
    value("a line end inside the number", "  12.3\r\n45", rejected);
    value("ten blanks", "          ", rejected, "", true);
    value("NUL first", QByteArray("\0  12.345\r", 10), rejected);
    value("comma", "   12,345\r", rejected);
    value("unit letters", " 12.345kg\r", rejected);
    value("tab inside", "  12\t.345\r", rejected);
    value("vertical tab", "\x0b  12.345\r", rejected);
    value("form feed", "  12.345\x0c\r", rejected);
    value("no-break space", "  12.345\xa0\r", rejected);
    value("nan", "      nan\r", rejected);
    value("inf", "     -inf\r", rejected);
    value("beyond a double", "    1e999\r", rejected);
    value("two signs", "   +-12.3\r", rejected);
    value("two points", "   1.2.34\r", rejected);

    unit("kg", "kg\r\n", taken, "kg");
    unit("kg.", "kg.\r\n", taken, "kg.");
    unit("szt, line quiet", "szt", taken, "szt", true);
    unit("g", "g\r\n", taken, "g");
    unit("one byte", "g", waiting, "", true);
    unit("two letters of three, more to come", "sz", waiting);
    unit("capitals", "KG\r\n", rejected);
    unit("a letter more", "kg x\r\n", rejected);
    unit("a value frame", "   12.345\r", rejected);
}

void tst_IODeviceNew::onlyWholeRepliesAreTaken()
{
    QFETCH(bool, unitPhase);
    QFETCH(QByteArray, reply);
    QFETCH(bool, quiet);
    QFETCH(int, verdict);
    QFETCH(QString, text);

    QString result = QStringLiteral("untouched");
    const int got = unitPhase ? IODeviceNew::unitFromReply(reply, quiet, &result)
                              : IODeviceNew::valueFromReply(reply, quiet, &result);
    QCOMPARE(got, verdict);
    QCOMPARE(result, verdict == IODeviceNew::Accepted ? text : QStringLiteral("untouched"));
}

void tst_IODeviceNew::theLineRunsAt9600Baud8N1WithoutFlowControl()
{
    // The terminal starts out at other settings, so a link that set none
    // would not pass.
    const QByteArray terminal = scale->terminalPath().toLocal8Bit();
    const int fd = ::open(terminal.constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios before {};
    QCOMPARE(::tcgetattr(fd, &before), 0);
    ::cfsetispeed(&before, B1200);
    ::cfsetospeed(&before, B1200);
    before.c_cflag = (before.c_cflag & ~CSIZE) | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    before.c_iflag |= IXON | IXOFF;
    QCOMPARE(::tcsetattr(fd, TCSANOW, &before), 0);

    startLink();
    termios line {};
    QCOMPARE(::tcgetattr(fd, &line), 0);
    ::close(fd);
    QCOMPARE(::cfgetospeed(&line), speed_t(B9600));
    QCOMPARE(::cfgetispeed(&line), speed_t(B9600));
    QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(line.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void tst_IODeviceNew::requestsFollowTheSamplingPeriodOnTheLine_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("cycle");

    // Request to request: the reply is seen at the first 50 ms poll, then the
    // link waits the period less 71 ms (nothing below 70 ms).
    QTest::newRow("0.2 s, the default") << -1 << 8 << 50 + 129;
    QTest::newRow("70 ms") << 70 << 10 << 50;
    QTest::newRow("1.5 s") << 1500 << 2 << 50 + 1429;
}

void tst_IODeviceNew::requestsFollowTheSamplingPeriodOnTheLine()
{
    QFETCH(int, period);
    QFETCH(int, requests);
    QFETCH(int, cycle);

    QList<qint64> valueRequests;
    connect(scale, &ScaleSimulator::requestReceived, this, [&](char request, qint64 atMs) {
        if (request == 'A')
            valueRequests << atMs;
    });
    startLink();
    if (period >= 0)
        emit link->setRefreshRateSignal(period);
    QTRY_VERIFY_WITH_TIMEOUT(valueRequests.size() >= requests + 2, (requests + 2) * (cycle + 200) + 2000);

    // The first spacing may still run on the old period.
    QList<qint64> spacings;
    for (int i = 2; i < valueRequests.size(); ++i)
        spacings << valueRequests.at(i) - valueRequests.at(i - 1);
    std::sort(spacings.begin(), spacings.end());
    const qint64 median = spacings.at(spacings.size() / 2);
    // Wide enough for a loaded machine, narrow enough to tell the wait from
    // none, a poll missed or the period taken whole.
    QVERIFY2(median >= cycle - 5 && median <= cycle + 25,
             qPrintable(QStringLiteral("median %1 ms for a %2 ms cycle").arg(median).arg(cycle)));
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
