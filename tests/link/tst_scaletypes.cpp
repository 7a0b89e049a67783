#include <QtTest>
#include "FaultSupport.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleOnPty.h"

Q_DECLARE_METATYPE(PortSettings)
using P = ScaleProtocol;

// A reply of a kind, and the weight the link reads in it or why it has none.
static void row(const char *name, P::Type type, const QByteArray &reply, P::Condition condition,
                const char *value = "", const char *unit = "", bool stable = true)
{
    QTest::newRow(qPrintable(P::key(type) + QStringLiteral(": ") + QLatin1String(name)))
        << int(type) << reply << int(condition) << QString::fromLatin1(value) << QString::fromLatin1(unit) << stable;
}

// Every kind of scale: its replies as the link judges them, and the link reading
// the simulator of that kind, which writes its frames itself, on a pseudo-terminal.
class tst_ScaleTypes : public QObject
{
    Q_OBJECT

private slots:
    void repliesAreJudgedByTheirKind_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("condition");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("stable");
        const auto W = P::Weighed;
        row("value frame", P::BuiltIn, "  12.345\r\n", W, "12.345", ""); // the unit is asked apart
        row("glued second frame", P::BuiltIn, "  12.345\r\n  12.346\r\n", P::NotUnderstood);
        row("NUL ends the frame", P::BuiltIn, QByteArray("  12.3\0\r\n5", 10), W, "12.3", "");
        row("stable", P::Sics, "S S      100.00 g\r\n", W, "100.00", "g");
        row("not stable", P::Sics, "S D      100.00 g\r\n", W, "100.00", "g", false);
        row("negative", P::Sics, "S S     -100.00 kg\r\n", W, "-100.00", "kg");
        row("overload", P::Sics, "S +\r\n", P::Overload);
        row("underload", P::Sics, "S -\r\n", P::Underload);
        row("busy", P::Sics, "S I\r\n", P::Busy);
        row("syntax error", P::Sics, "ES\r\n", P::Failed);
        row("logical error", P::Sics, "EL\r\n", P::Failed);
        row("unknown unit", P::Sics, "S S      100.00 grm\r\n", P::UnknownUnit);
        row("glued second line", P::Sics, "S S      100.00 g\r\nS S      100.01 g\r\n", P::NotUnderstood);
        row("NUL inside the line", P::Sics, QByteArray("S S      100.00 g\0 7\r\n", 22), P::NotUnderstood);
        row("not stable", P::SicsMarked, "SI ?      18.5 kg \r\n", W, "18.5", "kg", false);
        row("stable", P::SicsMarked, "SI        18.5 kg \r\n", W, "18.5", "kg");
        row("negative", P::SicsMarked, "SI       -18.5 kg \r\n", W, "-18.5", "kg");
        row("overload", P::SicsMarked, "SI ^      18.5 kg \r\n", P::Overload);
        row("underload", P::SicsMarked, "SI v      18.5 kg \r\n", P::Underload);
        row("unknown unit", P::SicsMarked, "SI        18.5 kgs \r\n", P::UnknownUnit);
        row("glued second line", P::SicsMarked, "SI        18.5 kg \r\nSI   18.6 kg\r\n", P::NotUnderstood);
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
        row("grains, capital", P::HeaderComma, "ST,+00012.34 GN\r\n", W, "+00012.34", "GN");
        row("moisture", P::HeaderComma, "ST,+0012.3 %M\r\n", W, "+0012.3", "%M");
        row("glued second line", P::HeaderComma, "ST,+00012.34  g\r\nST,+00012.35  g\r\n", P::NotUnderstood);
        row("as the manual shows it", P::PrintFrame, "+    123.45 g  \r\n", W, "+123.45", "g");
        row("identifier prefix", P::PrintFrame, "N     +   123.45 g  \r\n", W, "+123.45", "g");
        row("negative", P::PrintFrame, "G     -   123.45 kg \r\n", W, "-123.45", "kg");
        row("gross, any identifier", P::PrintFrame, "G#    +     10.001 g  \r\n", W, "+10.001", "g");
        row("blank identifier", P::PrintFrame, "      +     10.001 g  \r\n", W, "+10.001", "g");
        row("digits as identifier", P::PrintFrame, "N12345-      7.5 kg \r\n", W, "-7.5", "kg");
        row("frame without one keeps its digits", P::PrintFrame, "+1234567.8 g  \r\n", W, "+1234567.8", "g");
        row("overload", P::PrintFrame, "+        H g  \r\n", P::Overload);
        // A state is never an identifier: the frame would lose it.
        row("stability header", P::PrintFrame, "US,GS,    92.6 g\r\n", P::NotUnderstood);
        row("command-style state", P::PrintFrame, "S D       12.3 g\r\n", P::NotUnderstood);
        row("pennyweight", P::PrintFrame, "+     12.345 dwt\r\n", W, "+12.345", "dwt");
        row("underload", P::PrintFrame, "N     -        L g  \r\n", P::Underload);
        row("unknown unit", P::PrintFrame, "+   123.45 gg \r\n", P::UnknownUnit);
        row("glued second line", P::PrintFrame, "+   123.45 g  \r\n+   123.46 g  \r\n", P::NotUnderstood);
        row("not stable", P::ImmediatePrint, "     12.34 g  ?\r\n", W, "12.34", "g", false);
        row("stable", P::ImmediatePrint, "     12.34 g   \r\n", W, "12.34", "g");
        row("negative", P::ImmediatePrint, "    -12.34 kg  \r\n", W, "-12.34", "kg");
        row("unknown unit", P::ImmediatePrint, "     12.34 gram ?\r\n", P::UnknownUnit);
        row("glued second line", P::ImmediatePrint, "     12.34 g   \r\n     12.35 g\r\n", P::NotUnderstood);
        // A continuous scale's newest whole line counts, in any line format.
        row("glued second line", P::Continuous, "S S   100.00 g\r\nS D   100.01 g\r\n", W, "100.01", "g", false);
        row("lines ended by CR alone", P::Continuous, "S S   100.00 g\rS D   100.01 g\r", W, "100.01", "g", false);
        row("lines ended by LF alone", P::Continuous, "S S   100.00 g\nS D   100.01 g\n", W, "100.01", "g", false);
        row("line still coming", P::Continuous, "S S      100.00 g\r\nS S    ", W, "100.00", "g");
        row("not stable, marked", P::Continuous, "SI ?      18.5 kg \r\n", W, "18.5", "kg", false);
        row("negative, headed", P::Continuous, "US,-00012.34  g\r\n", W, "-00012.34", "g", false);
        row("not stable, second header", P::Continuous, "US,GS,    92.6 g\r\n", W, "92.6", "g", false);
        row("not stable, second header, unit glued", P::Continuous, "US,GS    20.9g\r\n", W, "20.9", "g", false);
        row("stable, net", P::Continuous, "ST,NT,+  1.234kg\r\n", W, "+1.234", "kg");
        row("not stable, command-style", P::Continuous, "S D       12.3 g\r\n", W, "12.3", "g", false);
        row("troy ounces", P::Continuous, "S S      1.2345 ozt\r\n", W, "1.2345", "ozt");
        row("newton", P::Continuous, "S S      12.5 N\r\n", W, "12.5", "N");
        row("not stable, printed", P::Continuous, "     12.34 g  ?\r\n", W, "12.34", "g", false);
        row("overload", P::Continuous, "S +\r\n", P::Overload);
        row("underload", P::Continuous, "SI v      18.5 kg \r\n", P::Underload);
    }

    void repliesAreJudgedByTheirKind()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(int, condition);
        P::Reading reading;
        const P::Verdict verdict = P::create(P::Type(type))->valueFromReply(reply, false, &reading);
        QCOMPARE(verdict, condition == P::Weighed ? P::Accepted : P::Rejected);
        QCOMPARE(int(reading.condition), condition);
        QTEST(reading.value, "value");
        QTEST(reading.units, "unit");
        QTEST(reading.stable, "stable");
    }

    void eachReadingAnswersItsOwnRequest_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("units"); // the kind's own
        QTest::addColumn<bool>("marksStability");
        QTest::newRow("builtin") << int(P::BuiltIn) << "kg" << false;
        QTest::newRow("sics") << int(P::Sics) << "g" << true;
        QTest::newRow("sics-marked") << int(P::SicsMarked) << "kg" << true;
        QTest::newRow("header-comma") << int(P::HeaderComma) << "g" << true;
        QTest::newRow("print-frame, identified") << int(P::PrintFrame) << "g" << false;
        QTest::newRow("immediate-print") << int(P::ImmediatePrint) << "g" << true;
        QTest::newRow("continuous") << int(P::Continuous) << "g" << true;
    }

    void eachReadingAnswersItsOwnRequest()
    {
        QFETCH(int, type);
        QFETCH(QString, units);
        QFETCH(bool, marksStability);
        const auto kind = P::Type(type);
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(kind);
        QVERIFY(scale);
        scale->setIdentifier("G");
        scale->setContinuousPeriod(10); // a dozen lines between two readings
        // Weight and stability change with every request (every line, unasked):
        // a reading one request behind shows. weights[i] is the i-th reply's.
        QList<double> weights;
        const auto next = [&] {
            weights << weights.size() * 1.25 - 2.75; // never 0, what a placeholder reads as
            scale->setWeight(weights.last());
            scale->setStable(weights.size() % 2 == 1);
        };
        if (kind == P::Continuous)
            next(); // the first line's
        connect(scale, &ScaleSimulator::replySent, scale, [&] { if (kind == P::Continuous) next(); });
        connect(scale, &ScaleSimulator::requestReceived, scale, [&](char asked) { if (asked != 'Z') next(); });
        bool stable = false;
        int readings = 0;
        QStringList wrong;
        LinkThread link(scale->portPath(), ScaleSetup {kind, P::usualSettings(kind)});
        connect(&link, &LinkThread::readingStable, &link, [&](bool said) { stable = said; });
        connect(&link, &LinkThread::newSample, &link, [&](const QString &sample, const QString &unitsRead) {
            // The reply to the last request; of a continuous scale, its newest
            // line, or one of the few that came while this was queued.
            const int newest = weights.size() - (kind == P::Continuous ? 2 : 1);
            const int oldest = qMax(0, newest - (kind == P::Continuous ? 3 : 0));
            const int i = weights.lastIndexOf(sample.toDouble(), newest);
            if (i < oldest || unitsRead != units || stable != (!marksStability || i % 2 == 0))
                wrong << QStringLiteral("%1 %2 %3 for reply %4").arg(sample, unitsRead).arg(stable).arg(newest);
            ++readings;
        });
        const int period = kind == P::Continuous ? 200 : 120;
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(period); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(readings >= 4, 3000);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    // A port opened or reset while a scale streams lands mid-line. Each line
    // here comes in two pieces, and after a second of silence (a time-out and
    // a port reset) the scale goes on with the second piece: a tail such as
    // "01  g" is a weight of its own to a lenient reader. Three scales, one
    // per line end, read side by side.
    void aStreamIsReadFromWholeLinesOnly()
    {
        const QList<QByteArray> lineEnds {"\r\n", "\r", "\n"};
        ScaleOnPty ptys;
        QList<QSharedPointer<LinkThread>> links;
        QList<QStringList> readings;
        int piece = 0;
        QTimer stream;
        for (int i = 0; i < lineEnds.size(); ++i) {
            ScaleSimulator *scale = ptys.add(P::Continuous);
            QVERIFY(scale);
            scale->setSilent(true); // the test writes its lines
            readings << QStringList();
            links << QSharedPointer<LinkThread>::create(scale->portPath(),
                                                        ScaleSetup {P::Continuous, scale->expectedSettings()});
            connect(links[i].data(), &LinkThread::newSample, this,
                    [&readings, i](const QString &value, const QString &units) { readings[i] << value + ' ' + units; });
        }
        // 40 ms a piece; the pieces 20 to 60 are the silence, and a tail ends it.
        connect(&stream, &QTimer::timeout, this, [&] {
            const int n = piece++;
            if (n >= 20 && n < 61)
                return;
            for (int i = 0; i < lineEnds.size(); ++i)
                ptys.at(i)->send(n % 2 == 0 ? QByteArray("ST,+00010.0") : "01  g" + lineEnds[i]);
        });
        stream.start(40);
        for (const auto &link : links)
            link->start();
        QTRY_VERIFY_WITH_TIMEOUT(piece > 85, 10000);
        for (int i = 0; i < lineEnds.size(); ++i) {
            const QStringList weights = readings[i].filter(" g");
            const int reset = readings[i].indexOf(QRegularExpression(".* --$"));
            QVERIFY2(reset > 0 && readings[i].lastIndexOf(QRegularExpression(".* g$")) > reset, qPrintable(readings[i].join('|')));
            QStringList odd = weights;
            odd.removeAll("+00010.001 g");
            QVERIFY2(odd.isEmpty(), qPrintable(odd.join('|')));
        }
    }

    // Over- and underload, busy and error replies are answers: the window is
    // told at once and the scale asked again at the period, its port never
    // reset, and its weights are read as soon as it sends them again.
    void anAnswerWithoutAWeightIsToldAtOnce_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("cause");
        QTest::newRow("sics overloaded") << int(P::Sics) << QByteArray("S +\r\n") << int(IODeviceNew::ScaleOverloaded);
        QTest::newRow("sics busy") << int(P::Sics) << QByteArray("S I\r\n") << int(IODeviceNew::ScaleBusy);
        QTest::newRow("sics syntax error") << int(P::Sics) << QByteArray("ES\r\n") << int(IODeviceNew::ScaleFailed);
        QTest::newRow("header-comma under its range")
            << int(P::HeaderComma) << QByteArray("OL,-99999.99 kg\r\n") << int(IODeviceNew::ScaleUnderloaded);
        QTest::newRow("print-frame overloaded")
            << int(P::PrintFrame) << QByteArray("+        H g  \r\n") << int(IODeviceNew::ScaleOverloaded);
        QTest::newRow("continuous, sics-marked under its range")
            << int(P::Continuous) << QByteArray("SI v      18.5 kg \r\n") << int(IODeviceNew::ScaleUnderloaded);
    }

    void anAnswerWithoutAWeightIsToldAtOnce()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(int, cause);
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Type(type));
        QVERIFY(scale);
        scale->queueValueReplies({reply, reply, reply, reply});
        QStringList readings;
        QList<int> causes;
        LinkThread link(scale->portPath(), ScaleSetup {P::Type(type), scale->expectedSettings()});
        connect(&link, &LinkThread::newSample, this, [&](const QString &, const QString &units) {
            readings << (units == "--" ? QStringLiteral("placeholder") : units);
        });
        connect(&link, &LinkThread::noReading, this, [&](int said) { causes << said; });
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(120); });
        link.start();
        QTRY_VERIFY_WITH_TIMEOUT(readings.contains("placeholder") && !readings.endsWith("placeholder"), 5000);
        // Whole lines of a stream may come two at a tick: fewer placeholders, never a reset.
        QCOMPARE(causes.count(cause), causes.size());
        QCOMPARE(readings.first(), QStringLiteral("placeholder"));
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
    }

    // A stream of mixed units (a moisture balance alternating a weight, a
    // percentage and a line in a unit no kind knows): the refused line is told
    // at once, and the good lines before and after it are read, the port kept.
    void aLineInAnUnknownUnitHidesNoOther()
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
        QStringList readings;
        QList<int> causes;
        LinkThread link(scale->portPath(), ScaleSetup {P::Continuous, scale->expectedSettings()});
        connect(&link, &LinkThread::newSample, this, [&](const QString &value, const QString &units) {
            readings << value + ' ' + units;
        });
        connect(&link, &LinkThread::noReading, this, [&](int cause) { causes << cause; });
        // One line per sampling tick, so each is the newest when judged.
        connect(&link, &LinkThread::linkReady, &link, [&] { emit link.setRefreshRateSignal(300); });
        link.start();
        stream.start(300);
        QTRY_VERIFY_WITH_TIMEOUT(readings.count("12.345 g") >= 2 && readings.count("10.2 %M") >= 2, 8000);
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
        QVERIFY(!causes.isEmpty());
        QCOMPARE(causes.count(int(IODeviceNew::UnitNotAccepted)), causes.size());
    }

    // The scale answers only at the line settings it expects, as far as its terminal keeps them.
    void theScaleAnswersAtTheSettingsItExpects_data()
    {
        QTest::addColumn<PortSettings>("set");      // by the link
        QTest::addColumn<PortSettings>("expected"); // by the scale
        QTest::addColumn<bool>("answers");
        using S = QSerialPort;
        const PortSettings e71 {2400, S::Data7, S::EvenParity, S::OneStop, S::NoFlowControl};
        const PortSettings rtsCts {19200, S::Data8, S::NoParity, S::OneStop, S::HardwareControl};
        const PortSettings noFlow {19200, S::Data8, S::NoParity, S::OneStop, S::NoFlowControl};
        const PortSettings xonXoff {1200, S::Data7, S::OddParity, S::TwoStop, S::SoftwareControl};
        QTest::newRow("2400 7E1") << e71 << e71 << true;
        QTest::newRow("19200 8N1 RTS/CTS") << rtsCts << rtsCts << true;
        QTest::newRow("1200 7O2 XON/XOFF") << xonXoff << xonXoff << true;
        QTest::newRow("another speed") << PortSettings() << e71 << false;
        QTest::newRow("no flow control") << noFlow << rtsCts << false;
    }

    void theScaleAnswersAtTheSettingsItExpects()
    {
        QFETCH(PortSettings, set);
        QFETCH(PortSettings, expected);
        QFETCH(bool, answers);
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Sics);
        QVERIFY(scale);
        scale->setExpectedSettings(expected);
        LinkThread link(scale->portPath(), ScaleSetup {P::Sics, set});
        QSignalSpy samples(&link, &LinkThread::newSample);
        QSignalSpy causes(&link, &LinkThread::noReading);
        link.start();
        QVERIFY(samples.wait(1500));
        QVERIFY(scale->received().startsWith("SI\r\n")); // asked either way
        QCOMPARE(samples.at(0).at(1).toString(), QLatin1String(answers ? "g" : "--")); // "--": a placeholder
        if (!answers)
            QCOMPARE(causes.at(0).at(0).toInt(), int(IODeviceNew::NoAnswer));
    }
};

QTEST_GUILESS_MAIN(tst_ScaleTypes)
#include "tst_scaletypes.moc"
