#include <QSerialPort>

#include "CsvReader.h"
#include "FaultSupport.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "LocalClock.h"
#include "SaveSamples.h"
#include "ScaleOnPty.h"

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// The scale link as the scale sees it on the line and a device window in its
// readings, and the recording file as the operator reads it later. Each link
// runs on a worker thread with a scale on a real pseudo-terminal; the links a
// _data function starts run side by side, so its rows' time-outs pass together.
class tst_Link : public QObject
{
    Q_OBJECT

    struct Link : QObject
    {
        ~Link() override { delete thread; } // quits and joins the worker
        ScaleSimulator *scale = nullptr;
        LinkThread *thread = nullptr;
        QStringList readings;   // "value units", as the read-out shows them
        QStringList reasons;    // why there was no reading: "Cause" or "Cause: detail"
        QList<int> askedBefore; // value requests the scale had got at each reading
        QList<qint64> requests; // when each request reached the scale, in ms
    };
    using Pieces = QList<ScaleOnPty::Piece>;
    static QByteArray frame(int n) { return ScaleOnPty::crFrame(n); }

    // Starts a scale, answered by script (or by the simulator itself), and a
    // link on its port once first has prepared both; returns the link's index.
    // The links of an earlier test function are stopped first.
    int launch(const ScaleOnPty::Script &script = {}, const std::function<void(Link *)> &first = {})
    {
        if (owner != QTest::currentTestFunction())
            cleanupTestCase();
        owner = QTest::currentTestFunction();
        auto *l = new Link;
        links << l;
        if (!(l->scale = pty->add()))
            qFatal("no pseudo-terminal");
        if (script)
            pty->answer(links.size() - 1, script);
        l->thread = new LinkThread(l->scale->portPath());
        connect(l->thread, &LinkThread::newSample, l, [l](const QString &value, const QString &units) {
            l->readings << value + ' ' + units;
            l->askedBefore << l->scale->received().count('A');
        });
        connect(l->thread, &LinkThread::noReading, l, [l](int cause, const QString &detail) {
            const QString name = QMetaEnum::fromType<IODeviceNew::NoReadingCause>().valueToKey(cause);
            l->reasons << (detail.isEmpty() ? name : name + QStringLiteral(": ") + detail);
        });
        connect(l->scale, &ScaleSimulator::requestReceived, l, [l](char, qint64 atMs) { l->requests << atMs; });
        if (first)
            first(l);
        l->thread->start();
        if (!QSignalSpy(l->thread, &LinkThread::linkReady).wait(5000)) // queued: not missed
            qFatal("the link's thread did not start");
        return links.size() - 1;
    }

    QList<Link *> links;
    QScopedPointer<ScaleOnPty> pty{new ScaleOnPty};
    QString owner;
    QTemporaryDir dir; // for the recording files
    static QByteArray contents(const QString &name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void cleanupTestCase()
    {
        qDeleteAll(links); // before their scales
        links.clear();
        pty.reset(new ScaleOnPty);
    }

    void onlyWholeRepliesAreTaken_data()
    {
        QTest::addColumn<bool>("unit");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("quiet"); // no byte came since the last look
        QTest::addColumn<QString>("taken");
        auto row = [](bool unit, const char *name, const QByteArray &reply, const char *taken, bool quiet = false) {
            QTest::newRow(name) << unit << reply << quiet << QString(taken);
        };
        row(false, "CR LF frame, minus kept", "  -0.015\r\n", "-0.015");
        row(false, "exponent", "    1.5e2\r", "1.5e2");
        row(false, "a NUL ends the text", QByteArray("3.25\0xyz\r\n", 10), "3.25");
        row(false, "line ends before the number", "\r\n  12.34\r", "12.34");
        row(false, "no line end, line quiet", "    12.345", "12.345", true);
        row(false, "no line end yet", "    12.345", "<wait>");
        row(false, "a line end inside the number", "  12.3\r\n45", "<reject>");
        row(false, "ten blanks", "          ", "<reject>", true);
        row(false, "comma", "   12,345\r", "<reject>");
        row(false, "a tab", "  12.345\t\r", "<reject>");
        row(false, "nan", "      nan\r", "<reject>");
        row(true, "kg.", "kg.\r\n", "kg.");
        row(true, "szt, line quiet", "szt", "szt", true);
        row(true, "one byte", "g", "<wait>", true);
        row(true, "two letters, more to come", "sz", "<wait>");
        row(true, "a letter more", "kg x\r\n", "<reject>");
    }
    void onlyWholeRepliesAreTaken()
    {
        QFETCH(bool, unit);
        QFETCH(QByteArray, reply);
        QFETCH(bool, quiet);
        QFETCH(QString, taken);
        QString result; // written only when taken
        const int verdict = unit ? IODeviceNew::unitFromReply(reply, quiet, &result)
                                 : IODeviceNew::valueFromReply(reply, quiet, &result);
        QCOMPARE((verdict == IODeviceNew::Incomplete ? "<wait>" : verdict == IODeviceNew::Rejected ? "<reject>" : "")
                     + result, taken);
    }

    void recordsAreAppendedWholeAndEndWithCrLfCr()
    {
        const QString path = dir.filePath("samples.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier notes\n") && old.flush());
        SaveSamples recorder;
        recorder.setFileName(path);
        QVERIFY(recorder.open());
        QCOMPARE(contents(path), QByteArray("earlier notes\n")); // nothing at open
        // The name and the stability are not in a classic record.
        recorder.addRecord({"auto", "12.345", "kg", QDateTime({2026, 12, 5}, {8, 31, 27, 123}), false, "Line 2", {}, {}});
        const QByteArray first = "earlier notes\nauto\t12.345\tkg\t05.12.2026\t 08:31:27.123\r\n\r";
        QCOMPARE(contents(path), first); // on disk at once
        recorder.close();
        recorder.addSample("while off");
        QVERIFY(recorder.open()); // Record off and on again: the same file goes on
        recorder.addSample("step\t-0.015\tg\t05.12.2026\t 08:31:28.000");
        QCOMPARE(contents(path), first + "step\t-0.015\tg\t05.12.2026\t 08:31:28.000\r\n\r");
    }

    // A spreadsheet reads back what the scale sent: the value with the dialect's decimal separator, quoted
    // when it holds a comma; a field holding a comma, a semicolon, a tab, a quote or a line end in one field
    // in either dialect; the operator's text that would start a formula behind an apostrophe.
    void csvRowsReadBackAsTheyWereWritten_data()
    {
        QTest::addColumn<int>("dialect"); QTest::addColumn<QString>("separator");
        QTest::addColumn<QByteArray>("firstRow"); QTest::addColumn<QStringList>("rows");
        QTest::newRow("comma and decimal point") << int(RecordFormat::CsvComma) << ","
            << QByteArray("2026-12-05T08:31:27.123,+01:00,\"Line \"\"A\"\", 2; left\",'=1+1,auto,12.345,kg,no,over\r\n")
            << QStringList{"time,utc_offset,scale,lot,kind,value,unit,stable,limits",
                           "2026-12-05T08:31:27.123|+01:00|Line \"A\", 2; left|'=1+1|auto|12.345|kg|no|over",
                           "2026-12-05T07:31:28.000|+00:00|'-x|'@SUM(A1)|step|-0.015|g|yes|",
                           "2026-12-05T04:01:27.123|-03:30|'\tT|'\rR|auto|12.50|'+kg|yes|under"};
        QTest::newRow("semicolon and decimal comma") << int(RecordFormat::CsvSemicolon) << ";"
            << QByteArray("2026-12-05T08:31:27.123;+01:00;\"Line \"\"A\"\", 2; left\";'=1+1;auto;\"12,345\";kg;no;over\r\n")
            << QStringList{"time;utc_offset;scale;lot;kind;value;unit;stable;limits",
                           "2026-12-05T08:31:27.123|+01:00|Line \"A\", 2; left|'=1+1|auto|12,345|kg|no|over",
                           "2026-12-05T07:31:28.000|+00:00|'-x|'@SUM(A1)|step|-0,015|g|yes|",
                           "2026-12-05T04:01:27.123|-03:30|'\tT|'\rR|auto|12,50|'+kg|yes|under"};
    }
    void csvRowsReadBackAsTheyWereWritten()
    {
        QFETCH(int, dialect); QFETCH(QString, separator); QFETCH(QByteArray, firstRow); QFETCH(QStringList, rows);
        const QString path = dir.filePath(QTest::currentDataTag() + QString(".csv"));
        const QDateTime at({2026, 12, 5}, {8, 31, 27, 123}, Qt::OffsetFromUTC, 3600);
        SaveSamples recorder;
        recorder.setFormat(RecordFormat::Kind(dialect));
        QVERIFY(recorder.open(path));
        recorder.addRecord({"auto", "12.345", "kg", at, false, "Line \"A\", 2; left", "=1+1", "over"});
        recorder.close();
        QVERIFY(recorder.open(path)); // the header only once, at the start of an empty file
        recorder.addRecord({"step", "-0.015", "g", at.addMSecs(877).toOffsetFromUtc(0), true, "-x", "@SUM(A1)", ""});
        recorder.addRecord({"auto", "12,50", "+kg", at.toOffsetFromUtc(-12600), true, "\tT", "\rR", "under"});
        QVERIFY(contents(path).startsWith(rows[0].toLatin1() + "\r\n" + firstRow));
        QStringList read;
        for (const QStringList &row : csvRows(path, separator[0]))
            read << row.join('|');
        rows[0].replace(separator, "|");
        QCOMPARE(read, rows);
    }

    // The link's time stamps are local time with the offset of their own moment, also when a change of offset
    // falls between two of them; asked in turn of one clock, in Warsaw, around the changes of 2026.
    void timeStampsKeepTheOffsetOfTheirMoment_data()
    {
        QTest::addColumn<QList<qint64>>("asked"); QTest::addColumn<QStringList>("stamps");
        const qint64 spring = 1774746000000, autumn = 1792890000000; // 2026-03-29 and 2026-10-25, 01:00 UTC
        QTest::newRow("spring, learnt 30 s before") << QList<qint64>{spring - 30000, spring - 1, spring}
            << QStringList{"01:59:30.000+01:00", "01:59:59.999+01:00", "03:00:00.000+02:00"};
        QTest::newRow("spring, learnt 90 s before") << QList<qint64>{spring - 90000, spring - 1000, spring + 500}
            << QStringList{"01:58:30.000+01:00", "01:59:59.000+01:00", "03:00:00.500+02:00"};
        QTest::newRow("autumn") << QList<qint64>{autumn - 59999, autumn - 1, autumn, autumn + 3599999}
            << QStringList{"02:59:00.001+02:00", "02:59:59.999+02:00", "02:00:00.000+01:00", "02:59:59.999+01:00"};
        QTest::newRow("clock set back") << QList<qint64>{spring + 10000, spring - 10000}
            << QStringList{"03:00:10.000+02:00", "01:59:50.000+01:00"};
    }
    void timeStampsKeepTheOffsetOfTheirMoment()
    {
        QFETCH(QList<qint64>, asked); QFETCH(QStringList, stamps);
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Warsaw");
        LocalClock clock;
        QStringList made;
        for (qint64 at : asked)
            made << clock.at(at).toString(Qt::ISODateWithMs).mid(11);
        zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
        tzset();
        QCOMPARE(made, stamps);
    }

    // A file keeps one format, and a CSV file the columns of its header: records of another format, or rows
    // under the header of an older column layout, are refused, and the file stays as it was.
    void aFileOfAnotherFormatIsRefused_data()
    {
        QTest::addColumn<QByteArray>("held"); QTest::addColumn<int>("added");
        QTest::addColumn<QString>("failure"); QTest::addColumn<QString>("refusal");
        const QString csv = "it holds records in the format \"CSV, comma and decimal point\"";
        const QString older = "it holds records in an older column layout";
        QTest::newRow("CSV into classic, torn") << QByteArray("auto\t1\tkg\t05.12.2026\t 08:31:27.123\r\n\rauto\t2")
            << int(RecordFormat::CsvComma) << "it holds records in the format \"Classic (tab-separated)\"" << "keeps one format";
        QTest::newRow("classic into CSV, torn")
            << QByteArray("time,utc_offset,scale,lot,kind,value,unit,stable,limits\r\n2026-12-05T08:3")
            << int(RecordFormat::Classic) << csv << "keeps one format";
        QTest::newRow("semicolons into commas") << QByteArray("time,utc_offset,scale,lot,kind,value,unit,stable,limits\r\n")
                                                << int(RecordFormat::CsvSemicolon) << csv << "keeps one format";
        QTest::newRow("classic into the older commas") << QByteArray("time,scale,kind,value,unit,stable\r\n")
                                                       << int(RecordFormat::Classic) << csv << "keeps one format";
        QTest::newRow("the older commas, torn") << QByteArray("time,scale,kind,value,unit,stable\r\n2026-12-05T08:3")
                                                << int(RecordFormat::CsvComma) << older << "Choose a new file";
        QTest::newRow("the older semicolons")
            << QByteArray("time;scale;kind;value;unit;stable\r\n2026-12-05T08:31:27.123+01:00;;auto;1;kg;yes\r\n")
            << int(RecordFormat::CsvSemicolon) << older << "Choose a new file";
    }
    void aFileOfAnotherFormatIsRefused()
    {
        QFETCH(QByteArray, held); QFETCH(int, added); QFETCH(QString, failure); QFETCH(QString, refusal);
        const QString path = dir.filePath(QTest::currentDataTag());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(held) == held.size());
        file.close();
        SaveSamples recorder;
        recorder.setFormat(RecordFormat::Kind(added));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not open the file"));
        QVERIFY(!recorder.open(path));
        QVERIFY2(recorder.formatRefusal().contains(refusal), qPrintable(recorder.formatRefusal()));
        QCOMPARE(recorder.openFailure(), failure);
        recorder.addRecord({"auto", "2", "kg", QDateTime::currentDateTime(), true, {}, {}, {}});
        QCOMPARE(contents(path), held);
    }

    void aFileThatCannotBeOpenedGetsNothing()
    {
        SaveSamples recorder;
        recorder.setFileName(dir.filePath("missing/samples.txt")); // no such folder, even for root
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not open the file"));
        QVERIFY(!recorder.open());
        QCOMPARE(recorder.openFailure(), qt_error_string(ENOENT));
        recorder.addSample("lost");
        QVERIFY(!QFile::exists(recorder.fileName()));
        recorder.setFormat(RecordFormat::CsvComma); // no room for the header of a new file
        {
            FileSizeLimit full(0);
            QVERIFY(!recorder.open(dir.filePath("no room.csv")));
        }
        QCOMPARE(recorder.openFailure(), qt_error_string(EFBIG));
    }

    // Only the bytes after the last whole record go, when they can be nothing but a record or a header cut
    // short; they are told, and the next record follows the last whole one.
    void aTornEndIsTakenOffAndNothingElse_data()
    {
        QTest::addColumn<int>("format"); QTest::addColumn<QByteArray>("held");
        QTest::addColumn<QByteArray>("removed"); // the rest is kept
        const QByteArray whole = "auto\t1.000\tkg\t01.02.2024\t 06:00:00.000\r\n\r";
        const QByteArray header = "time,utc_offset,scale,lot,kind,value,unit,stable,limits\r\n",
                         row = "2024-02-01T06:00:00.000,+01:00,L,,auto,1.000,kg,yes,\r\n";
        auto add = [](const char *name, RecordFormat::Kind format, const QByteArray &kept, const QByteArray &removed) {
            QTest::newRow(name) << int(format) << kept + removed << removed;
        };
        const auto C = RecordFormat::Classic, Comma = RecordFormat::CsvComma;
        add("classic, torn in the value", C, whole, "auto\t12.3");
        add("classic, torn in the record end", C, whole, "step\t2\tg\t01.02.2024\t 06:00:01.000\r\n");
        add("classic, the first record torn", C, "", "au");
        add("classic, NULs after a record", C, whole, QByteArray(5, '\0'));
        add("classic, someone's line", C, "step counter", "");
        add("classic, someone's text after records", C, whole + "note\n", "");
        add("classic, blank lines of someone's", C, "a\r\n\r\nb", "");
        add("classic, no record end in the last 4 KiB", C, whole + QByteArray(5000, 'x'), "");
        add("CSV, torn in the value", Comma, header + row, "2024-02-01T06:00:01.000,+01:00,L,,auto,12");
        add("CSV, torn in the time", Comma, header, "2024-02-0");
        add("CSV, torn in a name after its line end", Comma, header + row, "2024-02-01T06:00:01.000,+01:00,\"L\r\n2\",,au");
        add("CSV, torn in the offset", Comma, header + row, "2024-02-01T06:00:01.000,+0");
        add("CSV, torn in a lot before its line end", Comma, header + row, "2024-02-01T06:00:01.000,+01:00,L,\"B\r\n");
        add("CSV, a whole row with a line end in its name", Comma, header + "2024-02-01T06:00:01.000,+01:00,\"L\r\n2\",,auto,1,kg,no,\r\n", "");
        add("CSV, an older row after the rows", Comma, header + row + "2024-02-01T06:00:01.000+01:00,L,auto,1", "");
        add("CSV, a time and someone's note after the rows", Comma, header + row + "2024-02-01T06:00:01.000,note", "");
        add("CSV, someone's line after the rows", Comma, header + row + "total,1", "");
        add("CSV, the header torn", Comma, "", "time,sca");
        add("CSV, the header torn in its line end", Comma, "", "time,utc_offset,scale,lot,kind,value,unit,stable,limits\r");
        add("CSV, the older header torn", Comma, "", "time,scale,kind,value,unit,stable\r");
        add("semicolons, the header torn", RecordFormat::CsvSemicolon, "", "time;utc_offset;sc");
        add("classic, a CSV header torn", C, "", "time,scale");
    }
    void aTornEndIsTakenOffAndNothingElse()
    {
        QFETCH(int, format); QFETCH(QByteArray, held); QFETCH(QByteArray, removed);
        const QString path = dir.filePath(QTest::currentDataTag());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(held) == held.size());
        file.close();
        SaveSamples recorder;
        recorder.setFormat(RecordFormat::Kind(format));
        QSignalSpy torn(&recorder, &SaveSamples::tornRecordRemoved);
        if (!removed.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("torn record taken off"));
        QVERIFY(recorder.open(path));
        recorder.addRecord({"step", "5", "g", QDateTime({2026, 12, 5}, {8, 31, 27, 123}, Qt::OffsetFromUTC, 3600), true, {}, {}, {}});
        QByteArray kept = held.left(held.size() - removed.size());
        if (kept.isEmpty() && format == RecordFormat::CsvComma)
            kept = "time,utc_offset,scale,lot,kind,value,unit,stable,limits\r\n";
        if (kept.isEmpty() && format == RecordFormat::CsvSemicolon)
            kept = "time;utc_offset;scale;lot;kind;value;unit;stable;limits\r\n";
        QCOMPARE(contents(path), kept + (format == RecordFormat::Classic ? "step\t5\tg\t05.12.2026\t 08:31:27.123\r\n\r"
                                                                          : format == RecordFormat::CsvComma ? "2026-12-05T08:31:27.123,+01:00,,,step,5,g,yes,\r\n"
                                                                                                             : "2026-12-05T08:31:27.123;+01:00;;;step;5;g;yes;\r\n"));
        QCOMPARE(torn.count(), removed.isEmpty() ? 0 : 1);
        QVERIFY(removed.isEmpty() || torn.at(0) == QVariantList({path, removed}));
    }

    void aFullDiskIsToldOncePerRecordingAndSoIsItsEnd()
    {
        const QString path = dir.filePath("full.txt");
        SaveSamples recorder;
        QSignalSpy failed(&recorder, &SaveSamples::writeFailed);
        QSignalSpy recovered(&recorder, &SaveSamples::writeRecovered);
        QVERIFY(recorder.open(path));
        recorder.addSample("a");
        {
            FileSizeLimit full(5); // room for the start of the next record only
            recorder.addSample("torn");
            recorder.addSample("lost");
        }
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0), QVariantList({path, qt_error_string(EFBIG)}));
        QCOMPARE(contents(path), QByteArray("a\r\n\r")); // whole records only
        recorder.addSample("b"); // room again: the records go on, and that is told once
        recorder.addSample("c");
        QCOMPARE(contents(path), QByteArray("a\r\n\rb\r\n\rc\r\n\r"));
        QCOMPARE(recovered.count(), 1);
        // A new recording's first trouble is news, though the one before it was failing still.
        for (const char *name : {"second.txt", "third.txt"}) {
            QVERIFY(recorder.open(dir.filePath(name)));
            FileSizeLimit full(0);
            recorder.addSample("lost");
        }
        QCOMPARE(failed.count(), 3);
        QCOMPARE(failed.at(2).at(0).toString(), dir.filePath("third.txt"));
        QVERIFY(recorder.open(dir.filePath("fourth.txt")));
        recorder.addSample("a"); // written at the first try: nothing was "written again"
        QCOMPARE(recovered.count(), 1);
        QCOMPARE(contents(dir.filePath("fourth.txt")), QByteArray("a\r\n\r"));
    }

    void onlyARegularFileOrANewNameIsRecordedInto_data()
    {
        QTest::addColumn<QString>("what"); // what is under the name
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("why"); // it is refused
        const QString special = "it is a device, a pipe or a socket, not a regular file",
                      link = "it is a symbolic link, and the program writes through none";
        QTest::newRow("a new name") << "" << true << "";
        QTest::newRow("a regular file") << "file" << true << "";
        QTest::newRow("a named pipe nobody reads") << "fifo" << false << special; // must not wait for a reader
        QTest::newRow("a named pipe being read") << "fifo, read" << false << special;
        QTest::newRow("a link to a regular file") << "link" << false << link;
        QTest::newRow("a device") << "/dev/null" << false << special;
        QTest::newRow("a folder") << "folder" << false << "it is a folder";
    }
    void onlyARegularFileOrANewNameIsRecordedInto()
    {
        QFETCH(QString, what);
        QFETCH(bool, taken);
        QFETCH(QString, why);
        const QString name = what == "/dev/null" ? what : dir.filePath(QTest::currentDataTag());
        const QByteArray path = QFile::encodeName(name);
        QFile kept(dir.filePath(QTest::currentDataTag() + QString(".target")));
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("kept") == 4);
        kept.close();
        QVERIFY(what != "file" || QFile::copy(kept.fileName(), name));
        QVERIFY(!what.startsWith("fifo") || ::mkfifo(path.constData(), 0600) == 0);
        QVERIFY(what != "link" || QFile::link(kept.fileName(), name));
        QVERIFY(what != "folder" || QDir().mkdir(name));
        const int reader = what == "fifo, read" ? ::open(path.constData(), O_RDONLY | O_NONBLOCK) : -1;
        SaveSamples recorder;
        if (!taken)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not open the file"));
        QCOMPARE(recorder.open(name), taken);
        QCOMPARE(recorder.openFailure(), why);
        QCOMPARE(SaveSamples::isRecordable(name), taken);
        recorder.addSample("a");
        QCOMPARE(contents(kept.fileName()), QByteArray("kept")); // nothing through a link
        char byte;
        QVERIFY(reader < 0 || (::read(reader, &byte, 1) <= 0 && ::close(reader) == 0));
        QVERIFY(!taken || contents(name).endsWith("a\r\n\r"));
    }

    // The file deleted while recording, or something else put under its name: the records go into a new
    // file under the name, never on into the nameless one the system would keep, nor through a link.
    void aFileGoneFromItsNameIsStartedAgain_data()
    {
        QTest::addColumn<QString>("put"); // under the name once the file is gone
        QTest::addColumn<QByteArray>("written"); // to the name, or where the link points
        QTest::newRow("nothing") << "" << QByteArray("b\r\n\rc\r\n\r");
        QTest::newRow("another file") << "file" << QByteArray("kept\nb\r\n\rc\r\n\r");
        QTest::newRow("a link to a file") << "link" << QByteArray("kept\n");
    }
    void aFileGoneFromItsNameIsStartedAgain()
    {
        QFETCH(QString, put);
        QFETCH(QByteArray, written);
        const QString path = dir.filePath(QTest::currentDataTag()), target = put == "link" ? path + ".target" : path;
        SaveSamples recorder;
        QSignalSpy recreated(&recorder, &SaveSamples::fileRecreated), failed(&recorder, &SaveSamples::writeFailed);
        QVERIFY(recorder.open(path));
        recorder.addSample("a");
        QVERIFY(QFile::remove(path));
        QFile other(target);
        QVERIFY(put.isEmpty() || (other.open(QIODevice::WriteOnly) && other.write("kept\n") == 5));
        other.close();
        QVERIFY(put != "link" || QFile::link(target, path));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(put == "link" ? "symbolic link" : "deleted while recording"));
        recorder.addSample("b");
        recorder.addSample("c");
        QCOMPARE(contents(target), written);
        QCOMPARE(std::make_pair(recreated.count(), failed.count()), put == "link" ? std::make_pair(0, 1) : std::make_pair(1, 0));
    }

    void traceLinesAreSilentUnlessSwitchedOn()
    {
        TraceLog traces; // catches them, and switches them on
        QLoggingCategory::setFilterRules(QString());
        delete new SaveSamples;
        QCOMPARE(traces.count("C? SaveSamples"), 0);
        QLoggingCategory::setFilterRules("scaleacq.*.debug=true");
        delete new SaveSamples;
        QCOMPARE(traces.count("C? SaveSamples"), 1);
    }

    void eachReadingAnswersItsOwnRequest_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("placeholders"); // at most, where the habit costs a time-out
        // The scale answers the n-th value request with the weight n; the
        // third request meets the habit where it is a one-off.
        auto row = [this](const char *name, int placeholders, std::function<Pieces(int)> value,
                          const Pieces &unit = {{0, "kg\r\n"}}) {
            QTest::newRow(name) << launch([=](char request, int n) { return request == 'Z' ? unit : value(n); })
                                << placeholders;
        };
        auto ten = [](int n) { return QByteArray::number(n).rightJustified(10, '0'); }; // n in ten digits
        // The unit's line end trails it by 120 ms, and must not shift every frame after it.
        row("CR frames after a split unit reply", 0, [](int n) { return Pieces{{0, frame(n)}}; },
            {{0, "kg"}, {120, "\r\n"}});
        row("CR LF frames of eleven bytes", 0, [](int n) { return Pieces{{0, frame(n) + '\n'}}; });
        row("ten digits and a CR", 0, [=](int n) { return Pieces{{0, ten(n) + '\r'}}; });
        row("digits beyond the frame", 1, [=](int n) { return Pieces{{0, n == 3 ? "   " + ten(n) + '\r' : frame(n)}}; });
        row("pieces across the polls", 0, [](int n) { return Pieces{{0, frame(n).left(4)}, {70, frame(n).mid(4)}}; });
        row("a reply 900 ms late", 0, [](int n) { return Pieces{{n == 3 ? 900 : 0, frame(n)}}; });
        row("a reply during the reset", 1, [](int n) { return Pieces{{n == 3 ? 1020 : 0, frame(n)}}; });
        row("a reply after the reopen", 2, [](int n) { return Pieces{{n == 3 ? 1200 : 0, frame(n)}}; });
        row("two frames in one reply", 1, [](int n) { return Pieces{{0, n == 3 ? frame(n) + frame(31) : frame(n)}}; });
        row("a second frame after the first was taken", 0,
            [](int n) { return Pieces{{0, frame(n)}, {n == 3 ? 100 : -1, frame(31)}}; });
        row("noise between requests", 0, [](int n) { return Pieces{{0, frame(n)}, {n == 3 ? 100 : -1, "#?!"}}; });
    }
    void eachReadingAnswersItsOwnRequest()
    {
        QFETCH(int, link);
        QFETCH(int, placeholders);
        const Link *l = links.at(link);
        QTRY_VERIFY_WITH_TIMEOUT(l->readings.size() >= 6, 6000);
        for (int k = 0; k < l->readings.size(); ++k) {
            const QString &reading = l->readings.at(k);
            if (reading.endsWith(QLatin1String(" --")) && placeholders-- > 0)
                continue;
            // The n-th request's reading is n, and comes before the next request.
            QCOMPARE(QString::number(reading.chopped(3).toDouble()) + reading.right(3),
                     QString::number(l->askedBefore.at(k)) + QStringLiteral(" kg"));
        }
    }

    void theScaleSeesTheLineAt9600BaudOneStopBitNoFlowControl()
    {
        // A pseudo-terminal keeps 8 data bits and no parity whatever is asked;
        // the rest is set otherwise first, so that a link that set nothing fails.
        int fd = -1;
        launch({}, [&fd](Link *l) {
            fd = ::open(l->scale->terminalPath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
            termios other {};
            ::tcgetattr(fd, &other);
            ::cfsetspeed(&other, B1200);
            other.c_cflag |= CSTOPB | CRTSCTS;
            other.c_iflag |= IXON | IXOFF;
            QCOMPARE(::tcsetattr(fd, TCSANOW, &other), 0);
        });
        termios line {};
        QCOMPARE(::tcgetattr(fd, &line), 0);
        ::close(fd);
        QCOMPARE(::cfgetospeed(&line), speed_t(B9600));
        QCOMPARE(line.c_cflag & (CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(line.c_iflag & (IXON | IXOFF), tcflag_t(0));
    }

    void requestsFollowTheSamplingPeriod_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("spacings");
        QTest::addColumn<int>("cycle");
        auto row = [this](const char *name, int period, int spacings, int cycle) {
            const int link = launch();
            if (period)
                emit links.at(link)->thread->setRefreshRateSignal(period);
            QTest::newRow(name) << link << spacings << cycle;
        };
        // Request to request: the reply is seen at the first 50 ms poll, then
        // the next request waits the period less 71 ms, and none at 70 ms or less.
        row("0.2 s, before any period is given", 0, 8, 50 + 129);
        row("70 ms, not below the poll", 70, 10, 50);
        row("1.05 s, longer than a reply window", 1050, 4, 50 + 979);
    }
    void requestsFollowTheSamplingPeriod()
    {
        QFETCH(int, link);
        QFETCH(int, spacings);
        QFETCH(int, cycle);
        const Link *l = links.at(link);
        QTRY_VERIFY_WITH_TIMEOUT(l->requests.size() > spacings, 8000);
        QList<qint64> gaps;
        for (int k = 1; k <= spacings; ++k)
            gaps << l->requests.at(k) - l->requests.at(k - 1);
        std::sort(gaps.begin(), gaps.end());
        // Wide enough for a loaded machine, narrow enough to tell a poll missed or the period whole.
        // The scale stamps the requests: a request it was late to see makes one gap long and the
        // next short, so the median is over more than two gaps.
        const qint64 median = (gaps.at((spacings - 1) / 2) + gaps.at(spacings / 2)) / 2;
        QVERIFY2(median >= cycle - 20 && median <= cycle + 40, qPrintable(QString::number(median)));
        QVERIFY(!l->readings.join('|').contains(QLatin1String(" --"))); // no time-out meanwhile
    }

    void aNewPeriodTakesEffectInTheRunningWait()
    {
        const Link *l = links.at(launch());
        QTRY_VERIFY_WITH_TIMEOUT(!l->readings.isEmpty(), 2000);
        const int requests = l->requests.size();
        emit l->thread->setRefreshRateSignal(5000); // lands in the 129 ms wait after the reading
        QTest::qWait(300);
        QCOMPARE(l->requests.size(), requests); // that wait now lasts 4.9 s
        emit l->thread->setRefreshRateSignal(200);
        QTRY_VERIFY_WITH_TIMEOUT(l->requests.size() > requests, 600); // and is cut short again
    }

    void aLinkWithoutAReadingSaysWhyAndAsksAgain_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<QStringList>("reasons"); // "*": the system's own words
        QTest::addColumn<QByteArray>("line");     // the requests, as the scale got them
        auto row = [](const char *name, int link, const QStringList &readings, const QStringList &reasons,
                      const QByteArray &line) { QTest::newRow(name) << link << readings << reasons << line; };
        const QByteArray kg = "kg\r\n", none; // the scales answer at once; none sends nothing
        // Seven hyphens with a blank one place further right at each time-out, and "--" as the unit.
        const QString p0 = " ------- --", p1 = "- ------ --";

        row("silent scale", launch([](char, int) { return Pieces(); }), {p0, p1}, {"NoAnswer", "NoAnswer"}, "ZZ");
        row("unit in capitals", launch([](char request, int n) {
                return Pieces{{0, request == 'Z' ? QByteArray("KG\r\n") : frame(n)}};
            }), {p0, p1}, {"UnitNotAccepted: KG", "UnitNotAccepted: KG"}, "ZZ");
        row("value not a number", launch([=](char request, int n) {
                return Pieces{{0, request == 'Z' ? kg : n == 1 ? QByteArray("  nan\t 12\r") : frame(n)}};
            }), {p0, "2.00 kg"}, {"ReplyNotUnderstood: nan\\x09 12"}, "ZAZA");
        row("a gram scale swapped in", launch([=](char request, int n) {
                return Pieces{{0, request == 'Z' ? (n ? QByteArray("g\r\n") : kg) : n == 2 ? none : frame(n)}};
            }), {"1.00 kg", p0, "3.00 g"}, {"NoAnswer"}, "ZAAZA");
        row("port held by another program", launch({}, [](Link *l) {
                QVERIFY((new QSerialPort(l->scale->portPath(), l))->open(QIODevice::ReadWrite));
            }), {p0}, {"PortAccessDenied: *"}, "$");
        row("no such port", launch({}, [](Link *l) { l->scale->vanish(); }), {p0}, {"PortNotOpen: *"}, "$");
        // Pulled out at the first value request and plugged back between the
        // first and second time-outs: the port is tried again at each one.
        row("adapter pulled out and plugged back", launch([=](char request, int n) {
                return Pieces{{0, request == 'Z' ? kg : n == 1 ? none : frame(n)}};
            }, [](Link *l) {
                connect(l->scale, &ScaleSimulator::requestReceived, l, [s = l->scale] {
                    if (s->received() == "ZA") {
                        QTimer::singleShot(0, s, &ScaleSimulator::vanish);
                        QTimer::singleShot(1600, s, &ScaleSimulator::comeBack);
                    }
                });
            }), {p0, p1, "2.00 kg"}, {"NoAnswer", "PortNotOpen: *"}, "ZAZA");
        // Checked last, well past a reply window after its close; "$": nothing more.
        row("closed by its window: never asked again", launch({}, [](Link *l) {
                connect(l->thread, &LinkThread::newSample, l->thread, &LinkThread::closeSignal);
            }), {"12.345 kg", "$"}, {}, "ZA$");
    }
    void aLinkWithoutAReadingSaysWhyAndAsksAgain()
    {
        QFETCH(int, link);
        QFETCH(QStringList, readings);
        QFETCH(QStringList, reasons);
        QFETCH(QByteArray, line);
        const Link *l = links.at(link);
        QTRY_COMPARE_WITH_TIMEOUT((l->readings + QStringList("$")).mid(0, readings.size()), readings, 6000);
        QStringList told = l->reasons.mid(0, reasons.size()); // one with each placeholder
        QCOMPARE(told.replaceInStrings(QRegularExpression("^(Port\\w+): .+"), "\\1: *"), reasons);
        QCOMPARE((l->scale->received() + '$').left(line.size()), line);
    }
};

QTEST_GUILESS_MAIN(tst_Link)
#include "tst_link.moc"
