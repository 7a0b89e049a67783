#include <QtTest>

#include "SaveSamples.h"
#include "ScaleSession.h"

// Events in order: a reading "value unit" ("~" first: one the scale does not call stable; the n-th reading
// came at 07:00:0n), or go, pause, step, record, sics (a kind whose replies mark stability), stable only,
// one per load, lot <name>, limits <low> <high> <unit> ("-": unset).
static void play(ScaleSession &session, const QStringList &events)
{
    int n = 0;
    for (const QString &event : events) {
        const QStringList words = event.split(' ');
        if (event == "go")
            session.go();
        else if (event == "pause")
            session.pause();
        else if (event == "step")
            session.step();
        else if (event == "record")
            session.setRecording(true);
        else if (event == "sics")
            session.setScaleType(ScaleProtocol::Sics);
        else if (event == "stable only" || event == "one per load")
            session.setCaptureMode(event == "stable only" ? CaptureFilter::StableOnly : CaptureFilter::OnePerLoad);
        else if (words[0] == "lot")
            session.setLot(words[1]);
        else if (words[0] == "limits") {
            WeightLimits limits;
            limits.low = words[1] == "-" ? std::nullopt : std::optional<double>(words[1].toDouble());
            limits.high = words[2] == "-" ? std::nullopt : std::optional<double>(words[2].toDouble());
            limits.unit = words[3];
            session.setLimits(limits);
        } else {
            if (event.startsWith('~'))
                session.setStable(false);
            session.take(event.section(' ', 0, -2).mid(event.startsWith('~')), event.section(' ', -1),
                         QDateTime(QDate(2024, 5, 6), QTime(7, 0, ++n)));
        }
    }
}

// A session driven without any widget, as the link and the operator drive a window's.
class tst_Session : public QObject
{
    Q_OBJECT

private slots:
    // What a session plots, takes (kind, value, unit, lot, verdict) and writes to its recorder's file, and the
    // statistics of what it took.
    void aSessionTakesWhatItsModesSay_data()
    {
        QTest::addColumn<QStringList>("events"); QTest::addColumn<QString>("plotted");
        QTest::addColumn<QStringList>("taken"); QTest::addColumn<QString>("statistics");
        QTest::addColumn<QStringList>("written");
        const QString none = "Statistics: no reading taken yet";
        QTest::newRow("paused, readings are only shown") << QStringList{"record", "12.50 kg", "13.00 kg"} << ""
            << QStringList() << none << QStringList();
        QTest::newRow("running, each is taken as the scale sent it, less blanks")
            << QStringList{"record", "go", "  12.50 kg", "13,00 kg"} << "12.5 13" << QStringList{"auto 12.50 kg", "auto 13,00 kg"}
            << "Count: 2   Mean: 12.750 kg   Std. dev.: 0.354 kg   Min: 12.50 kg   Max: 13.00 kg"
            << QStringList{"auto\t12.50\tkg\t06.05.2024\t 07:00:01.000", "auto\t13,00\tkg\t06.05.2024\t 07:00:02.000"};
        QTest::newRow("step takes the reading on show once, with the time it came")
            << QStringList{"record", "go", "12.50 kg", "pause", "13.00 kg", "14.00 kg", "step", "15.00 kg"} << "12.5 14"
            << QStringList{"auto 12.50 kg", "step 14.00 kg"}
            << "Count: 2   Mean: 13.250 kg   Std. dev.: 1.061 kg   Min: 12.50 kg   Max: 14.00 kg"
            << QStringList{"auto\t12.50\tkg\t06.05.2024\t 07:00:01.000", "step\t14.00\tkg\t06.05.2024\t 07:00:03.000"};
        QTest::newRow("not recording, taken all the same") << QStringList{"go", "12.50 kg", "step"} << "12.5 12.5"
            << QStringList{"auto 12.50 kg", "step 12.50 kg"}
            << "Count: 2   Mean: 12.500 kg   Std. dev.: 0.000 kg   Min: 12.50 kg   Max: 12.50 kg" << QStringList();
        QTest::newRow("a placeholder is not taken, nor by a step")
            << QStringList{"go", "12.50 kg", "---- --- --", "step", "13.00 kg"} << "12.5" << QStringList{"auto 12.50 kg"}
            << "Count: 1   Mean: 12.500 kg   Std. dev.: \u2013   Min: 12.50 kg   Max: 12.50 kg" << QStringList();
        QTest::newRow("stable only")
            << QStringList{"stable only", "go", "~12.00 g", "12.50 g", "~13.00 g", "13.50 g"} << "12 12.5 13 13.5"
            << QStringList{"auto 12.50 g", "auto 13.50 g"}
            << "Count: 2   Mean: 13.000 g   Std. dev.: 0.707 g   Min: 12.50 g   Max: 13.50 g" << QStringList();
        QTest::newRow("one per load, a load at once from a kind that marks stability")
            << QStringList{"sics", "one per load", "go", "~10.00 g", "10.00 g", "~0.00 g", "0.00 g", "~10.00 g", "10.00 g"}
            << "10 10 0 0 10 10" << QStringList{"auto 10.00 g", "auto 10.00 g"}
            << "Count: 2   Mean: 10.000 g   Std. dev.: 0.000 g   Min: 10.00 g   Max: 10.00 g" << QStringList();
        QTest::newRow("one per load, the same piece again after the scale is emptied")
            << QStringList{"one per load", "go", "10.00 kg", "10.00 kg", "10.00 kg", "0.00 kg", "0.00 kg", "0.00 kg",
                           "10.00 kg", "10.00 kg", "10.00 kg"} << "10 10 10 0 0 0 10 10 10"
            << QStringList{"auto 10.00 kg", "auto 10.00 kg"}
            << "Count: 2   Mean: 10.000 kg   Std. dev.: 0.000 kg   Min: 10.00 kg   Max: 10.00 kg" << QStringList();
        QTest::newRow("one per load, a time-out ends a run of equal readings")
            << QStringList{"one per load", "go", "5.00 kg", "5.00 kg", "---- --- --", "5.00 kg", "7.00 kg", "7.00 kg",
                           "7.00 kg"} << "5 5 5 7 7 7" << QStringList{"auto 7.00 kg"}
            << "Count: 1   Mean: 7.000 kg   Std. dev.: \u2013   Min: 7.00 kg   Max: 7.00 kg" << QStringList();
        QTest::newRow("all below zero") << QStringList{"go", "-2.50 kg", "-1.25 kg"} << "-2.5 -1.25"
            << QStringList{"auto -2.50 kg", "auto -1.25 kg"}
            << "Count: 2   Mean: -1.875 kg   Std. dev.: 0.884 kg   Min: -2.50 kg   Max: -1.25 kg" << QStringList();
        QTest::newRow("another unit starts the statistics again") << QStringList{"go", "5.00 kg", "---- --- --", "7.50 g"}
            << "5 7.5" << QStringList{"auto 5.00 kg", "auto 7.50 g"}
            << "Count: 1   Mean: 7.500 g   Std. dev.: \u2013   Min: 7.50 g   Max: 7.50 g" << QStringList();
        QTest::newRow("limits judge each record, a new lot starts the statistics again")
            << QStringList{"limits 12.5 - kg", "lot L-7", "go", "12.50 kg", "12.00 kg", "lot L-8", "13.00 kg",
                           "limits - 12 g", "14.00 kg"} << "12.5 12 13 14"
            << QStringList{"auto 12.50 kg L-7 ok", "auto 12.00 kg L-7 under", "auto 13.00 kg L-8 ok", "auto 14.00 kg L-8"}
            << "Count: 2   Mean: 13.500 kg   Std. dev.: 0.707 kg   Min: 13.00 kg   Max: 14.00 kg" << QStringList();
    }
    void aSessionTakesWhatItsModesSay()
    {
        QFETCH(QStringList, events); QFETCH(QString, plotted); QFETCH(QStringList, taken); QFETCH(QString, statistics);
        QFETCH(QStringList, written);
        QTemporaryDir dir;
        ScaleSession session;
        auto *recorder = new SaveSamples;
        session.setRecorder(recorder);
        QVERIFY(recorder->open(dir.filePath("records.txt")));
        QStringList points, records;
        connect(&session, &ScaleSession::plotted, &session, [&points](int, double value) { points << QString::number(value); });
        connect(&session, &ScaleSession::taken, &session, [&records](const SampleRecord &record) {
            records << QStringList{record.kind, record.value, record.units, record.lot, record.verdict}.join(' ').trimmed();
        });
        play(session, events);
        QCOMPARE(points.join(' '), plotted);
        QCOMPARE(records, taken);
        QCOMPARE(session.statistics().text('.'), statistics);
        QFile file(dir.filePath("records.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(file.readAll()).split("\r\n\r", Qt::SkipEmptyParts), written);
    }
};

QTEST_GUILESS_MAIN(tst_Session)
#include "tst_session.moc"
