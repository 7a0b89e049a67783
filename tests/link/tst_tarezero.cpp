#include <QtTest>
#include "FaultSupport.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "ScaleOnPty.h"

using P = ScaleProtocol;

// Tare and zero on a pseudo-terminal, each kind's simulator answering: the bytes the link sends, what it
// makes of the answer, and the reading that follows.
class tst_TareZero : public QObject
{
    Q_OBJECT

private slots:
    void aCommandIsSentBetweenReadingsAndItsAnswerTold_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("stable");
        QTest::addColumn<bool>("refusing");
        QTest::addColumn<QList<QByteArray>>("scripted"); // the answer in place of the scale's, its pieces
        QTest::addColumn<QByteArray>("sent");            // all the link sent but its value requests
        QTest::addColumn<QString>("told");               // "done <answer>" or "not <answer>"
        QTest::addColumn<QString>("after");              // the reading at a gross weight of 112.5, if any
        const int T = P::Tare, Z = P::Zero;
        const QList<QByteArray> own;
        const auto add = [](const char *name, P::Type type, int command, bool stable, bool refusing,
                            const QList<QByteArray> &scripted, const QByteArray &sent, const char *told,
                            const char *after) {
            QTest::newRow(qPrintable(P::key(type) + ": " + name))
                << int(type) << command << stable << refusing << scripted << sent << QString(told) << QString(after);
        };
        add("tare", P::Sics, T, true, false, own, "T\r\n", "done T S     100.00 g", "12.50 g");
        add("tare in motion", P::Sics, T, false, false, own, "TI\r\n", "done TI D     100.00 g", "12.50 g moving");
        add("zero", P::Sics, Z, true, false, own, "Z\r\n", "done Z A", "12.50 g");
        add("zero in motion", P::Sics, Z, false, false, own, "ZI\r\n", "done ZI D", "12.50 g moving");
        add("tare refused", P::Sics, T, true, true, own, "T\r\n", "not T I", "112.50 g");
        add("syntax error", P::Sics, T, true, false, {"ES\r\n"}, "T\r\n", "not ES", "112.50 g");
        add("no answer", P::Sics, T, true, false, {""}, "T\r\n", "not ", "112.50 g");
        add("a reading, then the answer", P::Sics, T, true, false, {"S S     100.00 g\r\n", "T S     100.00 g\r\n"},
            "T\r\n", "done T S     100.00 g", "112.50 g");
        add("the other command's answer", P::Sics, T, true, false, {"Z A\r\n"}, "T\r\n", "not ", "112.50 g");
        add("tare", P::SicsMarked, T, true, false, own, "T\r\n", "done T S     100.00 kg", "12.50 kg");
        add("tare, acknowledged", P::HeaderComma, T, true, false, own, "T\r\n", "done \\x06", "+00012.50 g");
        add("tare, error frame", P::HeaderComma, T, true, true, own, "T\r\n", "not EC,E11", "+00112.50 g");
        add("a reading, then the acknowledgement", P::HeaderComma, T, true, false, {"ST,+00100.00  g\r\n", "\x06"},
            "T\r\n", "done \\x06", "+00112.50 g");
        add("no acknowledgement", P::HeaderComma, T, true, false, {""}, "T\r\n", "done ", "+00112.50 g");
        add("tare", P::PrintFrame, T, true, false, own, "\x1bT", "done ", "+12.50 g");
        add("zero", P::PrintFrame, Z, true, false, own, "\x1bV", "done ", "+12.50 g");
        add("tare", P::SmaLevel1, T, true, false, own, "\nT\r", "done Z1G       0.000lb", "12.500 lb");
        add("zero error", P::SmaLevel1, Z, true, true, own, "\nZ\r", "not E1G     100.000lb", "112.500 lb");
        // Typed as TARA\r\n and \x1bZ; this one sends on its print key only.
        add("the operator's tare", P::Ascii, T, true, false, own, "TARA\r\n", "done ", "");
        add("the operator's zero", P::Ascii, Z, true, false, own, "\x1bZ", "done ", "");
    }
    void aCommandIsSentBetweenReadingsAndItsAnswerTold()
    {
        QFETCH(int, type); QFETCH(int, command); QFETCH(bool, stable); QFETCH(bool, refusing);
        QFETCH(QList<QByteArray>, scripted); QFETCH(QString, told); QFETCH(QString, after); QFETCH(QByteArray, sent);
        TraceLog traces;
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Type(type));
        QVERIFY(scale);
        scale->setRefusing(refusing);
        scale->setStable(stable);
        double gross = 100;
        scale->setWeight(gross);
        connect(scale, &ScaleSimulator::replySent, scale, [&] { scale->setWeight(gross); }); // no wandering
        if (!scripted.isEmpty()) {
            scale->queueCommandReplies({scripted.first()});
            // The rest in writes of their own, while the link waits for the answer.
            connect(scale, &ScaleSimulator::commandReceived, scale, [&] {
                for (const QByteArray &piece : scripted.mid(1))
                    QTimer::singleShot(0, scale, [scale, piece] { scale->send(piece); });
            });
        }
        ScaleSetup setup(P::Type(type), scale->expectedSettings());
        setup.ascii.tareCommand = "TARA\\r\\n";
        setup.ascii.zeroCommand = "\\x1bZ";
        setup.printKey = type == P::Ascii;
        LinkThread link(scale->portPath(), setup);
        QStringList said;
        bool moving = false;
        connect(&link, &LinkThread::readingStable, &link, [&](bool isStable) { moving = !isStable; });
        connect(&link, &LinkThread::newSample, &link, [&](const QString &value, const QString &units) {
            said << value + ' ' + units + (moving ? " moving" : "");
        });
        QSignalSpy ready(&link, &LinkThread::linkReady);
        link.start();
        QVERIFY(ready.wait(5000));
        QStringList answers;
        QObject receiver;
        link.inLink([&](IODeviceNew *device) {
            connect(device, &IODeviceNew::commandAnswered, &receiver, [&](int answered, bool done, const QString &text) {
                answers << QString::number(answered) + (done ? " done " : " not ") + text;
            });
            device->setRefreshRate(150);
        });
        QTRY_VERIFY_WITH_TIMEOUT(!said.isEmpty() || after.isEmpty(), 5000);
        link.inLink([&](IODeviceNew *device) { device->sendCommand(command); });
        QTRY_VERIFY_WITH_TIMEOUT(!answers.isEmpty(), 5000);
        QCOMPARE(answers, QStringList {QString::number(command) + ' ' + told});
        gross = 112.5;
        said.clear();
        QTRY_VERIFY_WITH_TIMEOUT(after.isEmpty() || (said.size() >= 2 && said.last() == after), 5000);
        QVERIFY2(said.filter(QRegularExpression("^-")).isEmpty(), qPrintable(said.join('|'))); // no placeholder
        const QMap<int, QByteArray> asks {{P::Sics, "SI\r\n"},   {P::SicsMarked, "SI\r\n"},
                                           {P::HeaderComma, "Q\r\n"}, {P::PrintFrame, "\x1bP"},
                                           {P::SmaLevel1, "\nW\r"}};
        QCOMPARE(scale->received().replace(asks.value(type), ""), sent);
        QCOMPARE(traces.count("timeout() reset portu: true"), 0);
    }

    // A command asked for while a request awaits its reply goes out after that reply, at once and not a sampling
    // period later; a reading is asked for right after its answer.
    void aCommandWaitsForTheReplyOnItsWayAndNoLonger()
    {
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(P::Sics);
        QVERIFY(scale);
        scale->setReplyDelay(300);
        LinkThread link(scale->portPath(), ScaleSetup {P::Sics, scale->expectedSettings()});
        QStringList line; // what the scale heard and said, in order
        connect(scale, &ScaleSimulator::requestReceived, scale, [&] {
            if (line.isEmpty())
                link.inLink([](IODeviceNew *device) { device->sendCommand(P::Tare); });
            line << "SI";
        });
        connect(scale, &ScaleSimulator::commandReceived, scale, [&](const QByteArray &bytes) { line << bytes; });
        connect(scale, &ScaleSimulator::replySent, scale, [&](const QByteArray &bytes) { line << bytes.left(3); });
        QSignalSpy ready(&link, &LinkThread::linkReady);
        link.start();
        QVERIFY(ready.wait(5000));
        link.inLink([](IODeviceNew *device) { device->setRefreshRate(30000); });
        QTRY_VERIFY_WITH_TIMEOUT(line.size() >= 6, 10000);
        QCOMPARE(line, (QStringList {"SI", "S S", "T\r\n", "T S", "SI", "S S"}));
    }
};

QTEST_GUILESS_MAIN(tst_TareZero)
#include "tst_tarezero.moc"
