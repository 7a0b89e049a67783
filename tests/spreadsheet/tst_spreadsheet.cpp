#include <QtTest>

#include "SaveSamples.h"

// Both CSV dialects as a spreadsheet opens them: LibreOffice Calc, in the
// language each dialect is for, converts the recorded files to flat ODF, and
// the cells are read back with their types. Each conversion runs in its own
// scratch profile, all of them side by side.
class tst_Spreadsheet : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    // What the import dialog offers in a new profile: tab, comma and
    // semicolon ticked, the double quote, from the first line, the locale's
    // language, special numbers not detected; UTF-8 named, as a desktop in
    // UTF-8 sets it. Formulas are evaluated, as they are with no options.
    const QString dialog = QStringLiteral("Text - txt - csv (StarCalc):9/44/59,34,76,1,,0,false,false");

    // One soffice run: the files, converted under the locale and import options given into out/.
    QProcess *convert(const QString &out, const QString &locale, const QString &options, const QString &file)
    {
        auto *run = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"LANG", "LC_ALL", "LANGUAGE"})
            environment.insert(name, locale);
        run->setProcessEnvironment(environment);
        run->setProcessChannelMode(QProcess::MergedChannels);
        QStringList arguments{"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath(out + "-profile")).toString(),
                              "--headless", "--convert-to", "fods", "--outdir", dir.filePath(out)};
        if (!options.isEmpty())
            arguments << "--infilter=" + options;
        run->start(soffice, arguments << dir.filePath(file));
        return run;
    }

    // The cells of each row up to its last one that holds something: "float=12.248" (the value), "date=..." (to
    // the second), "string=..." (the text), "formula=..." for a cell that computes.
    static QList<QStringList> cells(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<QStringList> rows;
        QXmlStreamReader xml(&file);
        QString type, content;
        int repeated = 1;
        while (!xml.atEnd()) {
            xml.readNext();
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.isStartElement() && xml.name() == QLatin1String("table-row")) {
                rows << QStringList();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("table-cell")) {
                type = a.value("office:value-type").toString();
                repeated = qMax(1, a.value("table:number-columns-repeated").toInt());
                content = a.hasAttribute("table:formula") ? "formula=" + a.value("table:formula").toString()
                          : type == "float" ? "float=" + a.value("office:value").toString()
                          : type == "date" ? "date=" + a.value("office:date-value").left(19).toString()
                          : type + '=';
            } else if (xml.isStartElement() && xml.name() == QLatin1String("p") && !type.isEmpty()
                       && type != "float" && type != "date") {
                content += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (xml.isEndElement() && xml.name() == QLatin1String("table-cell")) {
                for (int i = 0; i < repeated && !type.isEmpty(); ++i)
                    rows.last() << content;
                for (int i = 0; i < repeated && type.isEmpty() && repeated < 100; ++i)
                    rows.last() << QString(); // a gap before later cells
                type.clear();
            } else if (xml.isEndElement() && xml.name() == QLatin1String("table-row")) {
                while (!rows.last().isEmpty() && rows.last().last().isEmpty())
                    rows.last().removeLast();
                if (rows.last().isEmpty())
                    rows.removeLast();
            }
        }
        return rows;
    }

    QString soffice;
    QString converted;

private slots:
    void initTestCase()
    {
        soffice = QStandardPaths::findExecutable("soffice");
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed: the spreadsheet import of the CSV dialects is not checked");
        QVERIFY(dir.isValid());
        // A name that would split at any separator, a lot that would be a formula, a steady reading and one
        // in motion, a negative one, an offset from UTC and none.
        const QDateTime at({2026, 12, 9}, {0, 47, 0, 459}, Qt::OffsetFromUTC, 3600);
        for (auto dialect : {RecordFormat::CsvComma, RecordFormat::CsvSemicolon}) {
            SaveSamples recorder;
            recorder.setFormat(dialect);
            QVERIFY(recorder.open(dir.filePath(dialect == RecordFormat::CsvComma ? "comma.csv" : "semicolon.csv")));
            recorder.addRecord({"auto", "12.248", "kg", at, false, "Line \"A\", 2; left", "=1+1", "over"});
            recorder.addRecord({"step", "-0.015", "g", at.addSecs(7200).toOffsetFromUtc(0), true, "-x", "@A1", "ok"});
        }
        const QList<QProcess *> runs{convert("en-dialog", "en_US.UTF-8", dialog, "comma.csv"),
                                     convert("pl-dialog", "pl_PL.UTF-8", dialog, "semicolon.csv"),
                                     convert("en-own", "en_US.UTF-8", QString(), "comma.csv")};
        for (QProcess *run : runs) {
            QVERIFY2(run->waitForFinished(90000), "soffice did not finish");
            const QByteArray said = run->readAll();
            QVERIFY2(run->exitStatus() == QProcess::NormalExit && run->exitCode() == 0, said.constData());
            converted += QString::fromLocal8Bit(said);
        }
    }

    // Values are numbers, times dates and times, every other field text as written (a formula's start too),
    // and each row has as many cells as the header.
    void eachDialectOpensAsNumbersDatesAndText_data()
    {
        QTest::addColumn<QString>("fods"); QTest::addColumn<QStringList>("rows");
        const QString header = "string=time|string=utc_offset|string=scale|string=lot|string=kind|string=value"
                               "|string=unit|string=stable|string=limits";
        const QStringList rows{header,
            "date=2026-12-09T00:47:00|string=+01:00|string=Line \"A\", 2; left|string='=1+1|string=auto"
            "|float=12.248|string=kg|string=no|string=over",
            "date=2026-12-09T01:47:00|string=+00:00|string='-x|string='@A1|string=step"
            "|float=-0.015|string=g|string=yes|string=ok"};
        QTest::newRow("commas in English, the import dialog's defaults") << "en-dialog/comma.fods" << rows;
        QTest::newRow("semicolons in Polish, the import dialog's defaults") << "pl-dialog/semicolon.fods" << rows;
        QTest::newRow("commas in English, Calc's own defaults") << "en-own/comma.fods" << rows;
    }
    void eachDialectOpensAsNumbersDatesAndText()
    {
        QFETCH(QString, fods); QFETCH(QStringList, rows);
        QStringList read;
        for (const QStringList &row : cells(dir.filePath(fods)))
            read << row.join('|');
        QVERIFY2(!read.isEmpty(), qPrintable(converted));
        QCOMPARE(read, rows);
    }
};

QTEST_GUILESS_MAIN(tst_Spreadsheet)
#include "tst_spreadsheet.moc"
