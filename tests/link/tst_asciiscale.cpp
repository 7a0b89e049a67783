#include <QtTest>
#include "AsciiProtocol.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleOnPty.h"
#include "FaultSupport.h"

using P = ScaleProtocol;

// An other ASCII scale asked with "P" and its reply ended by CR LF, unless a
// row says otherwise.
static AsciiSetup described(const char *pattern = "", const char *unstable = "", const char *overload = "",
                            AsciiSetup::LineEnd lineEnd = AsciiSetup::CrLf)
{
    AsciiSetup setup;
    setup.request = QStringLiteral("P");
    setup.lineEnd = lineEnd;
    setup.pattern = QLatin1String(pattern);
    setup.unstableText = QLatin1String(unstable);
    setup.overloadText = QLatin1String(overload);
    return setup;
}
static AsciiSetup placed(AsciiSetup setup, int decimals)
{
    setup.decimals = decimals;
    return setup;
}
static AsciiSetup endedBy(AsciiSetup::LineEnd lineEnd, const char *byte = "", int decimals = 0)
{
    AsciiSetup setup = placed(described("", "", "", lineEnd), decimals);
    setup.endByte = QLatin1String(byte);
    return setup;
}
static AsciiSetup noWeightWhen(const char *text)
{
    AsciiSetup setup = described();
    setup.noWeightText = QLatin1String(text);
    return setup;
}

// A reading in words: "12,50 kg stable", or what it is instead.
static QString inWords(P::Verdict verdict, const P::Reading &reading)
{
    if (verdict == P::Incomplete)
        return QStringLiteral("not ended yet");
    if (verdict == P::Accepted)
        return QStringList {reading.value, reading.units.isEmpty() ? QStringLiteral("(no unit)") : reading.units,
                            reading.stable ? QStringLiteral("stable") : QStringLiteral("unstable")}
            .join(QLatin1Char(' '));
    switch (reading.condition) {
    case P::Overload:
        return QStringLiteral("overload");
    case P::NoWeight:
        return QStringLiteral("no weight");
    case P::UnknownUnit:
        return QStringLiteral("rejected: unit");
    default:
        return QStringLiteral("rejected: not a reading");
    }
}

static ScaleSetup asciiScale(const AsciiSetup &ascii, bool printKey)
{
    ScaleSetup setup(P::Ascii, P::usualSettings(P::Ascii));
    setup.ascii = ascii;
    setup.printKey = printKey;
    return setup;
}

// What a link told: "value units", or "placeholder".
struct Said : QStringList
{
    explicit Said(LinkThread *link)
    {
        QObject::connect(link, &LinkThread::newSample, link, [this](const QString &value, const QString &units) {
            *this << (units == "--" ? QStringLiteral("placeholder") : value + ' ' + units);
        });
    }
};

// Starts the link and waits until its port is open.
static bool started(LinkThread &link)
{
    QSignalSpy ready(&link, &LinkThread::linkReady);
    link.start();
    return ready.wait(5000);
}

Q_DECLARE_METATYPE(AsciiSetup)

class tst_AsciiScale : public QObject
{
    Q_OBJECT

private slots:
    void linesOfManyMakesAreReadAsDescribed_data()
    {
        QTest::addColumn<AsciiSetup>("setup");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("unit"); // the one the operator set
        const auto row = [](const char *name, const AsciiSetup &setup, const char *reply, const char *reading,
                            const char *unit = "") {
            QTest::newRow(name) << setup << QByteArray(reply) << QString(reading) << QString(unit);
        };
        const AsciiSetup plain = described();
        AsciiSetup unasked = endedBy(AsciiSetup::Cr);
        unasked.request.clear();
        const char *const refused = "rejected: not a reading";
        const char *const addressed = "^\\d+ +(?<value>[+-] *[\\d.]+) (?<unit>\\w+) ?(?<stable>M?)$";
        row("command-style line", plain, "S S      100.00 g\r\n", "100.00 g stable");
        row("header and comma, unit glued to the number", described("", "US"), "ST,GS,+0012.345kg\r\n",
            "+0012.345 kg stable");
        row("header says unsteady", described("", "US"), "US,GS,+0012.345kg\r\n", "+0012.345 kg unstable");
        row("overload text", described("", "US", "OL"), "OL,GS,+9999999kg\r\n", "overload");
        row("decimal comma kept", plain, "W:    12,50 kg\r\n", "12,50 kg stable");
        row("sign apart from the digits", plain, "N -    1.234 lb\r\n", "-1.234 lb stable");
        row("question mark after the unit", described("", "?"), "     12.34 g  ?\r\n", "12.34 g unstable");
        row("range digit glued to a status letter", endedBy(AsciiSetup::Cr), "\n 1G      12.345lb \r",
            "12.345 lb stable");
        row("time of day on a printout", plain, "10:23 +    0.23 %M/S\r\n", "+0.23 %M/S stable");
        row("error code", plain, "   Err  54\r\n", refused);
        row("error code in a scale's own unit, told by its text", noWeightWhen("Err"), "   Err  54\r\n",
            "no weight", "kg");
        row("no-weight text", noWeightWhen("----"), "  ----  kg\r\n", "no weight");
        row("status byte after STX", endedBy(AsciiSetup::Cr), "\x02?1\r", refused);
        row("overload with a signed exponent", plain, "OL,+9999999E+19\r\n", refused);
        row("two numbers with units", plain, "  12.5 kg    3 pcs\r\n", refused);
        row("a number alone", plain, "   0.500\r\n", refused);
        row("a number alone, in the operator's unit", plain, "   0.500\r\n", "0.500 kg stable", "kg");
        row("the scale's unit before the operator's", plain, "   0.500 g\r\n", "0.500 g stable", "kg");
        row("an address and a number alone", plain, "01   250.0\r\n", refused, "kg");
        row("STX before the line", plain, "\x02  +12.5 kg\r\n", "+12.5 kg stable");
        row("ETX ends the reply", endedBy(AsciiSetup::Etx), "\x02  12.50 kg\x03", "12.50 kg stable");
        row("ETX not come yet", endedBy(AsciiSetup::Etx), "\x02  12.50 kg\r\n", "not ended yet");
        row("a byte of the operator's ends the reply", endedBy(AsciiSetup::OtherByte, "#"), " 7.5 g#",
            "7.5 g stable");
        row("an escaped byte ends it", endedBy(AsciiSetup::OtherByte, "\\x04"), "N  +7.5 g\x04", "+7.5 g stable");
        row("three places left out", endedBy(AsciiSetup::Etx, "", 3), "\x02" "01250\x03", "1.250 kg stable", "kg");
        row("places left out, sign and zeros", endedBy(AsciiSetup::Etx, "", 3), "\x02-00050\x03",
            "-0.050 kg stable", "kg");
        row("a point of its own while places are set", endedBy(AsciiSetup::Etx, "", 3), "\x02" "12.50\x03",
            refused, "kg");
        row("line end of another kind after the reply", endedBy(AsciiSetup::Cr), "12.5 kg\r\n", "12.5 kg stable");
        row("reply ended by a quiet line", endedBy(AsciiSetup::Quiet), "  7.25 oz", "7.25 oz stable");
        row("expression: address before the weight, M in motion", described(addressed, "M"),
            "01   +  250.0 kg M\r\n", "+250.0 kg unstable");
        row("expression: address before the weight, steady", described(addressed, "M"), "01   +  250.0 kg\r\n",
            "+250.0 kg stable");
        row("expression: stability part empty", described("(?<stable>S?) *(?<value>[\\d.]+)(?<unit>kg)"),
            "  12.0kg\r\n", "12.0 kg unstable");
        row("expression that does not match", described(addressed), "S S 100.00 g\r\n", refused);
        row("expression takes a unit that is no word", described("(?<value>[\\d.]+)(?<unit>\\S*)"), "12.5#3\r\n",
            "rejected: unit");
        row("expression takes a value that is no number", described("(?<value>\\S+) kg"), "nan kg\r\n", refused);
        row("expression asks for an exponent", described("(?<value>[+-]?[0-9.]+[eE][+-]?[0-9]+) (?<unit>g)"),
            "+1.25E+02 g\r\n", "+1.25E+02 g stable");
        row("expression lets an exponent through unasked", described("(?<value>\\S+) (?<unit>g)"),
            "+1.25E+02 g\r\n", refused);
        row("expression names no unit, places left out", placed(described("W(?<value>[0-9]+)"), 3), "W00150\r\n", "0.150 lb stable", "lb");
        row("nan", plain, "nan kg\r\n", refused);
        row("inf", plain, "  -inf g\r\n", refused);
        row("exponent", plain, "1.5e3 g\r\n", refused);
        row("thousands and decimals mixed", plain, "1,234.5 kg\r\n", refused);
        row("text only", plain, "ERROR\r\n", refused);
        row("two replies glued", plain, "12.5 kg\r\n13.0 kg\r\n", refused);
        row("reply ended by LF", endedBy(AsciiSetup::Lf), "  12.5 kg\n", "12.5 kg stable");
        row("CR inside a reply ended by LF", endedBy(AsciiSetup::Lf), "12.5 kg\r13.0 kg\n", refused);
        row("reply not ended yet", plain, "  12.5 kg", "not ended yet");
        row("sent unasked: the newest whole line", unasked, "12.5 kg\r13.0 kg\r13.5 kg\r14", "13.5 kg stable");
    }

    void linesOfManyMakesAreReadAsDescribed()
    {
        QFETCH(AsciiSetup, setup);
        QFETCH(QByteArray, reply);
        QFETCH(QString, unit);
        P::Reading reading;
        const P::Verdict verdict = AsciiProtocol(setup, unit).valueFromReply(reply, true, &reading);
        QTEST(inWords(verdict, reading), "reading");
    }

    // What Port settings says of a line that is no reading: the rule that refused it.
    void theRuleThatRefusedALineIsNamed_data()
    {
        QTest::addColumn<AsciiSetup>("setup");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("why");
        const AsciiSetup plain = described();
        QTest::newRow("no unit") << plain << QByteArray("   Err  54")
                                 << "the number 54 has no unit after it, and no unit is set for the scale";
        QTest::newRow("no number") << plain << QByteArray("ERROR") << "no number stands alone with a unit after it";
        QTest::newRow("two numbers") << plain << QByteArray("  12.5 kg    3 pcs")
                                     << "two numbers could be the weight: 12.5 and 3";
        QTest::newRow("glued to a mark") << plain << QByteArray("\x02?1") << "the number is glued to other characters: ?1";
        QTest::newRow("exponent") << plain << QByteArray("OL,+9999999E+19")
                                  << "the number +9999999E+19 has an exponent, read only by a pattern that asks for one";
        QTest::newRow("pattern does not match") << described("^W (?<value>[0-9.]+)") << QByteArray("S S 100.00 g")
                                                << "the pattern does not match";
        QTest::newRow("pattern's unit no word") << described("(?<value>[\\d.]+)(?<unit>\\S*)") << QByteArray("12.5#3")
                                                << "the unit is not a word: #3";
        QTest::newRow("point while places are set") << endedBy(AsciiSetup::Cr, "", 3) << QByteArray("12.50 kg")
                                                    << "12.50 has a decimal point of its own, but decimal places are set";
    }

    void theRuleThatRefusedALineIsNamed()
    {
        QFETCH(AsciiSetup, setup);
        QFETCH(QByteArray, line);
        P::Reading reading;
        QString why;
        QCOMPARE(AsciiProtocol(setup).parseLine(line, &reading, &why), P::Rejected);
        QTEST(why, "why");
    }

    // Requests and reply ends are typed with escapes; a reply ends at one byte, never at a digit.
    void bytesAreTypedWithEscapes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("bytes"); // empty: refused
        QTest::addColumn<bool>("endsReply");
        QTest::newRow("ESC, the blank and the tilde, CR LF") << "\\x1b ~P\\r\\n" << QByteArray("\x1b ~P\r\n") << false;
        QTest::newRow("an unknown escape") << "SI\\q" << QByteArray() << false;
        QTest::newRow("a mark") << "#" << QByteArray("#") << true;
        QTest::newRow("EOT") << "\\x04" << QByteArray("\x04") << true;
        QTest::newRow("a digit") << "7" << QByteArray("7") << false;
        QTest::newRow("two bytes") << "\\r\\n" << QByteArray("\r\n") << false;
    }

    void bytesAreTypedWithEscapes()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, bytes);
        bool ok = false;
        QCOMPARE(AsciiProtocol::decoded(typed, &ok), bytes);
        QCOMPARE(ok, !bytes.isEmpty());
        QTEST(AsciiProtocol::isUsableEndByte(typed), "endsReply");
    }

    // A scale of a known kind, described by hand, is read as well as by its kind.
    void aScaleDescribedByHandIsReadOnALine()
    {
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::HeaderComma);
        QVERIFY(scale);
        AsciiSetup ascii = described("", "US", "OL");
        ascii.request = QStringLiteral("Q\\r\\n");
        ScaleSetup setup = asciiScale(ascii, false);
        setup.line = ScaleSimulator::settingsOf(P::HeaderComma);
        LinkThread link(scale->portPath(), setup);
        Said readings(&link);
        QList<int> causes;
        connect(&link, &LinkThread::noReading, &link, [&](int cause) { causes << cause; });
        scale->setWeight(250.5);
        link.start();
        QTRY_COMPARE_WITH_TIMEOUT(readings.size() >= 2, true, 5000);
        QVERIFY2(readings.first().contains(QRegularExpression("^\\+00250\\.\\d\\d g$")), qPrintable(readings.first()));
        scale->setCondition(ScaleSimulator::Overload);
        QTRY_VERIFY_WITH_TIMEOUT(causes.contains(IODeviceNew::ScaleOverloaded), 5000);
    }

    // A scale asked with ENQ that answers STX, its digits without their point,
    // ETX, each reply in two pieces: read in the operator's unit, with the
    // point put in; a frame with a point of its own is no reading.
    void anEtxFrameWithPlacesLeftOutIsReadOnALine()
    {
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::EnqPolled);
        QVERIFY(scale);
        scale->queueValueReplies({"\x02" "01250\x03", "\x02-00050\x03\r\n", "\x02" "12.50\x03", "\x02" "00007\x03"});
        scale->setSplit(3, 150); // the line quiet between the pieces
        AsciiSetup ascii = endedBy(AsciiSetup::Etx, "", 3);
        ascii.request = QStringLiteral("\\x05");
        ScaleSetup setup = asciiScale(ascii, false);
        setup.line = ScaleSimulator::settingsOf(P::EnqPolled);
        setup.unit = QStringLiteral("kg");
        LinkThread link(scale->portPath(), setup);
        Said said(&link);
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(said.size() >= 4, 8000);
        QCOMPARE(said.mid(0, 4), QStringList({"1.250 kg", "-0.050 kg", "placeholder", "0.007 kg"}));
    }

    // A scale that sends unasked, STX ... ETX, only when its weight changes:
    // met mid-way, two lines, then quiet for three seconds with no
    // placeholder and no port reset, then read again as soon as it sends.
    void aScaleQuietWhileSteadyIsNoFault()
    {
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Ascii);
        QVERIFY(scale);
        AsciiSetup ascii = endedBy(AsciiSetup::Etx);
        ascii.request.clear();
        ascii.quietWhileSteady = true;
        LinkThread link(scale->portPath(), asciiScale(ascii, false));
        Said said(&link);
        QVERIFY(started(link));
        scale->send("50 kg\x03\x02  1.50 kg\x03");
        QTRY_COMPARE(said, QStringList({"1.50 kg"}));
        scale->send("\x02  1.7");
        scale->send("5 kg\x03");
        QTRY_COMPARE(said, QStringList({"1.50 kg", "1.75 kg"}));
        QTest::qWait(3000);
        QCOMPARE(said, QStringList({"1.50 kg", "1.75 kg"}));
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
        scale->send("\x02  2.25 kg\x03\x02  2.5"); // the next line begun at the tick: kept for the next one
        QTRY_COMPARE(said, QStringList({"1.50 kg", "1.75 kg", "2.25 kg"}));
        scale->send("0 kg\x03");
        QTRY_COMPARE(said, QStringList({"1.50 kg", "1.75 kg", "2.25 kg", "2.50 kg"}));
        // A line that is no reading is told, not left behind the last weight on show; the line is read
        // again from a whole line, so the tail of one begun meanwhile (two ticks apart, unless the
        // machine is slow) is no weight.
        scale->send("\x02  Err\x03");
        QTRY_COMPARE(said, QStringList({"1.50 kg", "1.75 kg", "2.25 kg", "2.50 kg", "placeholder"}));
        scale->send("0 kg\x03");
        QTest::qWait(400);
        scale->send("\x02  3.00 kg\x03");
        QTRY_COMPARE(said, QStringList({"1.50 kg", "1.75 kg", "2.25 kg", "2.50 kg", "placeholder", "3.00 kg"}));
    }

    // A refused line takes the bytes after it in the same read with it: a
    // line begun there and ended in the next read is a tail, never a weight.
    void aRefusedLineTakesTheLineBegunBehindIt()
    {
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Ascii);
        QVERIFY(scale);
        AsciiSetup ascii = described();
        ascii.request.clear();
        ascii.quietWhileSteady = true;
        LinkThread link(scale->portPath(), asciiScale(ascii, false));
        Said said(&link);
        QVERIFY(started(link));
        scale->send("\r\nG 100 kg T 20 kg\r\nW: -3.25 lb\r");
        QTRY_COMPARE(said, QStringList({"placeholder"}));
        scale->send(".5 kg\r\n  12.5 kg\r\n");
        const QRegularExpression weight(" (kg|lb)$");
        QTRY_COMPARE(said.filter(weight), QStringList({"12.5 kg"}));
        QTest::qWait(300);
        QCOMPARE(said.filter(weight), QStringList({"12.5 kg"}));
    }

    // Bytes that never hold the kind's line end are no silence: the reason quotes them.
    void aStreamWithoutLineEndsIsNotCalledSilent()
    {
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Ascii);
        QVERIFY(scale);
        AsciiSetup ascii = described();
        ascii.request.clear();
        LinkThread link(scale->portPath(), asciiScale(ascii, false));
        QStringList causes;
        connect(&link, &LinkThread::noReading, &link, [&](int cause, const QString &detail) {
            causes << QString("%1 %2").arg(cause).arg(detail);
        });
        QVERIFY(started(link));
        QTimer feed;
        connect(&feed, &QTimer::timeout, scale, [scale] { scale->send("  12.5 kg\t"); });
        feed.start(100);
        QTRY_VERIFY_WITH_TIMEOUT(!causes.isEmpty(), 5000);
        QVERIFY2(causes.first().startsWith(QString::number(IODeviceNew::ReplyNotUnderstood) + " ")
                     && causes.first().contains("12.5 kg"), qPrintable(causes.first()));
    }

    // Two scales that send on their print key: one left quiet for five
    // seconds, one pressed three times meanwhile.
    void aPrintKeyScaleWaitsForItsKey()
    {
        ScaleOnPty ptys;
        ScaleSimulator *quiet = ptys.add(P::Continuous);
        ScaleSimulator *pressed = ptys.add(P::Ascii);
        QVERIFY(quiet && pressed);
        quiet->setContinuousPeriod(0);
        ScaleSetup continuous(P::Continuous, ScaleSimulator::settingsOf(P::Continuous));
        continuous.printKey = true;
        AsciiSetup ascii = described("", "US");
        ascii.request.clear();
        LinkThread quietLink(quiet->portPath(), continuous);
        LinkThread pressedLink(pressed->portPath(), asciiScale(ascii, true));
        QStringList quietSaid, pressedSaid;
        int ready = 0;
        for (auto pair : {qMakePair(&quietLink, &quietSaid), qMakePair(&pressedLink, &pressedSaid)}) {
            QStringList *said = pair.second;
            connect(pair.first, &LinkThread::newSample, this,
                    [said](const QString &value, const QString &units) { *said << value + ' ' + units; });
            connect(pair.first, &LinkThread::noReading, this,
                    [said](int cause) { *said << QStringLiteral("no reading %1").arg(cause); });
            connect(pair.first, &LinkThread::linkReady, this, [&ready] { ++ready; });
        }
        quietLink.start();
        pressedLink.start();
        QTRY_COMPARE(ready, 2);
        const QList<double> weights {1.5, -2.25, 3};
        for (int i = 0; i < weights.size(); ++i)
            QTimer::singleShot(1200 * (i + 1), pressed, [pressed, weight = weights[i]] {
                pressed->setWeight(weight);
                pressed->pressPrint();
            });
        QTest::qWait(5000);
        QCOMPARE(quietSaid, QStringList());
        QCOMPARE(pressedSaid, QStringList({"1,50 g", "-2,25 g", "3,00 g"}));
    }
};

QTEST_GUILESS_MAIN(tst_AsciiScale)
#include "tst_asciiscale.moc"
