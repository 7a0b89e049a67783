#include <QtTest>

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
}

QTEST_GUILESS_MAIN(tst_SaveSamples)
#include "tst_savesamples.moc"
