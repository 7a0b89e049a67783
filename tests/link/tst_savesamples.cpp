#include <QtTest>

#include "FaultSupport.h"
#include "SaveSamples.h"

class tst_SaveSamples : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void recordsEndWithCrLfCr();
    void recordingAgainAppendsAfterEverythingBefore();
    void newNameTakesEffectAtTheNextOpen();
    void fileThatCannotBeOpenedGetsNothing();
    void fullDiskIsToldOncePerRunAndSoIsItsEnd();
    void fileTakenAwayWhileRecording();
    void traceLinesAreSilentUnlessSwitchedOn();

private:
    QByteArray contents(const QString &name) const;

    QTemporaryDir dir;
    QString path;
};

void tst_SaveSamples::init()
{
    path = dir.filePath(QStringLiteral("samples-%1.txt").arg(QTest::currentTestFunction()));
}

QByteArray tst_SaveSamples::contents(const QString &name) const
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void tst_SaveSamples::recordsEndWithCrLfCr()
{
    SaveSamples recorder;
    recorder.setFileName(path);
    QVERIFY(recorder.open());
    QCOMPARE(contents(path), QByteArray()); // nothing at open
    recorder.addSample(QStringLiteral("auto\t12.345\tkg\t05.12.2026\t 08:31:27.123"));
    // Flushed per record: on disk before close.
    QCOMPARE(contents(path), QByteArray("auto\t12.345\tkg\t05.12.2026\t 08:31:27.123\r\n\r"));
    recorder.addSample(QStringLiteral("step\t-0.015\tg\t05.12.2026\t 08:31:28.000"));
    recorder.close();
    QCOMPARE(contents(path), QByteArray("auto\t12.345\tkg\t05.12.2026\t 08:31:27.123\r\n\r"
                                        "step\t-0.015\tg\t05.12.2026\t 08:31:28.000\r\n\r"));
}

void tst_SaveSamples::recordingAgainAppendsAfterEverythingBefore()
{
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier notes\n");
    }
    SaveSamples recorder;
    recorder.setFileName(path);
    QVERIFY(recorder.open());
    recorder.addSample(QStringLiteral("a"));
    recorder.close();
    recorder.addSample(QStringLiteral("while off")); // the file is closed: nothing
    QVERIFY(recorder.open());
    recorder.addSample(QStringLiteral("b"));
    recorder.close();
    QCOMPARE(contents(path), QByteArray("earlier notes\na\r\n\rb\r\n\r"));

    SaveSamples another; // a later device on the same file
    QVERIFY(another.open(path));
    another.addSample(QStringLiteral("c"));
    QCOMPARE(contents(path), QByteArray("earlier notes\na\r\n\rb\r\n\rc\r\n\r"));
}

void tst_SaveSamples::newNameTakesEffectAtTheNextOpen()
{
    const QString second = path + QStringLiteral(".second");
    SaveSamples recorder;
    recorder.setFileName(path);
    QVERIFY(recorder.open());
    recorder.setFileName(second);
    QCOMPARE(recorder.fileName(), second);
    recorder.addSample(QStringLiteral("first"));
    recorder.close();
    QVERIFY(recorder.open());
    recorder.addSample(QStringLiteral("second"));
    recorder.close();
    QCOMPARE(contents(path), QByteArray("first\r\n\r"));
    QCOMPARE(contents(second), QByteArray("second\r\n\r"));
}

void tst_SaveSamples::fileThatCannotBeOpenedGetsNothing()
{
    SaveSamples recorder;
    QSignalSpy failed(&recorder, &SaveSamples::writeFailed);
    QVERIFY(!recorder.open()); // no name yet: nothing to open
    QVERIFY(!recorder.isOpen());

    // A path under a missing folder fails for every user, root included.
    const QString unreachable = dir.filePath(QStringLiteral("missing/samples.txt"));
    recorder.setFileName(unreachable);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Could not open the file")));
    QVERIFY(!recorder.open());
    QVERIFY(!recorder.isOpen());
    recorder.addSample(QStringLiteral("lost"));
    recorder.close();
    QVERIFY(!QFile::exists(unreachable));
    QCOMPARE(failed.count(), 0); // told once already, by the failed open
}

void tst_SaveSamples::fullDiskIsToldOncePerRunAndSoIsItsEnd()
{
    SaveSamples recorder;
    QSignalSpy failed(&recorder, &SaveSamples::writeFailed);
    QSignalSpy recovered(&recorder, &SaveSamples::writeRecovered);
    recorder.setFileName(path);
    QVERIFY(recorder.open());
    recorder.addSample(QStringLiteral("a"));
    recorder.addSample(QStringLiteral("b"));
    const QByteArray written = contents(path);

    {
        // Room for the start of the next record only.
        FileSizeLimit full(written.size() + 3);
        recorder.addSample(QStringLiteral("torn"));
        recorder.addSample(QStringLiteral("lost"));
        recorder.addSample(QStringLiteral("lost too"));
    }
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), path);
    // The cause itself, though the torn record's first write reported none.
    QCOMPARE(failed.at(0).at(1).toString(), qt_error_string(EFBIG));
    QCOMPARE(contents(path), written);
    QCOMPARE(recovered.count(), 0);

    // Room again: records go on right after the last whole one, and that
    // is told once.
    recorder.addSample(QStringLiteral("c"));
    recorder.addSample(QStringLiteral("d"));
    QCOMPARE(contents(path), written + "c\r\n\rd\r\n\r");
    QVERIFY(recorder.isOpen());
    QCOMPARE(recovered.count(), 1);
    QCOMPARE(recovered.at(0).at(0).toString(), path);

    // A record written ended the run, and so does a new open.
    {
        FileSizeLimit full(0);
        recorder.addSample(QStringLiteral("e"));
        recorder.addSample(QStringLiteral("f"));
        QCOMPARE(failed.count(), 2);
        recorder.close();
        QVERIFY(recorder.open());
        recorder.addSample(QStringLiteral("g"));
        QCOMPARE(failed.count(), 3);
    }
    QCOMPARE(recovered.count(), 1);
    recorder.close();
    QCOMPARE(contents(path), written + "c\r\n\rd\r\n\r");
}

void tst_SaveSamples::fileTakenAwayWhileRecording()
{
    const QString folder = dir.filePath(QStringLiteral("taken-away"));
    QVERIFY(QDir().mkpath(folder));
    const QString name = folder + QStringLiteral("/samples.txt");
    SaveSamples recorder;
    QSignalSpy failed(&recorder, &SaveSamples::writeFailed);
    QSignalSpy recreated(&recorder, &SaveSamples::fileRecreated);
    QVERIFY(recorder.open(name));
    recorder.addSample(QStringLiteral("a"));

    // Made read-only: the open file still takes every record.
    QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    recorder.addSample(QStringLiteral("b"));
    QCOMPARE(contents(name), QByteArray("a\r\n\rb\r\n\r"));

    // Deleted: the records go on in a new file of that name, not into the
    // nameless one the system would keep writing.
    QVERIFY(QFile::remove(name));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("deleted while recording")));
    recorder.addSample(QStringLiteral("c"));
    recorder.addSample(QStringLiteral("d"));
    QCOMPARE(recreated.count(), 1);
    QCOMPARE(recreated.at(0).at(0).toString(), name);
    QCOMPARE(contents(name), QByteArray("c\r\n\rd\r\n\r"));

    // The folder goes too: nothing can be written, and that is told once.
    QVERIFY(QDir(folder).removeRecursively());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be written")));
    recorder.addSample(QStringLiteral("e"));
    recorder.addSample(QStringLiteral("f"));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), name);
    QCOMPARE(recreated.count(), 1);
    QVERIFY(!QFile::exists(name));
    recorder.close();
}

namespace {
QStringList *heard = nullptr;
void listen(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg)
        heard->append(text);
}
} // namespace

void tst_SaveSamples::traceLinesAreSilentUnlessSwitchedOn()
{
    QStringList lines;
    heard = &lines;
    const QtMessageHandler previous = qInstallMessageHandler(listen);
    {
        SaveSamples quiet;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("scaleacq.*.debug=true"));
    {
        SaveSamples traced;
    }
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    heard = nullptr;

    QCOMPARE(lines.mid(0, 2), QStringList({"C? SaveSamples", "C! SaveSamples"}));
    QCOMPARE(lines.count(QStringLiteral("C? SaveSamples")), 1);
}

QTEST_GUILESS_MAIN(tst_SaveSamples)
#include "tst_savesamples.moc"
