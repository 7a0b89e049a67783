#include <QtTest>
#include "FaultSupport.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleOnPty.h"

using P = ScaleProtocol;

// A reply of a kind as written by hand from its layout, and what the link
// must make of it. Retail-w replies name no unit: they carry the operator's,
// set to "kg" here.
static void row(const char *name, P::Type type, const QByteArray &reply, P::Condition condition,
                const char *value = "", const char *unit = "", bool stable = true)
{
    QTest::newRow(qPrintable(P::key(type) + QStringLiteral(": ") + QLatin1String(name)))
        << int(type) << reply << int(condition) << QString::fromLatin1(value) << QString::fromLatin1(unit) << stable;
}

// The SMA level 1, retail W and ETX-ended kinds: their replies as the link
// judges them, and each read on a pseudo-terminal from the simulator.
class tst_RetailKinds : public QObject
{
    Q_OBJECT

private slots:
    void repliesAreJudgedByTheirLayout_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("condition");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("stable");
        const auto W = P::Weighed, NU = P::NotUnderstood;
        const auto S = P::SmaLevel1, R = P::RetailW, E = P::EtxReply;
        row("gross, stable", S, "\n 1G      123.45lb \r", W, "123.45", "lb");
        row("net, in motion, negative", S, "\n 2NM    -12.345kg \r", W, "-12.345", "kg", false);
        row("centre of zero", S, "\nZ1G       0.000lb \r", W, "0.000", "lb");
        row("tare, a mark for future use", S, "\n 1T *     250.0g  \r", W, "250.0", "g");
        row("sign apart from the digits", S, "\n 9G  -      1.5t  \r", W, "-1.5", "t");
        row("over capacity, marks", S, "\nO1G  ^^^^^^^^^^lb \r", P::Overload);
        row("under capacity, blanks", S, "\nU1GM           kg \r", P::Underload);
        row("zero error", S, "\nE1G       0.000lb \r", P::Failed);
        row("tare error", S, "\nT1T       5.000lb \r", P::Failed);
        row("unknown unit", S, "\n 1G      123.45lbs\r", P::UnknownUnit);
        row("weight not right-aligned", S, "\n 1G     123.45 lb \r", NU);
        row("a byte lost", S, "\n 1G     123.45lb \r", NU);
        row("unknown status", S, "\nX1G      123.45lb \r", NU);
        row("range 0", S, "\n 0G      123.45lb \r", NU);
        row("two numbers", S, "\n 1G    12  3.45lb \r", NU);
        row("no unit", S, "\n 1G      123.45   \r", NU);
        row("a line end after the CR", S, "\n 1G      123.45lb \r\n", NU);
        row("met mid-way, then a whole reply", S, "5lb \r\n 1G      123.46lb \r", NU);
        row("never ends", S, "\n 1G      123.45lb  ", NU);
        row("a parity bit read as data", S, "\n 1G      123.45l\xe2 \r", NU);

        row("weight", R, "\x02 1.250\r", W, "1.250", "kg");
        row("leading zeros", R, "\x02" "0001.25\r", W, "0001.25", "kg");
        row("negative", R, "\x02-0.015\r", W, "-0.015", "kg");
        row("in motion", R, "\x02?A\r", P::Unsettled);
        row("over capacity", R, "\x02?B\r", P::Overload);
        row("under zero", R, "\x02?D\r", P::Underload);
        row("over capacity wins over motion", R, "\x02?C\r", P::Overload);
        row("over and under at once", R, "\x02?F\r", P::OutOfRange);
        row("centre of zero", R, "\x02?P\r", P::NoWeight);
        row("net, centre of zero, in motion", R, "\x02?q\r", P::Unsettled);
        row("status byte with bit 7", R, "\x02?\xc1\r", NU);
        row("status byte without bit 6", R, "\x02?1\r", NU);
        row("status without its byte", R, "\x02?\r", NU);
        row("two status bytes", R, "\x02?AA\r", NU);
        row("digits without a point", R, "\x02" "01250\r", NU);
        row("two numbers", R, "\x02 1.250 2.0\r", NU);
        row("a unit", R, "\x02 1.250kg\r", NU);
        row("no STX", R, " 1.250\r", NU);
        row("met mid-way, then a whole reply", R, ".250\r\x02 1.260\r", NU);
        row("bytes after the CR", R, "\x02 1.250\r\x02", NU);
        row("a parity bit read as data", R, "\x02 1.2\xb5" "0\r", NU);
        row("never ends", R, "\x02 1.25000000000000000000", NU);

        row("weight", E, "\n 1.250KG\r\n00\r\x03", W, "1.250", "KG");
        row("in motion", E, "\n01.250LB\r\n10\r\x03", W, "01.250", "LB", false);
        row("grams, negative", E, "\n-125G\r\n00\r\x03", W, "-125", "G");
        row("ounces in motion at zero", E, "\n  0.0OZ\r\n30\r\x03", W, "0.0", "OZ", false);
        row("under capacity, no number", E, "\n------\r\n01\r\x03", P::Underload);
        row("over capacity beside a number", E, "\n99.999LB\r\n12\r\x03", P::Overload);
        row("over and under at once", E, "\n------\r\n03\r\x03", P::OutOfRange);
        row("unknown unit", E, "\n 1.250KGS\r\n00\r\x03", P::UnknownUnit);
        row("no unit", E, "\n 1.250\r\n00\r\x03", NU);
        row("status line missing", E, "\n 1.250KG\r\x03", NU);
        row("status line alone", E, "\n00\r\x03", NU);
        row("a third line", E, "\n 1.250KG\r\n00\r\n00\r\x03", NU);
        row("bytes after ETX", E, "\n 1.250KG\r\n00\r\x03\n", NU);
        row("status byte out of its range", E, "\n 1.250KG\r\n0A\r\x03", NU);
        row("a parity bit read as data", E, "\n 1.250K\xc7\r\n00\r\x03", NU);
        row("met mid-way, then a whole reply", E, "KG\r\n00\r\x03\n 1.250KG\r\n00\r\x03", NU);
        row("never ends", E, "\n 1.250KG\r\n00\r\n 1.250KG\r\n00\r\n 1.", NU);
    }

    // A reply that reads is read only once whole: every piece of it before,
    // even on a quiet line, waits for the rest.
    void repliesAreJudgedByTheirLayout()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(int, condition);
        ScaleSetup setup(P::Type(type), P::usualSettings(P::Type(type)));
        setup.unit = QStringLiteral("kg");
        const auto protocol = P::create(setup);
        P::Reading reading;
        const P::Verdict verdict = protocol->valueFromReply(reply, false, &reading);
        QCOMPARE(verdict, condition == P::Weighed ? P::Accepted : P::Rejected);
        QCOMPARE(int(reading.condition), condition);
        QTEST(reading.value, "value");
        QTEST(reading.units, "unit");
        QTEST(reading.stable, "stable");
        for (int size = 1; condition != P::NotUnderstood && size < reply.size(); ++size) {
            P::Reading piece;
            QVERIFY2(protocol->valueFromReply(reply.left(size), true, &piece) == P::Incomplete,
                     qPrintable(QStringLiteral("after %1 bytes").arg(size)));
        }
    }

    void eachReadingAnswersItsOwnRequest_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("units");
        QTest::addColumn<bool>("marksStability"); // retail-w answers motion with a status
        QTest::addColumn<int>("splitAt");         // 0: whole replies
        QTest::newRow("sma") << int(P::SmaLevel1) << "lb" << true << 0;
        QTest::newRow("sma, split in the weight") << int(P::SmaLevel1) << "lb" << true << 9;
        QTest::newRow("retail-w, the operator's unit") << int(P::RetailW) << "kg" << false << 0;
        QTest::newRow("retail-w, split before the CR") << int(P::RetailW) << "kg" << false << 7;
        QTest::newRow("etx-reply") << int(P::EtxReply) << "LB" << true << 0;
        QTest::newRow("etx-reply, split after the weight line") << int(P::EtxReply) << "LB" << true << 10;
    }

    void eachReadingAnswersItsOwnRequest()
    {
        QFETCH(int, type);
        QFETCH(QString, units);
        QFETCH(bool, marksStability);
        QFETCH(int, splitAt);
        const auto kind = P::Type(type);
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(kind);
        QVERIFY(scale);
        scale->setSplit(splitAt, 80); // a poll or more between the pieces
        // A new weight and stability at every request: a reading one request
        // behind shows. weights[i] is the i-th reply's.
        QList<double> weights;
        connect(scale, &ScaleSimulator::requestReceived, scale, [&] {
            weights << weights.size() * 1.25 - 2.75; // never 0, what a placeholder reads as
            scale->setWeight(weights.last());
            scale->setStable(!marksStability || weights.size() % 2 == 1);
        });
        bool stable = false;
        int readings = 0;
        QStringList wrong;
        ScaleSetup setup(kind, P::usualSettings(kind));
        setup.unit = QStringLiteral("kg");
        LinkThread link(scale->portPath(), setup);
        connect(&link, &LinkThread::readingStable, &link, [&](bool said) { stable = said; });
        connect(&link, &LinkThread::newSample, &link, [&](const QString &sample, const QString &unitsRead) {
            const int i = weights.size() - 1;
            if (i < 0 || sample.toDouble() != weights.at(i) || unitsRead != units
                || stable != (!marksStability || i % 2 == 0))
                wrong << QStringLiteral("%1 %2 %3 for reply %4").arg(sample, unitsRead).arg(stable).arg(i);
            ++readings;
        });
        // Long enough a wait for each reading to be here before the next request.
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(120); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(readings >= 4, 5000);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    // A reply with a state and no weight is an answer: told at once, the
    // scale asked again at the period, its port never reset, and its weights
    // read as soon as it sends them again.
    void aStatusReplyIsToldAtOnce_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("cause");
        QTest::newRow("sma over capacity")
            << int(P::SmaLevel1) << QByteArray("\nO1G  ^^^^^^^^^^lb \r") << int(IODeviceNew::ScaleOverloaded);
        QTest::newRow("sma tare error")
            << int(P::SmaLevel1) << QByteArray("\nT1T       5.000lb \r") << int(IODeviceNew::ScaleFailed);
        QTest::newRow("retail-w in motion") << int(P::RetailW) << QByteArray("\x02?A\r") << int(IODeviceNew::ScaleInMotion);
        QTest::newRow("retail-w centre of zero")
            << int(P::RetailW) << QByteArray("\x02?P\r") << int(IODeviceNew::ScaleSentNoWeight);
        QTest::newRow("etx-reply under capacity")
            << int(P::EtxReply) << QByteArray("\n------\r\n01\r\x03") << int(IODeviceNew::ScaleUnderloaded);
    }

    void aStatusReplyIsToldAtOnce()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(int, cause);
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Type(type));
        QVERIFY(scale);
        scale->queueValueReplies({reply, reply});
        QStringList readings;
        QList<int> causes;
        LinkThread link(scale->portPath(), ScaleSetup {P::Type(type), P::usualSettings(P::Type(type))});
        connect(&link, &LinkThread::newSample, this, [&](const QString &, const QString &units) {
            readings << (units == "--" ? QStringLiteral("placeholder") : units);
        });
        connect(&link, &LinkThread::noReading, this, [&](int said) { causes << said; });
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(80); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(readings.size() >= 3, 5000);
        QCOMPARE(readings.mid(0, 2), QStringList({"placeholder", "placeholder"}));
        QVERIFY(readings.at(2) != QLatin1String("placeholder"));
        QCOMPARE(causes, QList<int>({cause, cause}));
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
    }
};

QTEST_GUILESS_MAIN(tst_RetailKinds)
#include "tst_retailkinds.moc"
