#include "ScaleFinder.h"
#include "ScaleOnPty.h"

using P = ScaleProtocol;

// A line at the given speed, 8N1 without flow control.
static PortSettings at(qint32 baud)
{
    PortSettings line;
    line.baudRate = baud;
    return line;
}

// Find the scale: the program's own link tries setups one after another on a
// scale at the far end of a pseudo-terminal, which answers only at its own.
class tst_ScaleFinder : public QObject
{
    Q_OBJECT
private slots:
    // The usual settings first, then the other speeds and formats; no setup twice.
    void triesEachKindAtItsUsualSettingsFirst()
    {
        const QList<ScaleSetup> order = ScaleFinder::usualOrder();
        QStringList first;
        for (const ScaleSetup &setup : order.mid(0, 8))
            first << P::key(setup.type) + ' ' + setup.line.name();
        for (const ScaleSetup &setup : order.mid(8, 6))
            first << P::key(setup.type) + ' ' + setup.line.name();
        QCOMPARE(first, QStringList({"builtin 9600 8N1", "sics 9600 8N1", "sics-marked 9600 8N1",
                                     "header-comma 2400 7E1", "print-frame 1200 7O1", "immediate-print 2400 7E1",
                                     "sma 9600 8N1", "retail-w 9600 7E1", "etx-reply 9600 7E1", "enq 2400 8N1",
                                     "status-stream 9600 7E1", "continuous 19200 8N1",
                                     "header-comma 9600 8N1", "print-frame 9600 8N1"}));
        QCOMPARE(order.size(), 6 * 3 * 12); // 1200 to 38400, 8N1 7E1 7O1, every kind but the other ASCII scale
    }
    // Each kind of scale at a speed not its own, each on its own terminal,
    // searched for at once to keep the run short; a row lists the kinds
    // tried at that speed, in order, and what is found.
    void findsEachKindAtASpeedNotItsOwn()
    {
        struct Row
        {
            P::Type kind;
            qint32 baud;
            QList<P::Type> tried;
            QString found;
        };
        const QList<Row> rows {
            {P::BuiltIn, 4800, {P::BuiltIn}, "builtin 4800 8N1"},
            // The built-in kind's request has no line end, the next kind's has.
            {P::Sics, 38400, {P::BuiltIn, P::Sics}, "sics 38400 8N1"},
            // Its replies are not read as the other SICS-style kind's.
            {P::SicsMarked, 4800, {P::Sics, P::SicsMarked}, "sics-marked 4800 8N1"},
            {P::HeaderComma, 38400, {P::HeaderComma}, "header-comma 38400 8N1"},
            {P::PrintFrame, 4800, {P::PrintFrame}, "print-frame 4800 8N1"},
            {P::ImmediatePrint, 38400, {P::ImmediatePrint}, "immediate-print 38400 8N1"},
            // Its SICS-style lines come whether asked or not: a kind that asks reads them too.
            {P::Continuous, 4800, {P::Sics, P::Continuous}, "continuous 4800 8N1"},
            {P::StatusStream, 4800, {P::Continuous, P::StatusStream}, "status-stream 4800 8N1"},
            // A W without its line ends is not this kind's request.
            {P::SmaLevel1, 38400, {P::RetailW, P::SmaLevel1}, "sma 38400 8N1"},
            {P::RetailW, 4800, {P::EnqPolled, P::RetailW}, "retail-w 4800 8N1"},
            {P::EtxReply, 38400, {P::EtxReply}, "etx-reply 38400 8N1"},
            {P::EnqPolled, 9600, {P::BuiltIn, P::EnqPolled}, "enq 9600 8N1"},
        };
        ScaleOnPty scales;
        std::vector<std::unique_ptr<ScaleFinder>> finders;
        QStringList expected, found;
        for (const Row &row : rows) {
            ScaleSimulator *scale = scales.add(row.kind);
            QVERIFY(scale);
            scale->setExpectedSettings(at(row.baud));
            QList<ScaleSetup> tries;
            for (P::Type type : row.tried)
                tries << ScaleSetup {type, at(row.baud)};
            finders.push_back(std::make_unique<ScaleFinder>(tries));
            ScaleFinder *finder = finders.back().get();
            connect(finder, &ScaleFinder::found, [&found, finder, i = found.size()] {
                found[i] = P::key(finder->current().type) + ' ' + finder->current().line.name();
            });
            expected << row.found;
            found << "nothing";
        }
        // Started together once all are made: the scales answer on this thread, which a search started earlier would
        // find still busy making the others.
        for (int i = 0; i < int(finders.size()); ++i)
            finders[i]->find(scales.port(i));
        const auto searching = [&] {
            return std::any_of(finders.cbegin(), finders.cend(), [](const auto &f) { return f->isRunning(); });
        };
        QTRY_VERIFY_WITH_TIMEOUT(!searching(), 10000);
        QCOMPARE(found, expected);
    }
    // A scale is found on five readings in a row: a miss (here an overload) starts the count again.
    void findsOnFiveReadingsInARow_data()
    {
        QTest::addColumn<QString>("replies"); // w: a weight, o: an overload; overloads after them
        QTest::addColumn<bool>("found");
        QTest::newRow("four, a miss, four") << "wwwwowwww" << false;
        QTest::newRow("four, a miss, five") << "wwwwowwwww" << true;
    }
    void findsOnFiveReadingsInARow()
    {
        QFETCH(QString, replies);
        ScaleOnPty scales;
        ScaleSimulator *scale = scales.add(P::Sics);
        QVERIFY(scale);
        scale->setExpectedSettings(at(9600));
        scale->setCondition(ScaleSimulator::Overload);
        QList<QByteArray> queued;
        for (const QChar reply : replies)
            queued << (reply == 'w' ? "S S      12.34 g\r\n" : "S +\r\n");
        scale->queueValueReplies(queued);
        ScaleFinder finder({{P::Sics, at(9600)}});
        QSignalSpy found(&finder, &ScaleFinder::found);
        finder.find(scale->portPath());
        QTRY_VERIFY_WITH_TIMEOUT(!finder.isRunning(), 5000);
        QTEST(found.count() == 1, "found");
    }
    // Lines of every kind that reads lines, as their makers' manuals write
    // them: no kind reads one of them otherwise than another kind does (a
    // state or identifier taken for the weight, a mark of motion missed).
    void noLineOfAnyKindReadsTwoWays()
    {
        const QByteArray lines = "\r\nS S      100.00 g\r\nS D      100.00 g\r\nSI ?      18.5 kg \r\n"
                                 "SI        18.5 kg \r\nST,+00012.34  g\r\nUS,+00012.34  g\r\n"
                                 "US,GS,    92.6 g\r\nUS,GS    20.9g\r\nST,NT,+  1.234kg\r\n"
                                 "QT,+00000012PCS\r\n+    123.45 g  \r\nN     +   123.45 g  \r\n"
                                 "G#    +     10.001 g  \r\nN12345-      7.5 kg \r\n     12.34 g  ?\r\n"
                                 "    -12.34 kg  \r\n";
        QStringList twoWays;
        for (P::Type type : P::types())
            if (!ScaleFinder::readsWithoutContradiction(lines, type))
                twoWays << P::key(type);
        QCOMPARE(twoWays, QStringList());
    }
    // A scale that sends text lines no known kind reads: Find proposes an
    // Other ASCII setup built from them, and nothing when the lines are not
    // one weight each.
    void proposesAnOtherAsciiSetupForTextLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("proposed");
        QTest::addColumn<int>("lineEnd");
        QTest::newRow("weight, decimal comma, state after") << QByteArray("W:   12,50 kg ST\r\n") << true << int(AsciiSetup::CrLf);
        QTest::newRow("ended by CR alone") << QByteArray("NET  +0012.5 lb\r") << true << int(AsciiSetup::Cr);
        QTest::newRow("two weights") << QByteArray("N  12.50 kg  T  0.50 kg\r\n") << false << 0;
        QTest::newRow("no unit") << QByteArray("  0012.5\r\n") << false << 0;
    }
    void proposesAnOtherAsciiSetupForTextLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, proposed);
        ScaleOnPty scales;
        ScaleSimulator *scale = scales.add();
        QVERIFY(scale);
        scale->setSilent(true);
        QTimer stream;
        connect(&stream, &QTimer::timeout, scale, [&] { scale->send(line); });
        stream.start(40);
        ScaleFinder finder({{P::Sics, at(9600)}, {P::Continuous, at(9600)}});
        QSignalSpy asciiProposed(&finder, &ScaleFinder::asciiProposed);
        QSignalSpy notFound(&finder, &ScaleFinder::notFound);
        finder.find(scale->portPath());
        QTRY_VERIFY_WITH_TIMEOUT(!finder.isRunning(), 5000);
        QCOMPARE(asciiProposed.count(), int(proposed));
        QCOMPARE(notFound.count(), int(!proposed));
        if (proposed) {
            QCOMPARE(finder.current().type, P::Ascii);
            QTEST(int(finder.current().ascii.lineEnd), "lineEnd");
            QVERIFY(finder.current().ascii.request.isEmpty());
            QVERIFY(finder.proposedFrom().contains(line));
        }
    }
    void givesUpWhenNothingAnswers_data()
    {
        QTest::addColumn<bool>("portThere");
        QTest::newRow("a silent scale") << true;
        QTest::newRow("a port that is not there") << false;
    }
    void givesUpWhenNothingAnswers()
    {
        QFETCH(bool, portThere);
        ScaleOnPty scales;
        QVERIFY(scales.add());
        scales.at(0)->setSilent(true);
        const QString port = portThere ? scales.port(0) : scales.port(0) + "-gone";
        ScaleFinder finder({{P::BuiltIn, at(9600)}, {P::Sics, at(9600)}});
        QStringList tried;
        connect(&finder, &ScaleFinder::trying, [&](int number, int count) {
            tried << QString("%1/%2 %3 %4").arg(number).arg(count).arg(P::key(finder.current().type),
                                                                         finder.current().line.name());
        });
        QSignalSpy notFound(&finder, &ScaleFinder::notFound);
        QSignalSpy cannotOpen(&finder, &ScaleFinder::cannotOpen);
        QSignalSpy found(&finder, &ScaleFinder::found);
        finder.find(port);
        QTRY_VERIFY_WITH_TIMEOUT(!finder.isRunning(), 5000);
        QCOMPARE(found.count(), 0);
        if (portThere) {
            QCOMPARE(tried, QStringList({"1/2 builtin 9600 8N1", "2/2 sics 9600 8N1"}));
            QCOMPARE(notFound.count(), 1);
            // The built-in unit request, ended by the next try's line end, would zero a SICS-style scale.
            const QList<QByteArray> lines = scales.at(0)->received().split('\n');
            QVERIFY2(!lines.contains("Z\r") && !lines.contains("T\r"), scales.at(0)->received().toPercentEncoding().constData());
        } else {
            QCOMPARE(tried, QStringList("1/2 builtin 9600 8N1"));
            QCOMPARE(cannotOpen.count(), 1);
            QVERIFY(cannotOpen.at(0).at(0).toString().contains("No such file"));
        }
    }
    // Cancelled within a try, the search says nothing more and lets go of the port.
    void cancelStopsTheSearchAndFreesThePort()
    {
        ScaleOnPty scales;
        QVERIFY(scales.add());
        scales.at(0)->setSilent(true);
        const QString terminal = scales.at(0)->terminalPath();
        ScaleFinder finder;
        QSignalSpy trying(&finder, &ScaleFinder::trying);
        QSignalSpy notFound(&finder, &ScaleFinder::notFound);
        finder.find(scales.port(0));
        QTRY_COMPARE(openDescriptorsOn(terminal), 2); // the scale's own end and the try's
        finder.cancel();
        QVERIFY(!finder.isRunning());
        QTRY_COMPARE(openDescriptorsOn(terminal), 1);
        QTest::qWait(600); // longer than a try
        QCOMPARE(trying.count(), 1);
        QCOMPARE(notFound.count(), 0);
    }
};

QTEST_MAIN(tst_ScaleFinder)
#include "tst_scalefinder.moc"
