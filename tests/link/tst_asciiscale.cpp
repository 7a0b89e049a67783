#include <QtTest>
#include "AsciiProtocol.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleOnPty.h"

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
        const AsciiSetup plain = described();
        const char *const addressed = "^\\d+ +(?<value>[+-] *[\\d.]+) (?<unit>\\w+) ?(?<stable>M?)$";
        QTest::newRow("command-style line") << plain << QByteArray("S S      100.00 g\r\n") << "100.00 g stable";
        QTest::newRow("header and comma, unit glued to the number")
            << described("", "US") << QByteArray("ST,GS,+0012.345kg\r\n") << "+0012.345 kg stable";
        QTest::newRow("header says unsteady") << described("", "US") << QByteArray("US,GS,+0012.345kg\r\n")
                                             << "+0012.345 kg unstable";
        QTest::newRow("overload text") << described("", "US", "OL") << QByteArray("OL,GS,+9999999kg\r\n")
                                       << "overload";
        QTest::newRow("decimal comma kept") << plain << QByteArray("W:    12,50 kg\r\n") << "12,50 kg stable";
        QTest::newRow("sign apart from the digits") << plain << QByteArray("N -    1.234 lb\r\n")
                                                    << "-1.234 lb stable";
        QTest::newRow("question mark after the unit") << described("", "?") << QByteArray("     12.34 g  ?\r\n")
                                                      << "12.34 g unstable";
        QTest::newRow("a number alone") << plain << QByteArray("   0.500\r\n") << "0.500 (no unit) stable";
        QTest::newRow("line end of another kind after the reply")
            << described("", "", "", AsciiSetup::Cr) << QByteArray("12.5 kg\r\n") << "12.5 kg stable";
        QTest::newRow("reply ended by a quiet line")
            << described("", "", "", AsciiSetup::Quiet) << QByteArray("  7.25 oz") << "7.25 oz stable";
        QTest::newRow("expression: address before the weight, M in motion")
            << described(addressed, "M") << QByteArray("01   +  250.0 kg M\r\n") << "+250.0 kg unstable";
        QTest::newRow("expression: address before the weight, steady")
            << described(addressed, "M") << QByteArray("01   +  250.0 kg\r\n") << "+250.0 kg stable";
        QTest::newRow("expression: stability part empty")
            << described("(?<stable>S?) *(?<value>[\\d.]+)(?<unit>kg)") << QByteArray("  12.0kg\r\n")
            << "12.0 kg unstable";
        QTest::newRow("expression that does not match") << described(addressed) << QByteArray("S S 100.00 g\r\n")
                                                        << "rejected: not a reading";
        QTest::newRow("expression takes a unit that is no word")
            << described("(?<value>[\\d.]+)(?<unit>\\S*)") << QByteArray("12.5#3\r\n") << "rejected: unit";
        QTest::newRow("expression takes a value that is no number")
            << described("(?<value>\\S+) kg") << QByteArray("nan kg\r\n") << "rejected: not a reading";
        QTest::newRow("nan") << plain << QByteArray("nan kg\r\n") << "rejected: not a reading";
        QTest::newRow("inf") << plain << QByteArray("  -inf g\r\n") << "rejected: not a reading";
        QTest::newRow("exponent") << plain << QByteArray("1.5e3 g\r\n") << "rejected: not a reading";
        QTest::newRow("thousands and decimals mixed") << plain << QByteArray("1,234.5 kg\r\n")
                                                      << "rejected: not a reading";
        QTest::newRow("text only") << plain << QByteArray("ERROR\r\n") << "rejected: not a reading";
        QTest::newRow("two replies glued") << plain << QByteArray("12.5 kg\r\n13.0 kg\r\n")
                                           << "rejected: not a reading";
        QTest::newRow("CR inside a reply ended by LF")
            << described("", "", "", AsciiSetup::Lf) << QByteArray("12.5 kg\r13.0 kg\n") << "rejected: not a reading";
        QTest::newRow("reply not ended yet") << plain << QByteArray("  12.5 kg") << "not ended yet";
    }

    void linesOfManyMakesAreReadAsDescribed()
    {
        QFETCH(AsciiSetup, setup);
        QFETCH(QByteArray, reply);
        P::Reading reading;
        const P::Verdict verdict = AsciiProtocol(setup).valueFromReply(reply, true, &reading);
        QTEST(inWords(verdict, reading), "reading");
    }

    void requestsAreTypedWithEscapes()
    {
        bool ok = false;
        QCOMPARE(AsciiProtocol::decoded(QStringLiteral("\\x1bP\\r\\n"), &ok), QByteArray("\x1bP\r\n"));
        QVERIFY(ok);
        QCOMPARE(AsciiProtocol::decoded(QStringLiteral("SI\\q"), &ok), QByteArray());
        QVERIFY(!ok);
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
        QStringList readings;
        QList<int> causes;
        connect(&link, &LinkThread::newSample, &link,
                [&](const QString &value, const QString &units) { readings << value + ' ' + units; });
        connect(&link, &LinkThread::noReading, &link, [&](int cause) { causes << cause; });
        scale->setWeight(250.5);
        link.start();
        QTRY_COMPARE_WITH_TIMEOUT(readings.size() >= 2, true, 5000);
        QVERIFY2(readings.first().contains(QRegularExpression("^\\+00250\\.\\d\\d g$")), qPrintable(readings.first()));
        scale->setCondition(ScaleSimulator::Overload);
        QTRY_VERIFY_WITH_TIMEOUT(causes.contains(IODeviceNew::ScaleOverloaded), 5000);
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
