#include "AppTestSupport.h"
#include "FaultSupport.h"
#include "SaveSamples.h"
#include "ShiftStore.h"
#include <QDoubleSpinBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

// The shift file as anyone can edit it.
static QSettings shiftFile(const QString &configHome = QString())
{
    return configHome.isEmpty() ? QSettings(QSettings::NativeFormat, QSettings::UserScope, "scaleacq", "shift")
                                : QSettings(configHome + "/scaleacq/shift.conf", QSettings::IniFormat);
}
static void writeShift(QSettings &&file, const QList<QStringList> &windows, bool atOnce)
{
    static const QStringList keys{"port", "interval", "recordFile", "going", "recording"};
    file.clear();
    file.setValue("resumeAtOnce", atOnce);
    file.beginWriteArray("windows", windows.size());
    for (int i = 0; i < windows.size(); ++i) {
        file.setArrayIndex(i);
        for (int k = 0; k < keys.size(); ++k)
            file.setValue(keys[k], windows[i][k]);
    }
    file.endArray();
}
// Each saved window's fields as text, in the order above.
static QList<QStringList> savedWindows(QSettings &&file)
{
    QList<QStringList> windows;
    const int count = file.beginReadArray("windows");
    for (int i = 0; i < count; ++i) {
        file.setArrayIndex(i);
        windows << QStringList{file.value("port").toString(), file.value("interval").toString(),
                               file.value("recordFile").toString(), file.value("going").toString(),
                               file.value("recording").toString()};
    }
    return windows;
}
static QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
static int recordsIn(const QString &path) { return contentsOf(path).count(QByteArray("\r\n\r")); }

// The windows open when the program ends (or is killed) come back at the next start, as they were.
class tst_Shift : public DeviceFixture
{
    Q_OBJECT
    QTemporaryDir home;
    ShiftStore store;
    QTranslator programTranslator, toolkitTranslator;
    QString file(const char *name) const { return home.filePath(name); }
    // The main window of a new run, keeping the shift in store and resuming it.
    void restart()
    {
        newWindow(&programTranslator, &toolkitTranslator);
        window->keepShift(&store, true);
    }
    void activate(DocumentWindow *document) { workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(document->parentWidget())); }
private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(scaleacq);
        DeviceFixture::initTestCase();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        QApplication::installTranslator(&programTranslator);
        QApplication::installTranslator(&toolkitTranslator);
    }
    void init() { shiftFile().clear(); }
    // Also on a terminal with no display.
    void helpListsTheOptionsAndExits()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(display);
        program.setProcessEnvironment(environment);
        program.start(SCALEACQ_PROGRAM, {"--help"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        const QString help = program.readAllStandardOutput();
        QVERIFY2(help.contains("--no-restore") && help.contains("--demo") && help.contains("--help"), qPrintable(help));
    }
    // Set up by the operator's own commands (in English), ended, started again: asked, and every field back.
    void everyWindowComesBackAsTheOperatorLeftIt()
    {
        start(2);
        window->keepShift(&store, true);
        DocumentWindow *running = open(port(0)), *paused = open(port(1));
        QVERIFY(running && paused);
        activate(running);
        { DialogScript script; script.then(chooseFile(file("running.txt"))); action("recordAct")->trigger(); }
        action("goAct")->trigger();
        QCOMPARE(savedWindows(shiftFile()).value(0).value(3), QString("true")); // each command saves
        window->findChild<QDoubleSpinBox *>("samplingRateBox")->setValue(0.5);
        activate(paused);
        { DialogScript script; script.then(chooseFile(file("paused.txt"))); window->findChild<QPushButton *>("recPathButton")->click(); }
        window->findChild<QDoubleSpinBox *>("samplingRateBox")->setValue(1.5);
        action("englishAct")->trigger();
        const QList<QStringList> expected{{port(0), "500", file("running.txt"), "true", "true"},
                                          {port(1), "1500", file("paused.txt"), "false", "false"}};
        QCOMPARE(savedWindows(shiftFile()), expected);
        QCOMPARE(shiftFile().value("language").toString(), QString("english"));

        QString question;
        DialogScript script;
        script.then(readMessage(&question, QMessageBox::Yes));
        restart(); // the windows open at exit stay in the shift
        QVERIFY(QTest::qWaitFor([&] { return document(port(0)) && document(port(1)); }, 5000));
        QCOMPARE(script.met, QStringList("QMessageBox"));
        QCOMPARE(question, "These ports were open when the program last ended:\n" + port(0) + "\n" + port(1)
                               + "\nOpen them again as they were (kind of scale, interval, record file, Go and Record)?");
        DeviceTask *first = document(port(0))->deviceTask(), *second = document(port(1))->deviceTask();
        QCOMPARE(QList<int>({first->refreshRate(), first->isPaused(), first->isRecording()}), QList<int>({500, false, true}));
        QCOMPARE(QList<int>({second->refreshRate(), second->isPaused(), second->isRecording()}), QList<int>({1500, true, false}));
        QCOMPARE(second->recorder()->fileName(), file("paused.txt"));
        const int before = recordsIn(file("running.txt"));
        QVERIFY(QTest::qWaitFor([&] { return recordsIn(file("running.txt")) > before; }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return window->windowTitle() == "KORVEN weighing software v2.1"; }));
        QCOMPARE(savedWindows(shiftFile()), expected);
        // Closed one by one, the last window leaves an empty shift.
        workspace()->closeAllSubWindows();
        QVERIFY(QTest::qWaitFor([&] { return savedWindows(shiftFile()).isEmpty(); }));
    }
    // In Polish, as a shift that never chose a language starts.
    void aPortThatIsGoneIsToldOnceAndDropped()
    {
        start(1);
        delete window;
        window = nullptr;
        writeShift(shiftFile(), {{"/dev/ttyUSB97", "200", "", "true", "false"}, {port(0), "200", "", "false", "false"}}, true);
        QString told;
        DialogScript script;
        script.then(readMessage(&told));
        restart();
        QVERIFY(QTest::qWaitFor([&] { return document(port(0)) && !told.isEmpty(); }, 5000));
        QCOMPARE(told, QString("Tych portów z ostatniej zmiany roboczej nie otwarto ponownie i usunięto je z niej:\n"
                               "/dev/ttyUSB97: niepodłączony (w systemie nie ma takiego portu)"));
        QCOMPARE(savedWindows(shiftFile()), QList<QStringList>({{port(0), "200", "", "false", "false"}}));
        DialogScript again;
        restart();
        QVERIFY(QTest::qWaitFor([&] { return document(port(0)); }, 5000));
        QTest::qWait(100);
        QCOMPARE(again.met, QStringList());
    }
    // A full disk is told once, not at every change.
    void aShiftThatCannotBeSavedIsToldOnce()
    {
        QSignalSpy told(&store, &ShiftStore::saveFailed);
        {
            FileSizeLimit full(0);
            store.setWindows({{{"port", "/dev/ttyUSB0"}}});
            store.setLanguage("english");
        }
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.at(0).at(0).toString(), ShiftStore::fileName());
    }
    // The real program with two scales, one window running and recording, one paused, killed twice.
    void aKilledProgramResumesRecordingIntoTheSameFilesWithoutATornLine()
    {
        QTemporaryDir run;
        const QString config = run.filePath("config"), published = run.filePath("tmp/scalesim");
        QVERIFY(QDir().mkpath(config + "/scaleacq") && QDir().mkpath(published));
        ScaleSimulator builtIn, sics;
        sics.setType(ScaleProtocol::Sics);
        QVERIFY(builtIn.start(published + "/ttySIM0") && sics.start(published + "/ttySIM1"));
        int sicsRequests = 0;
        connect(&sics, &ScaleSimulator::requestReceived, this, [&](char request) { sicsRequests += request == 'S'; });
        QSettings(config + "/scaleacq/ports.conf", QSettings::IniFormat)
            .setValue("ports/" + QUrl::toPercentEncoding(sics.portPath()) + "/type", "sics");
        const QString recording = run.filePath("running.txt"), pausedFile = run.filePath("paused.txt");
        // As a power cut leaves it: a whole record, then a torn one.
        const QByteArray before = "auto\t1.000\tkg\t01.02.2024\t 06:00:00.000\r\n\r01.02.2024\t 06:00";
        QFile torn(recording);
        QVERIFY(torn.open(QIODevice::WriteOnly) && torn.write(before) == before.size());
        torn.close();
        const QList<QStringList> shift{{builtIn.portPath(), "200", recording, "true", "true"},
                                       {sics.portPath(), "1000", pausedFile, "false", "true"}};
        writeShift(shiftFile(config), shift, true);

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config);
        environment.insert("TMPDIR", run.filePath("tmp"));
        program.setProcessEnvironment(environment);
        for (int start = 0; start < 2; ++start) {
            const int records = recordsIn(recording);
            sicsRequests = 0;
            program.start(SCALEACQ_PROGRAM, QStringList());
            QVERIFY(QTest::qWaitFor([&] { return recordsIn(recording) >= records + 3 && sicsRequests > 0; }, 15000));
            program.kill();
            QVERIFY(program.waitForFinished());
            QCOMPARE(savedWindows(shiftFile(config)), shift);
        }
        const QByteArray recorded = contentsOf(recording);
        QVERIFY(recorded.startsWith(before + QByteArray("\r\n\r")));
        QVERIFY(recorded.endsWith(QByteArray("\r\n\r")));
        const QRegularExpression whole("^auto\t[ 0-9.]+\tkg\t\\d\\d\\.\\d\\d\\.\\d{4}\t \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$");
        const QList<QByteArray> records = recorded.mid(before.size() + 3).split('\r');
        for (int i = 0; i + 1 < records.size(); i += 2) // each record ends CR LF CR: split, the LF heads the next piece
            QVERIFY2(whole.match(QString(records[i]).remove(QRegularExpression("^\n"))).hasMatch(), records[i]);
        QCOMPARE(contentsOf(pausedFile), QByteArray());
        QVERIFY(QFileInfo::exists(pausedFile));
    }
};

QTEST_MAIN(tst_Shift)
#include "tst_shift.moc"
