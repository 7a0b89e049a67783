#include <QtTest>
#include "FaultSupport.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleOnPty.h"

using P = ScaleProtocol;
static const P::Type S = P::StatusStream, E = P::EnqPolled;
static const int waits = -1; // Incomplete

// A reply of a kind, whether the line was quiet after it, and the weight the link reads in it, why it has
// none, or that it waits. Kinds whose replies name no unit carry the operator's, "kg" here.
static void framed(const char *name, P::Type type, const QByteArray &reply, bool quiet, int condition,
                   const char *value = "", const char *unit = "", bool stable = true)
{
    QTest::newRow(qPrintable(P::key(type) + ": " + name))
        << int(type) << reply << quiet << condition << QString(value) << QString(unit) << stable;
}
static void row(const char *name, P::Type type, const QByteArray &reply, int condition, const char *value = "",
                const char *unit = "", bool stable = true)
{
    framed(name, type, reply, false, condition, value, unit, stable);
}

// What a link told, in words: "value units", with " moving" where the scale did not call it stable, or
// "-- Cause" for a placeholder.
struct Said : QStringList
{
    explicit Said(LinkThread *link)
    {
        QObject::connect(link, &LinkThread::readingStable, link, [this](bool stable) { moving = !stable; });
        QObject::connect(link, &LinkThread::noReading, link, [this](int said) {
            cause = QMetaEnum::fromType<IODeviceNew::NoReadingCause>().valueToKey(said);
        });
        QObject::connect(link, &LinkThread::newSample, link, [this](const QString &value, const QString &units) {
            *this << (units == "--" ? "-- " + cause : value + ' ' + units + (moving ? " moving" : ""));
        });
    }
    bool moving = false;
    QString cause;
};

// Every kind of scale: its replies as the link judges them, and the link reading the simulator of that
// kind, which writes its frames itself, on a pseudo-terminal.
class tst_ScaleTypes : public QObject
{
    Q_OBJECT

private slots:
    void repliesAreJudgedByTheirKind_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<int>("condition");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("stable");
        const int W = P::Weighed, NU = P::NotUnderstood;
        row("stable", P::Sics, "S S      100.00 g\r\n", W, "100.00", "g");
        row("not stable", P::Sics, "S D      100.00 g\r\n", W, "100.00", "g", false);
        row("negative, LF alone", P::Sics, "S S     -100.00 kg\n", W, "-100.00", "kg");
        row("overload", P::Sics, "S +\r\n", P::Overload);
        row("underload", P::Sics, "S -\r\n", P::Underload);
        row("busy", P::Sics, "S I\r\n", P::Busy);
        row("syntax error", P::Sics, "ES\r\n", P::Failed);
        row("logical error", P::Sics, "EL\r\n", P::Failed);
        row("unknown unit", P::Sics, "S S      100.00 grm\r\n", P::UnknownUnit);
        row("glued second line", P::Sics, "S S      100.00 g\r\nS S      100.01 g\r\n", NU);
        row("NUL inside the line", P::Sics, QByteArray("S S      100.00 g\0 7\r\n", 22), NU);
        row("not stable", P::SicsMarked, "SI ?      18.5 kg \r\n", W, "18.5", "kg", false);
        row("stable", P::SicsMarked, "SI        18.5 kg \r\n", W, "18.5", "kg");
        row("negative", P::SicsMarked, "SI       -18.5 kg \r\n", W, "-18.5", "kg");
        row("overload", P::SicsMarked, "SI ^      18.5 kg \r\n", P::Overload);
        row("underload", P::SicsMarked, "SI v      18.5 kg \r\n", P::Underload);
        row("unknown unit", P::SicsMarked, "SI        18.5 kgs \r\n", P::UnknownUnit);
        row("glued second line", P::SicsMarked, "SI        18.5 kg \r\nSI   18.6 kg\r\n", NU);
        row("stable", P::HeaderComma, "ST,+00012.34  g\r\n", W, "+00012.34", "g");
        row("not stable", P::HeaderComma, "US,+00012.34  g\r\n", W, "+00012.34", "g", false);
        row("stable count", P::HeaderComma, "QT,+00000012PCS\r\n", W, "+00000012", "PCS");
        row("negative", P::HeaderComma, "ST,-00012.34 kg\r\n", W, "-00012.34", "kg");
        row("out of range", P::HeaderComma, "OL,          kg\r\n", P::OutOfRange);
        row("out of range above", P::HeaderComma, "OL,+99999999 kg\r\n", P::Overload);
        row("out of range below", P::HeaderComma, "OL,-99999999 kg\r\n", P::Underload);
        row("counting", P::HeaderComma, "QT,+00000123 PC\r\n", W, "+00000123", "PC");
        row("unknown unit", P::HeaderComma, "ST,+00012.34 lbs\r\n", P::UnknownUnit);
        // A second header (gross, net) between the state and the number.
        row("not stable, gross, comma", P::HeaderComma, "US,GS,    92.6 g\r\n", W, "92.6", "g", false);
        row("not stable, gross, blanks", P::HeaderComma, "US,GS    20.9g\r\n", W, "20.9", "g", false);
        row("stable, net", P::HeaderComma, "ST,NT,+  1.234kg\r\n", W, "+1.234", "kg");
        row("overload, gross", P::HeaderComma, "OL,GS,+9999999 kg\r\n", P::Overload);
        row("glued second line", P::HeaderComma, "ST,+00012.34  g\r\nST,+00012.35  g\r\n", NU);
        row("as the manual shows it", P::PrintFrame, "+    123.45 g  \r\n", W, "+123.45", "g");
        row("identifier prefix", P::PrintFrame, "N     +   123.45 g  \r\n", W, "+123.45", "g");
        row("negative", P::PrintFrame, "G     -   123.45 kg \r\n", W, "-123.45", "kg");
        row("gross, any identifier", P::PrintFrame, "G#    +     10.001 g  \r\n", W, "+10.001", "g");
        row("blank identifier", P::PrintFrame, "      +     10.001 g  \r\n", W, "+10.001", "g");
        row("digits as identifier", P::PrintFrame, "N12345-      7.5 kg \r\n", W, "-7.5", "kg");
        row("frame without one keeps its digits", P::PrintFrame, "+1234567.8 g  \r\n", W, "+1234567.8", "g");
        row("overload", P::PrintFrame, "+        H g  \r\n", P::Overload);
        // A state is never an identifier: the frame would lose it.
        row("stability header", P::PrintFrame, "US,GS,    92.6 g\r\n", NU);
        row("command-style state", P::PrintFrame, "S D       12.3 g\r\n", NU);
        row("underload", P::PrintFrame, "N     -        L g  \r\n", P::Underload);
        row("unknown unit", P::PrintFrame, "+   123.45 gg \r\n", P::UnknownUnit);
        row("glued second line", P::PrintFrame, "+   123.45 g  \r\n+   123.46 g  \r\n", NU);
        row("not stable", P::ImmediatePrint, "     12.34 g  ?\r\n", W, "12.34", "g", false);
        row("not stable, the mark glued", P::ImmediatePrint, "  12.34 kg?\r\n", W, "12.34", "kg", false);
        row("stable", P::ImmediatePrint, "     12.34 g   \r\n", W, "12.34", "g");
        row("negative", P::ImmediatePrint, "    -12.34 kg  \r\n", W, "-12.34", "kg");
        row("unknown unit", P::ImmediatePrint, "     12.34 gram ?\r\n", P::UnknownUnit);
        row("glued second line", P::ImmediatePrint, "     12.34 g   \r\n     12.35 g\r\n", NU);
        // A continuous scale's newest whole line counts, in any line format.
        row("glued second line", P::Continuous, "S S   100.00 g\r\nS D   100.01 g\r\n", W, "100.01", "g", false);
        row("lines ended by CR alone", P::Continuous, "S S   100.00 g\rS D   100.01 g\r", W, "100.01", "g", false);
        row("lines ended by LF alone", P::Continuous, "S S   100.00 g\nS D   100.01 g\n", W, "100.01", "g", false);
        row("a line after a line end that never ends", P::Continuous, "\n" + QByteArray(65, '5'), P::NotUnderstood);
        row("line still coming", P::Continuous, "S S      100.00 g\r\nS S    ", W, "100.00", "g");
        row("not stable, marked", P::Continuous, "SI ?      18.5 kg \r\n", W, "18.5", "kg", false);
        row("negative, headed", P::Continuous, "US,-00012.34  g\r\n", W, "-00012.34", "g", false);
        row("not stable, command-style", P::Continuous, "S D       12.3 g\r\n", W, "12.3", "g", false);
        row("not stable, printed", P::Continuous, "     12.34 g  ?\r\n", W, "12.34", "g", false);
        row("overload", P::Continuous, "S +\r\n", P::Overload);
        row("underload", P::Continuous, "SI v      18.5 kg \r\n", P::Underload);

        // LF, status, range, G/N/T, motion, weight right-aligned with its unit, CR.
        const auto M = P::SmaLevel1, R = P::RetailW, X = P::EtxReply;
        row("gross, stable", M, "\n 1G      123.45lb \r", W, "123.45", "lb");
        row("net, in motion, negative", M, "\n 2NM    -12.345kg \r", W, "-12.345", "kg", false);
        row("centre of zero", M, "\nZ1G       0.000lb \r", W, "0.000", "lb");
        row("tare, a mark for future use", M, "\n 1T *     250.0g  \r", W, "250.0", "g");
        row("sign apart from the digits", M, "\n 9G  -      1.5t  \r", W, "-1.5", "t");
        row("over capacity, marks", M, "\nO1G  ^^^^^^^^^^lb \r", P::Overload);
        row("under capacity, blanks", M, "\nU1GM           kg \r", P::Underload);
        row("zero error", M, "\nE1G       0.000lb \r", P::Failed);
        row("tare error", M, "\nT1T       5.000lb \r", P::Failed);
        row("unknown unit", M, "\n 1G      123.45lbs\r", P::UnknownUnit);
        row("weight not right-aligned", M, "\n 1G     123.45 lb \r", NU);
        row("a byte lost", M, "\n 1G     123.45lb \r", NU);
        row("unknown status", M, "\nX1G      123.45lb \r", NU);
        row("range 0", M, "\n 0G      123.45lb \r", NU);
        row("two numbers", M, "\n 1G    12  3.45lb \r", NU);
        row("no unit", M, "\n 1G      123.45   \r", NU);
        row("a line end after the CR", M, "\n 1G      123.45lb \r\n", NU);
        row("met mid-way, then a whole reply", M, "5lb \r\n 1G      123.46lb \r", NU);
        row("never ends", M, "\n 1G      123.45lb  ", NU);
        row("a parity bit read as data", M, "\n 1G      123.45l\xe2 \r", NU);
        // STX, weight, CR; or STX, "?", a status byte, CR.
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
        // A weight line and a status line, ended by ETX.
        row("weight", X, "\n 1.250KG\r\n00\r\x03", W, "1.250", "KG");
        row("in motion", X, "\n01.250LB\r\n10\r\x03", W, "01.250", "LB", false);
        row("grams, negative", X, "\n-125G\r\n00\r\x03", W, "-125", "G");
        row("ounces in motion at zero", X, "\n  0.0OZ\r\n30\r\x03", W, "0.0", "OZ", false);
        row("under capacity, no number", X, "\n------\r\n01\r\x03", P::Underload);
        row("over capacity beside a number", X, "\n99.999LB\r\n12\r\x03", P::Overload);
        row("over and under at once", X, "\n------\r\n03\r\x03", P::OutOfRange);
        row("unknown unit", X, "\n 1.250KGS\r\n00\r\x03", P::UnknownUnit);
        row("no unit", X, "\n 1.250\r\n00\r\x03", NU);
        row("status line missing", X, "\n 1.250KG\r\x03", NU);
        row("status line alone", X, "\n00\r\x03", NU);
        row("a third line", X, "\n 1.250KG\r\n00\r\n00\r\x03", NU);
        row("bytes after ETX", X, "\n 1.250KG\r\n00\r\x03\n", NU);
        row("status byte out of its range", X, "\n 1.250KG\r\n0A\r\x03", NU);
        row("a parity bit read as data", X, "\n 1.250K\xc7\r\n00\r\x03", NU);
        row("met mid-way, then a whole reply", X, "KG\r\n00\r\x03\n 1.250KG\r\n00\r\x03", NU);
        row("never ends", X, "\n 1.250KG\r\n00\r\n 1.250KG\r\n00\r\n 1.", NU);

        // STX, three status bytes, six digits of weight, six of tare, CR, a checksum or none.
        framed("kg, three decimals", S, "\x02-0 012345000000\r", true, W, "12.345", "kg");
        framed("negative, lb, in motion", S, "\x02-* 012345000000\r", true, W, "-12.345", "lb", false);
        framed("net, varying bits, print request", S, "\x02-q(012345000000\r", true, W, "12.345", "kg");
        framed("place 0: two dummy zeros", S, "\x02(0 000123000000\r", true, W, "12300", "kg");
        framed("place 1: one dummy zero", S, "\x02)0 000123000000\r", true, W, "1230", "kg");
        framed("place 2", S, "\x02*0 000123000000\r", true, W, "123", "kg");
        framed("place 3", S, "\x02+0 000123000000\r", true, W, "12.3", "kg");
        framed("place 4", S, "\x02,0 000123000000\r", true, W, "1.23", "kg");
        framed("place 5", S, "\x02-0 000123000000\r", true, W, "0.123", "kg");
        framed("place 6", S, "\x02.0 000123000000\r", true, W, "0.0123", "kg");
        framed("place 7", S, "\x02/0 012345000000\r", true, W, "0.12345", "kg");
        framed("zero, dummy zeros", S, "\x02(0 000000000000\r", true, W, "0", "kg");
        framed("zero, decimals, by two", S, "\x02\x35\x30 000000000000\r", true, W, "0.000", "kg");
        framed("leading blanks, by five", S, "\x02=0   1234      \r", true, W, "1.234", "kg");
        framed("a blank after the point", S, "\x02-0     45000000\r", true, NU);
        framed("a blank inside", S, "\x02*0 12 345000000\r", true, NU);
        framed("a letter in the weight", S, "\x02-0 01234A000000\r", true, NU);
        framed("a letter in the tare", S, "\x02-0 01234500000X\r", true, NU);
        framed("out of range", S, "\x02-4 012345000000\r", true, P::OutOfRange);
        framed("no display increment", S, "\x02%0 012345000000\r", true, NU);
        framed("first status byte without bit 5", S, "\x02\x0d\x30 012345000000\r", true, NU);
        framed("first status byte with bit 6", S, "\x02m0 012345000000\r", true, NU);
        framed("second status byte without bit 5", S, "\x02-\x10 012345000000\r", true, NU);
        framed("third status byte without bit 5", S, "\x02-0\x08" "012345000000\r", true, NU);
        framed("a parity bit in a status byte", S, "\x02-\xb0 012345000000\r", true, NU);
        framed("a parity bit in a digit", S, "\x02-0 0\xb1" "2345000000\r", true, NU);
        framed("checksum", S, "\x02-0 012345000000\r%", false, W, "12.345", "kg");
        framed("checksum, in motion", S, "\x02-8 012345000000\r\x1d", false, W, "12.345", "kg", false);
        framed("checksum CR", S, "\x02-2 000005      \r\r", false, W, "-0.005", "kg");
        framed("checksum wrong", S, "\x02-0 012345000000\r$", false, NU);
        framed("checksum with a parity bit", S, "\x02-0 012345000000\r\xa5", false, NU);
        framed("checksum 0x02, the line quiet", S, "\x02-0 012348      \r\x02", true, W, "12.348", "kg");
        framed("checksum 0x02 or the next STX", S, "\x02-0 012348      \r\x02", false, waits);
        framed("checksum 0x02, the next STX after it", S, "\x02-0 012348      \r\x02\x02", false, W, "12.348", "kg");
        framed("0x02 for a checksum that is not", S, "\x02-0 012345000000\r\x02\x02-0 0123", false, NU);
        framed("no checksum, more may come", S, "\x02-0 012345000000\r", false, waits);
        framed("no checksum, the next frame begun", S, "\x02-0 012345000000\r\x02-", false, W, "12.345", "kg");
        framed("two frames: the newest counts", S, "\x02-0 012345000000\r\x02-8 012346000000\r", true, W, "12.346", "kg", false);
        framed("two with checksums", S, "\x02-0 012345000000\r%\x02-0 012346000000\r$", false, W, "12.346", "kg");
        framed("the newest out of range", S, "\x02-0 012345000000\r%\x02-4 012345000000\r!", false, P::OutOfRange);
        framed("an older frame broken", S, "\x02-0 01234X000000\r\x02-0 012346000000\r", true, NU);
        framed("met mid-way", S, "45000000\r\x02-0 012346000000\r", true, NU);
        framed("a checksum first", S, "%\x02-0 012346000000\r", true, NU);
        framed("a frame cut short", S, "\x02-0 0123\r\x02-0 012346000000\r", true, NU);
        framed("no frame end", S, QByteArray(40, '5').prepend("\x02-0 "), false, NU);
        // STX, five digits of grams, ETX.
        row("grams as kilograms", E, "\x02" "01250\x03", W, "1.250", "kg");
        row("a few grams", E, "\x02" "00005\x03", W, "0.005", "kg");
        row("in motion", E, "\x02IIIII\x03", P::Unsettled);
        row("negative", E, "\x02NNNNN\x03", P::Underload);
        row("overload", E, "\x02SSSSS\x03", P::Overload);
        row("mixed letters", E, "\x02IIIIN\x03", NU);
        row("other letters", E, "\x02" "AAAAA\x03", NU);
        row("four digits", E, "\x02" "0125\x03", NU);
        row("a point", E, "\x02" "1.250\x03", NU);
        row("a parity bit", E, "\x02" "0125\xb0\x03", NU);
        row("a byte after the ETX", E, "\x02" "01250\x03\r", NU);
        row("a second reply", E, "\x02" "01250\x03\x02" "01250\x03", NU);
        row("a byte before the STX", E, "\r\x02" "01250\x03", NU);
        row("six digits", E, "\x02" "012500\x03", NU);
        framed("not ended yet", E, "\x02" "01250", true, waits);
    }

    // A frame that reads is read only once whole: each piece of it before waits, on a quiet line too. A
    // status frame is whole once the line is quiet after its CR: its pieces up to there have more to come.
    void repliesAreJudgedByTheirKind()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(bool, quiet);
        QFETCH(int, condition);
        ScaleSetup setup(P::Type(type), P::usualSettings(P::Type(type)));
        setup.unit = QStringLiteral("kg");
        const auto protocol = P::create(setup);
        P::Reading reading;
        const P::Verdict verdict = protocol->valueFromReply(reply, quiet, &reading);
        QCOMPARE(verdict, condition == waits ? P::Incomplete : condition == P::Weighed ? P::Accepted : P::Rejected);
        if (condition != waits)
            QCOMPARE(int(reading.condition), condition);
        QTEST(reading.value, "value");
        QTEST(reading.units, "unit");
        QTEST(reading.stable, "stable");
        const bool frames = type >= S; // the kinds of frames with ends of their own
        const int whole = type == S ? reply.indexOf('\r') + 2 : reply.size();
        for (int size = 1; frames && condition != P::NotUnderstood && size < whole; ++size) {
            P::Reading piece;
            QVERIFY2(protocol->valueFromReply(reply.left(size), type != S, &piece) == P::Incomplete,
                     qPrintable(QStringLiteral("after %1 bytes").arg(size)));
        }
    }

    // What the link drops of a status stream after an open (up to and with firstLineEnd()) and keeps after
    // a reading.
    void theStatusStreamIsCutAtFrames_data()
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
    void theStatusStreamIsCutAtFrames()
    {
        QFETCH(QByteArray, bytes);
        const auto protocol = P::create(S);
        QTEST(protocol->firstLineEnd(bytes), "firstLineEnd");
        if (bytes.startsWith('\x02'))
            QTEST(protocol->leftover(bytes), "leftover");
    }

    void eachReadingAnswersItsOwnRequest_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("units"); // the kind's own; retail-w's, the operator's
        QTest::addColumn<bool>("marksStability"); // retail-w answers motion with a status
        QTest::addColumn<int>("splitAt");         // 0: whole replies
        QTest::newRow("builtin") << int(P::BuiltIn) << "kg" << false << 0;
        QTest::newRow("sics") << int(P::Sics) << "g" << true << 0;
        QTest::newRow("print-frame, identified") << int(P::PrintFrame) << "g" << false << 0;
        QTest::newRow("immediate-print") << int(P::ImmediatePrint) << "g" << true << 0;
        QTest::newRow("continuous") << int(P::Continuous) << "g" << true << 0;
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
        const bool unasked = kind == P::Continuous;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(kind);
        QVERIFY(scale);
        scale->setIdentifier("G");
        scale->setContinuousPeriod(10); // a dozen lines between two readings
        scale->setSplit(splitAt, 80);   // a poll or more between the pieces
        // Weight and stability change with every request (every line, unasked): a reading one request
        // behind shows. weights[i] is the i-th reply's.
        QList<double> weights;
        const auto next = [&] {
            weights << weights.size() * 1.25 - 2.75; // never 0, what a placeholder reads as
            scale->setWeight(weights.last());
            scale->setStable(!marksStability || weights.size() % 2 == 1);
        };
        if (unasked)
            next(); // the first line's
        connect(scale, &ScaleSimulator::replySent, scale, [&] { if (unasked) next(); });
        connect(scale, &ScaleSimulator::requestReceived, scale, [&](char asked) { if (asked != 'Z') next(); });
        bool stable = false;
        int readings = 0;
        QStringList wrong;
        ScaleSetup setup(kind, P::usualSettings(kind));
        setup.unit = QStringLiteral("kg");
        LinkThread link(scale->portPath(), setup);
        connect(&link, &LinkThread::readingStable, &link, [&](bool said) { stable = said; });
        connect(&link, &LinkThread::newSample, &link, [&](const QString &sample, const QString &unitsRead) {
            // The reply to the last request; of a continuous scale, its newest line, or one of the few that
            // came while this was queued.
            const int newest = weights.size() - (unasked ? 2 : 1);
            const int oldest = qMax(0, newest - (unasked ? 3 : 0));
            const int i = weights.lastIndexOf(sample.toDouble(), newest);
            if (i < oldest || unitsRead != units || stable != (!marksStability || i % 2 == 0))
                wrong << QStringLiteral("%1 %2 %3 for reply %4").arg(sample, unitsRead).arg(stable).arg(newest);
            ++readings;
        });
        // Long enough a wait for each reading to be here before the next request.
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(unasked ? 200 : 120); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(readings >= 4, 15000);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    // The simulator of the status stream and of the ENQ-polled scale, writing its frames itself.
    void framesAreReadAsTheScaleShowsThem_data()
    {
        for (const char *column : {"type", "decimals", "checksum", "split", "gap", "condition"})
            QTest::addColumn<int>(column);
        QTest::addColumn<double>("weight");
        QTest::addColumn<QByteArray>("unit");
        QTest::addColumn<bool>("stable");
        QTest::addColumn<QString>("read"); // as Said words it
        const auto add = [](const char *name, P::Type type, int decimals, bool checksum, int split, int condition,
                            double weight, const char *unit, bool stable, const char *read, int gap = 10) {
            QTest::newRow(name) << int(type) << decimals << int(checksum) << split << gap << condition << weight
                                << QByteArray(unit) << stable << QString(read);
        };
        const int W = ScaleSimulator::Weighing, O = ScaleSimulator::Overload;
        add("status, kg", S, 3, false, 0, W, 12.345, "", true, "12.345 kg");
        add("status, lb, negative, in motion, checksum", S, 1, true, 0, W, -250.5, "lb", false, "-250.5 lb moving");
        add("status, dummy zeros, checksum", S, -2, true, 0, W, 12300, "", true, "12300 kg");
        add("status, five decimals, checksum, split", S, 5, true, 9, W, 0.12345, "", true, "0.12345 kg");
        add("status, no decimals, split", S, 0, false, 5, W, 987, "", true, "987 kg");
        // Each piece read on its own (the link looks every 50 ms): the frame is whole only across two reads.
        add("status, split far apart", S, 0, false, 5, W, 987, "", true, "987 kg", 60);
        add("status, checksum, split at the CR, far apart", S, 3, true, 16, W, 1.5, "", true, "1.500 kg", 60);
        add("status, overloaded", S, 3, false, 0, O, 1, "", true, "-- ScaleOutOfRange");
        add("enq", E, 0, false, 0, W, 1.25, "", true, "1.250 kg");
        add("enq, split", E, 0, false, 3, W, 0.005, "", true, "0.005 kg");
        add("enq, in motion", E, 0, false, 0, W, 1.25, "", false, "-- ScaleInMotion");
        add("enq, negative", E, 0, false, 0, W, -1.25, "", true, "-- ScaleUnderloaded");
        add("enq, overloaded", E, 0, false, 0, O, 1.25, "", true, "-- ScaleOverloaded");
    }
    void framesAreReadAsTheScaleShowsThem()
    {
        QFETCH(int, type);
        QFETCH(int, decimals);
        QFETCH(int, checksum);
        QFETCH(int, split);
        QFETCH(int, gap);
        QFETCH(int, condition);
        QFETCH(double, weight);
        QFETCH(QByteArray, unit);
        QFETCH(bool, stable);
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Type(type));
        QVERIFY(scale);
        scale->setDecimals(decimals);
        scale->setChecksum(checksum);
        scale->setSplit(split, gap);
        if (gap > 50)
            scale->setContinuousPeriod(3 * gap); // the next frame after this one's second piece
        scale->setCondition(ScaleSimulator::Condition(condition));
        scale->setUnit(unit);
        scale->setStable(stable);
        scale->setWeight(weight);
        connect(scale, &ScaleSimulator::replySent, scale, [=] { scale->setWeight(weight); }); // no wandering
        LinkThread link(scale->portPath(), ScaleSetup {P::Type(type), P::usualSettings(P::Type(type))});
        Said said(&link);
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(50); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(said.size() >= 3, 15000);
        QFETCH(QString, read);
        QVERIFY2(said.count(read) == said.size(), qPrintable(said.join('|')));
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
    }

    // A port opened or reset while a scale streams lands mid-line. Each line here comes in two pieces, and
    // after a silence (a time-out and a port reset) the scale goes on with the second piece: a tail such as
    // "01  g" is a weight of its own to a lenient reader. The scales, one per line end, read side by side.
    void aStreamIsReadFromWholeLinesOnly()
    {
        struct Stream
        {
            P::Type type;
            QByteArray head, tail;
            QString read;
        };
        const QList<Stream> streams {{P::Continuous, "ST,+00010.0", "01  g\r\n", "+00010.001 g"},
                                     {P::Continuous, "ST,+00010.0", "01  g\r", "+00010.001 g"},
                                     {P::Continuous, "ST,+00010.0", "01  g\n", "+00010.001 g"},
                                     {S, "\x02-0 0123", "45000000\r", "12.345 kg"},      // no checksum
                                     {S, "\x02-0 0123", "48      \r\x02", "12.348 kg"},  // checksum 0x02
                                     {S, "\x02-2 0000", "05      \r\r", "-0.005 kg"}};   // checksum CR
        ScaleOnPty ptys;
        std::vector<std::unique_ptr<LinkThread>> links;
        std::vector<std::unique_ptr<Said>> said;
        for (const Stream &stream : streams) {
            ScaleSimulator *scale = ptys.add(stream.type);
            QVERIFY(scale);
            scale->setSilent(true); // the test writes its lines
            links.push_back(std::make_unique<LinkThread>(scale->portPath(), ScaleSetup {stream.type, scale->expectedSettings()}));
            said.push_back(std::make_unique<Said>(links.back().get()));
        }
        // 30 ms a piece; the pieces 16 to 70 are the silence, and a tail ends it.
        int piece = 0;
        QTimer writer;
        connect(&writer, &QTimer::timeout, this, [&] {
            const int n = piece++;
            for (int i = 0; i < streams.size() && (n < 16 || n >= 71); ++i)
                ptys.at(i)->send(n % 2 == 0 ? streams[i].head : streams[i].tail);
        });
        writer.start(30);
        for (const auto &link : links)
            link->start();
        QTRY_VERIFY_WITH_TIMEOUT(piece > 90, 10000);
        for (int i = 0; i < streams.size(); ++i) {
            const QStringList &readings = *said[i];
            const int reset = readings.indexOf(QRegularExpression("-- .*"));
            QVERIFY2(reset > 0 && readings.lastIndexOf(streams[i].read) > reset, qPrintable(readings.join('|')));
            QStringList odd = readings.filter(QRegularExpression("^(?!-- )"));
            odd.removeAll(streams[i].read);
            QVERIFY2(odd.isEmpty(), qPrintable(odd.join('|')));
        }
    }

    // Over- and underload, motion, busy and error replies are answers: the window is told at once and the
    // scale asked again at the period, its port never reset, and its weights are read as soon as it sends
    // them again.
    void anAnswerWithoutAWeightIsToldAtOnce_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("told");
        const auto add = [](P::Type type, const char *name, const QByteArray &reply, const char *told) {
            QTest::newRow(qPrintable(P::key(type) + ": " + name)) << int(type) << reply << QString(told);
        };
        add(P::Sics, "overloaded", "S +\r\n", "-- ScaleOverloaded");
        add(P::Sics, "busy", "S I\r\n", "-- ScaleBusy");
        add(P::Sics, "syntax error", "ES\r\n", "-- ScaleFailed");
        add(P::HeaderComma, "under its range", "OL,-99999.99 kg\r\n", "-- ScaleUnderloaded");
        add(P::PrintFrame, "overloaded", "+        H g  \r\n", "-- ScaleOverloaded");
        add(P::Continuous, "sics-marked under its range", "SI v      18.5 kg \r\n", "-- ScaleUnderloaded");
        add(P::SmaLevel1, "over capacity", "\nO1G  ^^^^^^^^^^lb \r", "-- ScaleOverloaded");
        add(P::SmaLevel1, "tare error", "\nT1T       5.000lb \r", "-- ScaleFailed");
        add(P::RetailW, "in motion", "\x02?A\r", "-- ScaleInMotion");
        add(P::RetailW, "centre of zero", "\x02?P\r", "-- ScaleSentNoWeight");
        add(P::EtxReply, "under capacity", "\n------\r\n01\r\x03", "-- ScaleUnderloaded");
    }
    void anAnswerWithoutAWeightIsToldAtOnce()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(QString, told);
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Type(type));
        QVERIFY(scale);
        scale->queueValueReplies({reply, reply, reply});
        LinkThread link(scale->portPath(), ScaleSetup {P::Type(type), scale->expectedSettings()});
        Said said(&link);
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(100); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(said.contains(told) && !said.last().startsWith("--"), 15000);
        // Whole lines of a stream may come two at a tick: fewer placeholders, never a reset.
        QCOMPARE(said.first(), told);
        QCOMPARE(said.filter(QRegularExpression("^--")), said.filter(told));
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
    }

    // Lines piled up between two sampling ticks (a slow period, a fast stream): the newest counts, not the
    // oldest that fit in a reply's length. Then a stream of mixed units (a moisture balance alternating a
    // weight, a percentage and a line in a unit no kind knows): the refused line is told at once, and the
    // good lines before and after it are read, the port kept.
    void theNewestLineCountsAndAnUnknownUnitHidesNoOther()
    {
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Continuous);
        QVERIFY(scale);
        scale->setSilent(true);
        const QList<QByteArray> lines {"S S      12.345 g\r\n", "S S      10.2 %M\r\n", "S S      3.1 mol\r\n"};
        int sent = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, this, [&] { scale->send(lines.at(sent++ % lines.size())); });
        LinkThread link(scale->portPath(), ScaleSetup {P::Continuous, scale->expectedSettings()});
        Said said(&link);
        QSignalSpy ready(&link, &LinkThread::linkReady);
        link.start();
        QVERIFY(ready.wait(5000));
        QByteArray piled;
        for (int i = 10; i <= 50; ++i)
            piled += "S S      " + QByteArray::number(i) + ".00 g\r\n";
        scale->send(piled);
        QTRY_VERIFY(!said.isEmpty());
        QCOMPARE(said.takeFirst(), "50.00 g");
        emit link.setRefreshRateSignal(300); // one line per sampling tick, so each is the newest when judged
        stream.start(300);
        QTRY_VERIFY_WITH_TIMEOUT(said.count("12.345 g") >= 2 && said.count("10.2 %M") >= 2, 8000);
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
        QVERIFY(said.contains("-- UnitNotAccepted"));
        QCOMPARE(said.filter(QRegularExpression("^--")), said.filter("-- UnitNotAccepted"));
    }
};

QTEST_GUILESS_MAIN(tst_ScaleTypes)
#include "tst_scaletypes.moc"
