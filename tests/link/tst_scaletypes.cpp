#include <QtTest>
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
        row("stable", P::Sics, "S S      100.00 g\r\n", W, "100.00", "g");
        row("not stable", P::Sics, "S D      100.00 g\r\n", W, "100.00", "g", false);
        row("negative", P::Sics, "S S     -100.00 kg\r\n", W, "-100.00", "kg");
        row("overload", P::Sics, "S +\r\n", P::Overload);
        row("underload", P::Sics, "S -\r\n", P::Underload);
        row("busy", P::Sics, "S I\r\n", P::Busy);
        row("unknown unit", P::Sics, "S S      100.00 gr\r\n", P::UnknownUnit);
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
        row("out of range", P::HeaderComma, "OL,          kg\r\n", P::Overload);
        row("unknown unit", P::HeaderComma, "ST,+00012.34 lbs\r\n", P::UnknownUnit);
        row("glued second line", P::HeaderComma, "ST,+00012.34  g\r\nST,+00012.35  g\r\n", P::NotUnderstood);
        row("as the manual shows it", P::PrintFrame, "+    123.45 g  \r\n", W, "+123.45", "g");
        row("identifier prefix", P::PrintFrame, "N     +   123.45 g  \r\n", W, "+123.45", "g");
        row("negative", P::PrintFrame, "G     -   123.45 kg \r\n", W, "-123.45", "kg");
        row("overload", P::PrintFrame, "+        H g  \r\n", P::Overload);
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
        row("line still coming", P::Continuous, "S S      100.00 g\r\nS S    ", W, "100.00", "g");
        row("not stable, marked", P::Continuous, "SI ?      18.5 kg \r\n", W, "18.5", "kg", false);
        row("negative, headed", P::Continuous, "US,-00012.34  g\r\n", W, "-00012.34", "g", false);
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
        ScaleSimulator *scale = ptys.add();
        QVERIFY(scale);
        scale->setType(kind);
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
        ScaleSimulator *scale = ptys.add();
        QVERIFY(scale);
        scale->setType(P::Sics);
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
        // The terminal as the scale sees it. A Linux pseudo-terminal forces 8
        // data bits without parity, whatever is set.
        const auto kept = [scale](const PortSettings &line) {
            return QList<int> {line.baudRate, line.stopBits, line.flowControl}
                   + (scale->keepsCharacterFormat() ? QList<int> {line.dataBits, line.parity} : QList<int>());
        };
        QCOMPARE(kept(scale->lineSettings()), kept(set));
    }
};

QTEST_GUILESS_MAIN(tst_ScaleTypes)
#include "tst_scaletypes.moc"
