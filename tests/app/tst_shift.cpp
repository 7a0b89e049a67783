#include "AppTestSupport.h"
#include "FaultSupport.h"
#include "PortSettingsStore.h"
#include "SaveSamples.h"
#include "ShiftStore.h"
#include <sys/stat.h>
#include <QDoubleSpinBox>
#include <QLCDNumber>
#include <QProcess>
#include <QPushButton>
#include <QToolBar>
#include <QSettings>
#include <QTcpServer>

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
    void init()
    {
        // As a test of links and pipes may leave them.
        const QString folder = QFileInfo(ShiftStore::fileName()).path();
        if (QFileInfo(folder).isSymLink())
            QFile::remove(folder);
        for (const QString &name : {ShiftStore::fileName(), PortSettingsStore::fileName()})
            if (!QFileInfo(name).isFile() || QFileInfo(name).isSymLink())
                QFile::remove(name);
        shiftFile().clear();
    }
    // The main window comes back where and as large as it was left, its tool bars where they stood; the record
    // file is asked for in the folder chosen last, also for another port.
    void theWindowKeepsItsPlaceAndTheLastFolder()
    {
        start(1);
        window->keepShift(&store, false);
        window->showNormal();
        window->setGeometry(120, 80, 900, 640);
        QTRY_COMPARE(window->size(), QSize(900, 640));
        window->addToolBar(Qt::LeftToolBarArea, window->findChild<QToolBar *>("modeToolBar"));
        QVERIFY(QDir(home.path()).mkpath("lot 7"));
        DocumentWindow *document = open(port(0));
        QVERIFY(document);
        { DialogScript script; script.then(chooseFile(file("lot 7/first.txt"))); action("recordAct")->trigger(); }
        action("recordAct")->trigger(); // off
        { DialogScript script; script.then(readMessage(nullptr, QMessageBox::Close)); QVERIFY(window->close()); }
        newWindow(&programTranslator, &toolkitTranslator);
        window->keepShift(&store, false);
        window->showAsLeft();
        QTRY_COMPARE(window->size(), QSize(900, 640));
        QVERIFY(!window->isMaximized());
        QCOMPARE(window->toolBarArea(window->findChild<QToolBar *>("modeToolBar")), Qt::LeftToolBarArea);
        document = open(port(0));
        QVERIFY(document);
        QString folder;
        DialogScript script;
        script.then([&folder](QWidget *modal) { folder = qobject_cast<QFileDialog *>(modal)->directory().path(); cancel(modal); });
        window->setRecPath();
        QCOMPARE(folder, file("lot 7"));
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
        window->findChild<QDoubleSpinBox *>("samplingRateBox")->setValue(45.5);
        action("englishAct")->trigger();
        action("showStatisticsAct")->trigger();
        const QList<QStringList> expected{{port(0), "500", file("running.txt"), "true", "true"},
                                          {port(1), "45500", file("paused.txt"), "false", "false"}};
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
        QCOMPARE(QList<int>({second->refreshRate(), second->isPaused(), second->isRecording()}), QList<int>({45500, true, false}));
        QCOMPARE(second->recorder()->fileName(), file("paused.txt"));
        QVERIFY(action("showStatisticsAct")->isChecked() && first->isShowingStatistics() && second->isShowingStatistics());
        const int before = recordsIn(file("running.txt"));
        QVERIFY(QTest::qWaitFor([&] { return recordsIn(file("running.txt")) > before; }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return window->windowTitle() == "KORVEN weighing software v2.1"; }));
        QCOMPARE(savedWindows(shiftFile()), expected);
        // Closed one by one, the last window leaves an empty shift.
        workspace()->closeAllSubWindows();
        QVERIFY(QTest::qWaitFor([&] { return savedWindows(shiftFile()).isEmpty(); }));
    }
    // The lot typed for a window is kept in the shift as it is chosen, and the window resumes with it.
    void aWindowResumesWithItsLot()
    {
        start(1);
        window->keepShift(&store, true);
        QVERIFY(open(port(0)));
        auto *lot = window->findChild<QLineEdit *>("lotField");
        QTest::keyClicks(lot, "Batch 7/B");
        QTest::keyClick(lot, Qt::Key_Return);
        QSettings saved = shiftFile();
        saved.beginReadArray("windows");
        saved.setArrayIndex(0);
        QCOMPARE(saved.value("lot").toString(), QString("Batch 7/B"));
        DialogScript script;
        script.then(readMessage(nullptr, QMessageBox::Yes));
        restart();
        QVERIFY(QTest::qWaitFor([&] { return document(port(0)); }, 5000));
        QCOMPARE(document(port(0))->deviceTask()->lot(), QString("Batch 7/B"));
        QCOMPARE(window->findChild<QLineEdit *>("lotField")->text(), QString("Batch 7/B"));
    }
    // A hand-made shift, in Polish as one that never chose a language starts: "%n" is scale n's port.
    void aHandMadeShiftOpensEachPortOnceAndAtMostFour_data()
    {
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<int>("size"); // what the file claims, when not the windows written
        QTest::addColumn<QStringList>("opened"); QTest::addColumn<QString>("told");
        QTest::newRow("gone") << QStringList{"/dev/ttyUSB97", "%0"} << 0 << QStringList{"%0"}
                              << "Tych portów z ostatniej zmiany roboczej nie otwarto ponownie i usunięto je z niej:\n"
                                 "/dev/ttyUSB97: niepodłączony (w systemie nie ma takiego portu)";
        QTest::newRow("five") << QStringList{"%0", "%1", "%2", "%3", "%4"} << 0 << QStringList{"%0", "%1", "%2", "%3"} << "";
        QTest::newRow("twice") << QStringList{"%1", "%1", "%0"} << 0 << QStringList{"%1", "%0"} << "";
        QTest::newRow("huge size") << QStringList{"%2"} << 2000000000 << QStringList{"%2"} << "";
        QTest::newRow("no network address") << QStringList{"tcp://127.0.0.1", "%0"} << 0 << QStringList{"%0"}
            << "Tych portów z ostatniej zmiany roboczej nie otwarto ponownie i usunięto je z niej:\n"
               "tcp://127.0.0.1: to nie jest adres sieciowy w postaci tcp://host:port";
    }
    void aHandMadeShiftOpensEachPortOnceAndAtMostFour()
    {
        QFETCH(QStringList, saved); QFETCH(int, size); QFETCH(QStringList, opened); QFETCH(QString, told);
        start(5);
        delete window;
        window = nullptr;
        auto ports = [this](QStringList names) { for (int i = 0; i < 5; ++i) names.replaceInStrings("%" + QString::number(i), port(i)); return names; };
        QList<QStringList> windows, kept;
        for (const QString &name : ports(saved))
            windows << QStringList{name, "200", "", "false", "false"};
        writeShift(shiftFile(), windows, true);
        if (size)
            shiftFile().setValue("windows/size", size);
        for (const QString &name : ports(opened))
            kept << QStringList{name, "200", "", "false", "false"};
        QStringList notOpened = scales->ports();
        for (const QString &name : ports(opened))
            notOpened.removeOne(name);
        for (bool again : {false, true}) { // what is dropped is told once
            QString message;
            DialogScript script;
            script.then(readMessage(&message));
            restart();
            QVERIFY(QTest::qWaitFor([&] { return workspace()->subWindowList().size() == opened.size(); }, 5000));
            for (const QString &name : ports(opened))
                QVERIFY2(document(name), qPrintable(name));
            QTest::qWait(100);
            QCOMPARE(message, again ? QString() : told);
            QCOMPARE(script.met.size(), !again && !told.isEmpty());
            QStringList offeredNow = offered();
            offeredNow.sort(), notOpened.sort();
            QCOMPARE(offeredNow, notOpened);
            QCOMPARE(savedWindows(shiftFile()), kept);
        }
    }
    // One scale on the network answers, the other address has no one: both are resumed, the second says why.
    void aNetworkPortIsResumedAsTyped()
    {
        start(1);
        delete window;
        window = nullptr;
        ScaleSimulator scale;
        scale.setType(ScaleProtocol::Sics);
        scale.setWeight(2.5);
        QVERIFY(scale.listen());
        QTcpServer nobody;
        QVERIFY(nobody.listen(QHostAddress::LocalHost));
        const QString gone = QString("tcp://127.0.0.1:%1").arg(nobody.serverPort());
        nobody.close();
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "scaleacq", "ports")
            .setValue("ports/" + QUrl::toPercentEncoding(scale.portPath()) + "/type", "sics");
        const QList<QStringList> shift{{scale.portPath().toUpper(), "500", "", "true", "false"}, {gone, "200", "", "true", "false"}};
        writeShift(shiftFile(), shift, true);
        shiftFile().setValue("language", "english");
        DialogScript none;
        restart();
        QVERIFY(QTest::qWaitFor([&] { return document(scale.portPath()) && document(gone); }, 5000));
        DeviceTask *answering = document(scale.portPath())->deviceTask(), *silent = document(gone)->deviceTask();
        QTRY_COMPARE(answering->readoutWidget()->value(), 2.5);
        QCOMPARE(answering->refreshRate(), 500);
        QCOMPARE(answering->setupWidget()->text(), QString("SICS-style commands (SI), network"));
        QTRY_VERIFY(silent->noReadingWidget()->isVisible());
        QCOMPARE(silent->noReadingWidget()->text(), QString("The port cannot be opened: Connection refused"));
        QCOMPARE(none.met, QStringList());
        QCOMPARE(savedWindows(shiftFile()), QList<QStringList>({{scale.portPath(), "500", "", "true", "false"}, shift[1]}));
    }
    // A full disk is told once, not at every change.
    void aShiftThatCannotBeSavedIsToldOnce()
    {
        ShiftStore store;
        QSignalSpy told(&store, &ShiftStore::saveFailed);
        {
            FileSizeLimit full(0);
            store.setWindows({{{"port", "/dev/ttyUSB0"}}});
            store.setLanguage("english");
        }
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.at(0), QVariantList({shiftFile().fileName(), "it cannot be written"}));
    }
    // Never through a link nor into a pipe: said once, naming the file, and what was set holds for the run.
    void ourOwnFilesAreNeverWrittenThroughALinkNorIntoAPipe_data()
    {
        QTest::addColumn<bool>("ports"); // ports.conf, else shift.conf
        QTest::addColumn<QString>("what");
        QTest::newRow("shift.conf a link") << false << "link";
        QTest::newRow("shift.conf a pipe") << false << "fifo";
        QTest::newRow("the shift's folder a link") << false << "folder link";
        QTest::newRow("ports.conf a link") << true << "link";
        QTest::newRow("ports.conf a pipe") << true << "fifo";
        QTest::newRow("the ports' folder a link") << true << "folder link";
    }
    void ourOwnFilesAreNeverWrittenThroughALinkNorIntoAPipe()
    {
        QFETCH(bool, ports); QFETCH(QString, what);
        const QString name = ports ? PortSettingsStore::fileName() : ShiftStore::fileName(), folder = QFileInfo(name).path();
        const QString target = file("target.conf"), elsewhere = file("elsewhere");
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("[General]\nkept=1\n") == 17);
        kept.close();
        QVERIFY(QFile::remove(name) || QDir().mkpath(folder));
        QVERIFY(what != "link" || QFile::link(target, name));
        QVERIFY(what != "fifo" || ::mkfifo(QFile::encodeName(name).constData(), 0600) == 0);
        QVERIFY(what != "folder link" || (QDir().mkpath(elsewhere) && QDir(folder).removeRecursively() && QFile::link(elsewhere, folder)));
        const QString why = what == "fifo" ? "it is a device, a pipe or a socket, not a regular file"
                            : what == "link" ? "it is a symbolic link, and the program writes through none"
                                             : "its folder " + folder + " is a symbolic link, and the program writes through none";
        if (ports) {
            PortSettingsStore store;
            QCOMPARE(int(store.setup("/dev/ttyUSB7").type), int(ScaleProtocol::BuiltIn)); // read as no file, not waited on
            for (int write = 0; write < 2; ++write)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^The port settings are not written to.*" + QRegularExpression::escape(why)));
            QVERIFY(!store.setSetup("/dev/ttyUSB0", {ScaleProtocol::Sics, ScaleProtocol::usualSettings(ScaleProtocol::Sics)}));
            QVERIFY(!store.setScaleName("/dev/ttyUSB0", "Line 2"));
            QCOMPARE(int(store.setup("/dev/ttyUSB0").type), int(ScaleProtocol::Sics));
            QCOMPARE(store.scaleName("/dev/ttyUSB0"), QString("Line 2"));
        } else {
            ShiftStore store;
            QSignalSpy told(&store, &ShiftStore::saveFailed);
            QCOMPARE(store.resumesAtOnce(), false); // read as no file, not waited on
            store.setWindows({{{"port", "/dev/ttyUSB0"}}});
            store.setLanguage("english");
            QCOMPARE(told.count(), 1);
            QCOMPARE(told.at(0), QVariantList({name, why}));
            QCOMPARE(store.language(), QString("english"));
            QCOMPARE(store.windows(), QList<QVariantMap>({{{"port", "/dev/ttyUSB0"}}}));
        }
        QCOMPARE(contentsOf(target), QByteArray("[General]\nkept=1\n"));
        QVERIFY(QDir(elsewhere).isEmpty());
        QCOMPARE(QFileInfo(what == "folder link" ? folder : name).isSymLink(), what != "fifo");
    }
    // A resumed recording loses only a torn record at the end of its file, and says so; refused, it says why.
    void aResumedRecordingTellsWhatItTookOffOrWhyItStaysOff_data()
    {
        QTest::addColumn<QString>("what"); QTest::addColumn<QByteArray>("held"); QTest::addColumn<QString>("told");
        const QByteArray whole = "auto\t1.000\tkg\t01.02.2024\t 06:00:00.000\r\n\r";
        QTest::newRow("a torn record") << "file" << whole + "auto\t98765.4"
            << "The recording file\n<file>\nof <port> ended in a record or a header cut short, as a power cut leaves one. "
               "So that no part of a record is read as a whole one, these bytes were taken off:\n\"auto\\t98765.4\"\n"
               "The readings are added after the last whole record.";
        QTest::newRow("a link") << "link" << whole << "The window of <port> is open again, but recording stays off: the file\n"
                                                      "<file>\ncould not be opened (it is a symbolic link, and the program writes through none).";
        QTest::newRow("a CSV file") << "file" << QByteArray("time,scale,kind,value,unit,stable\r\n")
            << "The window of <port> is open again, but recording stays off: the file\n<file>\n"
               "could not be opened (it holds records in the format \"CSV, comma and decimal point\").";
    }
    void aResumedRecordingTellsWhatItTookOffOrWhyItStaysOff()
    {
        QFETCH(QString, what); QFETCH(QByteArray, held); QFETCH(QString, told);
        const QString recording = file(QTest::currentDataTag()), heldFile = what == "link" ? recording + ".target" : recording;
        QFile written(heldFile);
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(held) == held.size());
        written.close();
        QVERIFY(what != "link" || QFile::link(heldFile, recording));
        start(1);
        writeShift(shiftFile(), {{port(0), "200", recording, "true", "true"}}, true);
        shiftFile().setValue("language", "english");
        QString said;
        DialogScript script;
        script.then(readMessage(&said));
        restart();
        QVERIFY(QTest::qWaitFor([&] { return document(port(0)) && !said.isEmpty(); }, 5000));
        QCOMPARE(said, told.replace("<file>", recording).replace("<port>", port(0)));
        const bool torn = told.startsWith("The recording file"); // and the records go on: see the killed program
        QCOMPARE(document(port(0))->deviceTask()->isRecording(), torn);
        QVERIFY(torn || contentsOf(heldFile) == held);
    }
    // The real program with two scales, one window running and recording, one paused, killed twice. A second copy
    // started meanwhile leaves the shift alone and says why; the start after a kill is no second copy.
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
        const QByteArray before = "auto\t1.000\tkg\t01.02.2024\t 06:00:00.000\r\n\r", torn = "auto\t98765.4";
        QFile tornFile(recording);
        QVERIFY(tornFile.open(QIODevice::WriteOnly) && tornFile.write(before + torn) == before.size() + torn.size());
        tornFile.close();
        const QList<QStringList> shift{{builtIn.portPath(), "200", recording, "true", "true"},
                                       {sics.portPath(), "1000", pausedFile, "false", "true"}};
        writeShift(shiftFile(config), shift, true);
        shiftFile(config).setValue("language", "english");
        QProcess program, second;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config);
        environment.insert("TMPDIR", run.filePath("tmp"));
        program.setProcessEnvironment(environment);
        second.setProcessEnvironment(environment);
        const QByteArray told = "Another copy of this program is running and keeps the shift.\n"
                                "This one opens no port of the last shift, and the ports opened in it are not kept for the next start.\n";
        for (int start = 0; start < 2; ++start) {
            const int records = recordsIn(recording);
            sicsRequests = 0;
            program.start(SCALEACQ_PROGRAM, QStringList());
            QVERIFY(QTest::qWaitFor([&] { return recordsIn(recording) >= records + 3 && sicsRequests > 0; }, 15000));
            QByteArray said = program.readAllStandardError();
            QVERIFY2(!said.contains("Another copy"), said.constData());
            if (start == 0) {
                second.start(SCALEACQ_PROGRAM, QStringList());
                QVERIFY(QTest::qWaitFor([&] { return (said += second.readAllStandardError()).contains(told); }, 15000));
                second.terminate();
                QVERIFY(second.waitForFinished());
                QCOMPARE(savedWindows(shiftFile(config)), shift);
            }
            program.kill();
            QVERIFY(program.waitForFinished());
            QCOMPARE(savedWindows(shiftFile(config)), shift);
        }
        const QByteArray recorded = contentsOf(recording);
        QVERIFY(recorded.startsWith(before) && !recorded.contains(torn)); // taken off, not ended
        QVERIFY(recorded.endsWith(QByteArray("\r\n\r")));
        const QRegularExpression whole("^auto\t[ 0-9.]+\tkg\t\\d\\d\\.\\d\\d\\.\\d{4}\t \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$");
        const QList<QByteArray> records = recorded.mid(before.size()).split('\r');
        for (int i = 0; i + 1 < records.size(); i += 2) // each record ends CR LF CR: split, the LF heads the next piece
            QVERIFY2(whole.match(QString(records[i]).remove(QRegularExpression("^\n"))).hasMatch(), records[i]);
        QCOMPARE(contentsOf(pausedFile), QByteArray());
        QVERIFY(QFileInfo::exists(pausedFile));
    }
};

QTEST_MAIN(tst_Shift)
#include "tst_shift.moc"
