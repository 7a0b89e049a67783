#include <QtTest>
#include "FaultSupport.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleOnPty.h"

using P = ScaleProtocol;
static const P::Type S = P::StatusStream, E = P::EnqPolled;
static const int waits = -1; // Incomplete

// A reply, whether the line was quiet after it, and the weight read in it, why it has none, or waits.
static void row(const char *name, P::Type type, const QByteArray &reply, bool quiet, int condition,
                const char *value = "", const char *unit = "", bool stable = true)
{
    QTest::newRow(qPrintable(P::key(type) + ": " + name))
        << int(type) << reply << quiet << condition << QString(value) << QString(unit) << stable;
}

// The status-byte stream (STX, three status bytes, six digits of weight, six of tare, CR, a
// checksum or none) and the ENQ-polled retail scale (STX, five digits of grams, ETX).
class tst_StatusFrames : public QObject
{
    Q_OBJECT

private slots:
    void framesAreReadByTheirLayout_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<int>("condition");
        for (const char *column : {"value", "unit"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("stable");
        const int W = P::Weighed, NU = P::NotUnderstood;
        row("kg, three decimals", S, "\x02-0 012345000000\r", true, W, "12.345", "kg");
        row("negative, lb, in motion", S, "\x02-* 012345000000\r", true, W, "-12.345", "lb", false);
        row("net, varying bits, print request", S, "\x02-q(012345000000\r", true, W, "12.345", "kg");
        row("place 0: two dummy zeros", S, "\x02(0 000123000000\r", true, W, "12300", "kg");
        row("place 1: one dummy zero", S, "\x02)0 000123000000\r", true, W, "1230", "kg");
        row("place 2", S, "\x02*0 000123000000\r", true, W, "123", "kg");
        row("place 3", S, "\x02+0 000123000000\r", true, W, "12.3", "kg");
        row("place 4", S, "\x02,0 000123000000\r", true, W, "1.23", "kg");
        row("place 5", S, "\x02-0 000123000000\r", true, W, "0.123", "kg");
        row("place 6", S, "\x02.0 000123000000\r", true, W, "0.0123", "kg");
        row("place 7", S, "\x02/0 012345000000\r", true, W, "0.12345", "kg");
        row("zero, dummy zeros", S, "\x02(0 000000000000\r", true, W, "0", "kg");
        row("zero, decimals, by two", S, "\x02\x35\x30 000000000000\r", true, W, "0.000", "kg");
        row("leading blanks, by five", S, "\x02=0   1234      \r", true, W, "1.234", "kg");
        row("a blank after the point", S, "\x02-0     45000000\r", true, NU);
        row("a blank inside", S, "\x02*0 12 345000000\r", true, NU);
        row("a letter in the weight", S, "\x02-0 01234A000000\r", true, NU);
        row("a letter in the tare", S, "\x02-0 01234500000X\r", true, NU);
        row("out of range", S, "\x02-4 012345000000\r", true, P::OutOfRange);
        row("no display increment", S, "\x02%0 012345000000\r", true, NU);
        row("first status byte without bit 5", S, "\x02\x0d\x30 012345000000\r", true, NU);
        row("first status byte with bit 6", S, "\x02m0 012345000000\r", true, NU);
        row("second status byte without bit 5", S, "\x02-\x10 012345000000\r", true, NU);
        row("third status byte without bit 5", S, "\x02-0\x08" "012345000000\r", true, NU);
        row("a parity bit in a status byte", S, "\x02-\xb0 012345000000\r", true, NU);
        row("a parity bit in a digit", S, "\x02-0 0\xb1" "2345000000\r", true, NU);
        row("checksum", S, "\x02-0 012345000000\r%", false, W, "12.345", "kg");
        row("checksum, in motion", S, "\x02-8 012345000000\r\x1d", false, W, "12.345", "kg", false);
        row("checksum CR", S, "\x02-2 000005      \r\r", false, W, "-0.005", "kg");
        row("checksum wrong", S, "\x02-0 012345000000\r$", false, NU);
        row("checksum with a parity bit", S, "\x02-0 012345000000\r\xa5", false, NU);
        row("checksum 0x02, the line quiet", S, "\x02-0 012348      \r\x02", true, W, "12.348", "kg");
        row("checksum 0x02 or the next STX", S, "\x02-0 012348      \r\x02", false, waits);
        row("checksum 0x02, the next STX after it", S, "\x02-0 012348      \r\x02\x02", false, W, "12.348", "kg");
        row("0x02 for a checksum that is not", S, "\x02-0 012345000000\r\x02\x02-0 0123", false, NU);
        row("no checksum, the line quiet", S, "\x02-0 012345000000\r", true, W, "12.345", "kg");
        row("no checksum, more may come", S, "\x02-0 012345000000\r", false, waits);
        row("no checksum, the next frame begun", S, "\x02-0 012345000000\r\x02-", false, W, "12.345", "kg");
        row("two frames: the newest counts", S, "\x02-0 012345000000\r\x02-8 012346000000\r", true, W, "12.346", "kg", false);
        row("two with checksums", S, "\x02-0 012345000000\r%\x02-0 012346000000\r$", false, W, "12.346", "kg");
        row("the newest out of range", S, "\x02-0 012345000000\r%\x02-4 012345000000\r!", false, P::OutOfRange);
        row("an older frame broken", S, "\x02-0 01234X000000\r\x02-0 012346000000\r", true, NU);
        row("met mid-way", S, "45000000\r\x02-0 012346000000\r", true, NU);
        row("a checksum first", S, "%\x02-0 012346000000\r", true, NU);
        row("a frame cut short", S, "\x02-0 0123\r\x02-0 012346000000\r", true, NU);
        row("no frame end", S, QByteArray(40, '5').prepend("\x02-0 "), false, NU);
        row("grams as kilograms", E, "\x02" "01250\x03", false, W, "1.250", "kg");
        row("a few grams", E, "\x02" "00005\x03", false, W, "0.005", "kg");
        row("in motion", E, "\x02IIIII\x03", false, P::Unsettled);
        row("negative", E, "\x02NNNNN\x03", false, P::Underload);
        row("overload", E, "\x02SSSSS\x03", false, P::Overload);
        row("mixed letters", E, "\x02IIIIN\x03", false, NU);
        row("other letters", E, "\x02" "AAAAA\x03", false, NU);
        row("four digits", E, "\x02" "0125\x03", false, NU);
        row("a point", E, "\x02" "1.250\x03", false, NU);
        row("a parity bit", E, "\x02" "0125\xb0\x03", false, NU);
        row("a byte after the ETX", E, "\x02" "01250\x03\r", false, NU);
        row("a second reply", E, "\x02" "01250\x03\x02" "01250\x03", false, NU);
        row("a byte before the STX", E, "\r\x02" "01250\x03", false, NU);
        row("six digits", E, "\x02" "012500\x03", false, NU);
        row("not ended yet", E, "\x02" "01250", true, waits);
    }

    void framesAreReadByTheirLayout()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(bool, quiet);
        QFETCH(int, condition);
        P::Reading reading;
        const P::Verdict verdict = P::create(P::Type(type))->valueFromReply(reply, quiet, &reading);
        QCOMPARE(verdict, condition == waits ? P::Incomplete : condition == P::Weighed ? P::Accepted : P::Rejected);
        if (condition != waits)
            QCOMPARE(int(reading.condition), condition);
        QTEST(reading.value, "value");
        QTEST(reading.units, "unit");
        QTEST(reading.stable, "stable");
    }

    // Piece by piece: nothing is read before the frame is whole, then the frame.
    void aFrameWaitsUntilWhole_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply"); // whole when its last byte comes, the line not quiet
        QTest::newRow("status, no checksum, the next frame begun") << int(S) << QByteArray("\x02-0 012345000000\r\x02-");
        QTest::newRow("status, checksum") << int(S) << QByteArray("\x02-0 012345000000\r%");
        QTest::newRow("status, checksum 0x02") << int(S) << QByteArray("\x02-0 012348      \r\x02\x02");
        QTest::newRow("enq") << int(E) << QByteArray("\x02" "12345\x03");
    }

    void aFrameWaitsUntilWhole()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        const auto protocol = P::create(P::Type(type));
        P::Reading reading;
        for (int size = 1; size < reply.size(); ++size)
            QVERIFY2(protocol->valueFromReply(reply.left(size), false, &reading) == P::Incomplete, qPrintable(QString::number(size)));
        QCOMPARE(protocol->valueFromReply(reply, false, &reading), P::Accepted);
    }

    // What the link drops after an open (up to and with firstLineEnd()) and keeps after a reading.
    void theStreamIsCutAtFrames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("firstLineEnd");
        QTest::addColumn<QByteArray>("leftover"); // of bytes that start at a frame
        QTest::newRow("a tail, then a frame") << QByteArray("000000\r\x02-0 0123") << 6 << QByteArray();
        QTest::newRow("a tail ending in checksum 0x02") << QByteArray("      \r\x02\x02-0 01") << 7 << QByteArray();
        QTest::newRow("a tail ending in checksum CR") << QByteArray("      \r\r\x02-0 01") << 7 << QByteArray();
        QTest::newRow("a tail ending in 0x02") << QByteArray("      \r\x02") << -1 << QByteArray();
        QTest::newRow("a frame being written") << QByteArray("\x02-0 0123") << -1 << QByteArray("\x02-0 0123");
        QTest::newRow("exactly a frame") << QByteArray("\x02-0 012345000000\r") << 16 << QByteArray();
        QTest::newRow("exactly a frame and checksum") << QByteArray("\x02-0 012345000000\r%") << 17 << QByteArray();
        QTest::newRow("a frame and checksum 0x02") << QByteArray("\x02-0 012348      \r\x02") << 17 << QByteArray();
        QTest::newRow("a frame and the next STX") << QByteArray("\x02-0 012345000000\r\x02") << 16 << QByteArray("\x02");
        QTest::newRow("two frames, a third begun")
            << QByteArray("\x02-0 012345000000\r%\x02-0 012346000000\r$\x02-0") << 17 << QByteArray("\x02-0");
    }

    void theStreamIsCutAtFrames()
    {
        QFETCH(QByteArray, bytes);
        const auto protocol = P::create(S);
        QTEST(protocol->firstLineEnd(bytes), "firstLineEnd");
        if (bytes.startsWith('\x02'))
            QTEST(protocol->leftover(bytes), "leftover");
    }

    // The simulator of each kind, which writes its frames itself, read on a pseudo-terminal.
    void theScaleIsReadAsItShows_data()
    {
        for (const char *column : {"type", "decimals", "checksum", "split", "condition"})
            QTest::addColumn<int>(column);
        QTest::addColumn<double>("weight");
        QTest::addColumn<QByteArray>("unit");
        QTest::addColumn<bool>("stable");
        QTest::addColumn<QString>("read"); // value, unit, "moving"; or "--" and the cause
        const auto add = [](const char *name, P::Type type, int decimals, bool checksum, int split, int condition,
                            double weight, const char *unit, bool stable, const char *read) {
            QTest::newRow(name) << int(type) << decimals << int(checksum) << split << condition << weight
                                << QByteArray(unit) << stable << QString(read);
        };
        const int W = ScaleSimulator::Weighing, O = ScaleSimulator::Overload;
        add("status, kg", S, 3, false, 0, W, 12.345, "", true, "12.345 kg");
        add("status, lb, negative, in motion, checksum", S, 1, true, 0, W, -250.5, "lb", false, "-250.5 lb moving");
        add("status, dummy zeros, checksum", S, -2, true, 0, W, 12300, "", true, "12300 kg");
        add("status, five decimals, checksum, split", S, 5, true, 9, W, 0.12345, "", true, "0.12345 kg");
        add("status, no decimals, split", S, 0, false, 5, W, 987, "", true, "987 kg");
        add("status, overloaded", S, 3, false, 0, O, 1, "", true, "-- ScaleOutOfRange");
        add("enq", E, 0, false, 0, W, 1.25, "", true, "1.250 kg");
        add("enq, split", E, 0, false, 3, W, 0.005, "", true, "0.005 kg");
        add("enq, in motion", E, 0, false, 0, W, 1.25, "", false, "-- ScaleInMotion");
        add("enq, negative", E, 0, false, 0, W, -1.25, "", true, "-- ScaleUnderloaded");
        add("enq, overloaded", E, 0, false, 0, O, 1.25, "", true, "-- ScaleOverloaded");
    }

    void theScaleIsReadAsItShows()
    {
        QFETCH(int, type);
        QFETCH(double, weight);
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Type(type));
        QVERIFY(scale);
        QFETCH(int, decimals);
        QFETCH(int, checksum);
        QFETCH(int, split);
        QFETCH(int, condition);
        QFETCH(QByteArray, unit);
        QFETCH(bool, stable);
        scale->setDecimals(decimals);
        scale->setChecksum(checksum);
        scale->setSplit(split, 10);
        scale->setCondition(ScaleSimulator::Condition(condition));
        scale->setUnit(unit);
        scale->setStable(stable);
        scale->setWeight(weight);
        connect(scale, &ScaleSimulator::replySent, scale, [=] { scale->setWeight(weight); }); // no wandering
        LinkThread link(scale->portPath(), ScaleSetup {P::Type(type), P::usualSettings(P::Type(type))});
        QStringList readings;
        bool moving = false;
        QString cause;
        connect(&link, &LinkThread::readingStable, this, [&](bool said) { moving = !said; });
        connect(&link, &LinkThread::noReading, this, [&](int said) {
            cause = QMetaEnum::fromType<IODeviceNew::NoReadingCause>().valueToKey(said);
        });
        connect(&link, &LinkThread::newSample, this, [&](const QString &value, const QString &units) {
            readings << (units == "--" ? "-- " + cause : value + ' ' + units + (moving ? " moving" : ""));
        });
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(50); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(readings.size() >= 3, 5000);
        QFETCH(QString, read);
        QVERIFY2(readings.count(read) == readings.size(), qPrintable(readings.join('|')));
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
    }

    // A port opened or reset while the scale streams lands mid-frame. Each frame here comes in
    // two pieces, and after a silence (a time-out and a port reset) the scale goes on with a
    // tail. Three scales side by side: no checksum, a checksum 0x02 and a checksum CR.
    void aStreamMetMidFrameIsReadFromWholeFramesOnly()
    {
        const QList<QList<QByteArray>> streams {{"\x02-0 0123", "45000000\r", "12.345 kg"},
                                                {"\x02-0 0123", "48      \r\x02", "12.348 kg"},
                                                {"\x02-2 0000", "05      \r\r", "-0.005 kg"}};
        ScaleOnPty ptys;
        QList<QSharedPointer<LinkThread>> links;
        QList<QStringList> readings;
        for (int i = 0; i < streams.size(); ++i) {
            ScaleSimulator *scale = ptys.add(S);
            QVERIFY(scale);
            scale->setSilent(true); // the test writes the frames
            readings << QStringList();
            links << QSharedPointer<LinkThread>::create(scale->portPath(), ScaleSetup {S, P::usualSettings(S)});
            connect(links[i].data(), &LinkThread::newSample, this,
                    [&readings, i](const QString &value, const QString &units) { readings[i] << value + ' ' + units; });
        }
        // 30 ms a piece; the pieces 16 to 70 are the silence, and a tail ends it.
        int piece = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, this, [&] {
            const int n = piece++;
            for (int i = 0; i < streams.size() && (n < 16 || n >= 71); ++i)
                ptys.at(i)->send(streams[i][n % 2]);
        });
        stream.start(30);
        for (const auto &link : links)
            link->start();
        QTRY_VERIFY_WITH_TIMEOUT(piece > 90, 10000);
        for (int i = 0; i < streams.size(); ++i) {
            const int reset = readings[i].indexOf(QRegularExpression(".* --$"));
            QVERIFY2(reset > 0 && readings[i].lastIndexOf(streams[i][2]) > reset, qPrintable(readings[i].join('|')));
            QStringList odd = readings[i].filter(QRegularExpression(" (kg|lb)$"));
            odd.removeAll(streams[i][2]);
            QVERIFY2(odd.isEmpty(), qPrintable(odd.join('|')));
        }
    }
};

QTEST_GUILESS_MAIN(tst_StatusFrames)
#include "tst_statusframes.moc"
