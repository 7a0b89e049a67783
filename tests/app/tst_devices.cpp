#include "AppTestSupport.h"
#include "FaultSupport.h"
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLCDNumber>
#include <QPushButton>
#include <QStatusBar>
#include <sys/stat.h>

struct FixedPorts : PortEnumerator { // the system's port list as a test makes it up
    explicit FixedPorts(const QStringList &names) : names(names) {}
    QStringList ports() const override { return names; }
    const QStringList names;
};
static QByteArray contents(const QString &path) { QFile f(path); return f.open(QIODevice::ReadOnly) ? f.readAll() : ""; }
// The request each record of a file answers, from byte `from` on; a 0 ends
// the list where the bytes are not a whole record stamped just now.
static QList<int> records(const QString &path, int from = 0)
{
    static const QRegularExpression record("auto\\t(\\d+)\\.00\\tkg\\t"
                                           "(\\d\\d\\.\\d\\d\\.\\d{4}\\t \\d\\d:\\d\\d:\\d\\d\\.\\d{3})\\r\\n\\r");
    const QString text = QString::fromLatin1(contents(path));
    QList<int> found;
    for (QRegularExpressionMatch line; from < text.size() && !found.contains(0); from = line.capturedEnd()) {
        line = record.match(text, from, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
        const QDateTime when = QDateTime::fromString(line.captured(2), "dd.MM.yyyy\t hh:mm:ss.zzz");
        found << (when > QDateTime::currentDateTime().addSecs(-60)) * line.captured(1).toInt();
    }
    return found;
}

// Scales chosen, opened, commanded and closed as the operator does it, end to
// end: worker threads, pseudo-terminals, every dialog answered.
class tst_Devices : public DeviceFixture
{
    Q_OBJECT
    QTemporaryDir files;
    QString file(const char *name) const { return files.filePath(QTest::currentDataTag() + QString(name)); }
    QPushButton *pathButton() const { return window->findChild<QPushButton *>("recPathButton"); }
    QDoubleSpinBox *interval() const { return window->findChild<QDoubleSpinBox *>(); }
    bool checked(const char *name) const { return action(name)->isChecked(); }
    void activate(int i) { workspace()->setActiveSubWindow(static_cast<QMdiSubWindow *>(document(port(i))->parentWidget())); }
    void aReadingPasses(DeviceTask *task) { const int plotted = task->readings(); QTRY_VERIFY(task->readings() > plotted); }
private slots:
    void dropDownOffersFreeSerialPortsNewestFirst_data()
    {
        QTest::addColumn<QStringList>("present"); // in the system's order
        QTest::addColumn<QStringList>("opened"); QTest::addColumn<QStringList>("offered");
        QTest::newRow("newest first") << QStringList{"COM1", "COM3"} << QStringList() << QStringList{"COM3", "COM1"};
        QTest::newRow("opened left out, by case") << QStringList{"COM1", "COM3"} << QStringList{"COM3", "com1"}
                                                  << QStringList{"COM1"};
        QTest::newRow("nothing to offer") << QStringList{"", "LPT1", "COM1"} << QStringList{"COM1"} << QStringList{"none"};
    }
    void dropDownOffersFreeSerialPortsNewestFirst()
    {
        QFETCH(QStringList, present); QFETCH(QStringList, opened);
        Scaner box(std::make_unique<FixedPorts>(present));
        QCOMPARE(box.currentText(), QStringLiteral("port")); // untouched, it says what it is for
        for (const QString &port : opened)
            box.addOpenedCOM(port);
        QTEST(entries(&box), "offered");
        // The closed box keeps that list: the wheel, a letter or an arrow choose nothing from it.
        QSignalSpy chosen(&box, &QComboBox::textActivated);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&box, &wheel);
        QTest::keyClick(&box, Qt::Key_C);
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(chosen.count(), 0);
    }

    // A network port is typed and opened with Enter, never twice, and is
    // offered in the drop-down and in Port settings from then on.
    void aNetworkPortTypedInTheDropDownOpensAWindow()
    {
        start(1);
        ScaleSimulator scale;
        scale.queueValueReplies({"   3.500\r\n"});
        QVERIFY(scale.listen());
        const QString address = "tcp://localhost:" + scale.portPath().section(':', -1); // one window for any spelling
        QStringList told{"", ""}, listed;
        bool lineSettable = true;
        DialogScript script;
        script.then(readMessage(&told[0])).then(readMessage(&told[1])).then([&](QWidget *dialog) {
            QComboBox *ports = dialog->findChild<QComboBox *>("portBox");
            for (int i = 0; i < ports->count(); ++i)
                listed << ports->itemText(i);
            ports->setCurrentText(address); // its line settings are the converter's
            lineSettable = dialog->findChild<QComboBox *>("baudBox")->isEnabled();
            cancel(dialog);
        });
        auto type = [this](const QString &text) {
            scaner()->lineEdit()->selectAll();
            QTest::keyClicks(scaner(), text);
            QTest::keyClick(scaner(), Qt::Key_Return);
        };
        type("tcp://127.0.0.1"); // no port number
        type(" TCP://LocalHost:" + address.section(':', -1));
        QTRY_VERIFY(document(address));
        QTRY_COMPARE(document(address)->deviceTask()->readoutWidget()->value(), 3.5);
        type(QString(address).replace("localhost", "LOCALHOST"));
        QCOMPARE(told[0], "Type a network port as tcp://host:port, for example tcp://192.168.1.50:4001, and press Enter.");
        QCOMPARE(told[1], address + " is open in a window already.");
        QCOMPARE(workspace()->subWindowList().size(), 1);
        QVERIFY(!entries(scaner()).contains(address));
        document(address)->parentWidget()->close();
        QTRY_COMPARE(workspace()->subWindowList().size(), 0);
        const QRegularExpression ours("ttySIM|tcp:"); // not the machine's own ports
        QCOMPARE(entries(scaner()).filter(ours), QStringList({port(0), address}));
        action("portSettingsAct")->trigger();
        QCOMPARE(listed.filter(ours), QStringList({port(0), address}));
        QVERIFY(!lineSettable);
    }

    void fourPortsOpenTiledAndAllCloseAtExit()
    {
        start(5, 1); // the first scale says nothing: its link goes through time-outs
        QString told;
        DialogScript script;
        script.then(readMessage(&told)).then(readMessage(nullptr, QMessageBox::Close));
        for (int i = 0; i < 5; ++i)
            choose(port(i)); // no event-loop turn between them: four windows are still starting
        QCOMPARE(told, QStringLiteral("You cannot open more than 4 ports: close a window to open another."));
        QTRY_COMPARE(workspace()->subWindowList().size(), 4);
        QCOMPARE(offered(), QStringList({port(4)}));
        for (QMdiSubWindow *frame : workspace()->subWindowList()) { // each new window is a tile of the workspace
            const QSize off = frame->size() * 2 - workspace()->viewport()->size();
            QVERIFY(qAbs(off.width()) < 5 && qAbs(off.height()) < 5);
        }
        // Closed by its frame's button, a port is offered again at once, and
        // opens again once its link has let go of the terminal.
        document(port(1))->parentWidget()->close();
        QCOMPARE(offered(), QStringList({port(4), port(1)}));
        QTRY_COMPARE(workspace()->subWindowList().size(), 3);
        QCOMPARE(openDescriptorsOn(scales->at(1)->terminalPath()), 1); // the scale's own end
        QVERIFY(open(port(1)));
        QTRY_COMPARE(document(port(0))->deviceTask()->unitsWidget()->text(), QStringLiteral("--"));
        action("exitAct")->trigger(); // asks, and Close ends the program
        QVERIFY(!window->isVisible());
        delete window; // as main() does once its event loop has ended
        window = nullptr;
        for (int i = 0; i < 4; ++i)
            QCOMPARE(openDescriptorsOn(scales->at(i)->terminalPath()), 1);
    }

    // A window still starting when the program ends goes with it, and its task's thread with it.
    void aWindowStillStartingEndsWithTheProgram()
    {
        start(1);
        choose(port(0)); // no event-loop turn: the window is still starting
        QPointer<DocumentWindow> starting;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *found = qobject_cast<DocumentWindow *>(widget))
                starting = found;
        QVERIFY(starting && !document(port(0)));
        delete window;
        window = nullptr;
        QVERIFY(!starting);
    }

    // Record asks for a file once and appends to it from then on; a file chosen
    // while recording takes over at once; the operator hears of every trouble.
    void recordingFollowsTheChosenFileThroughTroubles()
    {
        start(2);
        QVERIFY(open(port(1)) && open(port(0)));
        DeviceTask *task = document(port(0))->deviceTask();
        action("goAct")->trigger();
        QStringList told{"", "", "", ""};
        DialogScript script; // the operator's answers, in turn
        script.then(chooseFile(file("a"))).then(cancel).then(chooseFile(file("b")));
        script.then(readMessage(&told[0])).then(readMessage(&told[1])).then(readMessage(&told[2]));
        script.then(chooseFile(file("missing/c"))).then(readMessage(&told[3]));
        action("recordAct")->trigger(); // no file yet: Record asks for one
        QCOMPARE(pathButton()->text(), ".../" + QFileInfo(file("a")).fileName());
        QTRY_VERIFY(records(file("a")).size() >= 2);
        action("recordAct")->trigger(); // off: the file is let go, and readings pass it by
        QCOMPARE(openDescriptorsOn(file("a")), 0);
        const QList<int> first = records(file("a")); // every reading once, the last one on show
        QVERIFY(first.last() - first.first() + 1 == first.size() && first.last() == task->readoutWidget()->value());
        aReadingPasses(task);
        action("recordAct")->trigger(); // on again, with no question
        pathButton()->click(); // cancelled while recording: it goes on in its file
        QVERIFY(checked("recordAct"));
        aReadingPasses(task);
        QList<int> before = records(file("a"));
        QVERIFY(before.mid(0, first.size()) == first && before.value(first.size()) > first.last() + 1);
        pathButton()->click(); // another file takes over at once
        before = records(file("a"));
        aReadingPasses(task);
        QCOMPARE(records(file("a")), before);
        QCOMPARE(records(file("b")).value(0), before.last() + 1);
        QVERIFY(QFile::remove(file("b"))); // a new file of the name takes the records, and that is told
        QTRY_VERIFY(told[0].contains(file("b")) && told[0].contains(port(0)) && !records(file("b")).isEmpty());
        const QByteArray kept = contents(file("b"));
        {
            FileSizeLimit full(kept.size() + 5); // room for a few bytes: each record is torn and taken back
            aReadingPasses(task);
            aReadingPasses(task);
            QCOMPARE(contents(file("b")), kept);
        }
        QVERIFY(told[1].contains(file("b")) && told[1].contains(qt_error_string(EFBIG)) && checked("recordAct"));
        QTRY_VERIFY(told[2].contains(file("b") + "\nagain") && !records(file("b"), kept.size()).isEmpty());
        QVERIFY(contents(file("b")).startsWith(kept) && !records(file("b")).contains(0));
        // Each window keeps its own interval, modes and file.
        interval()->setValue(1.5);
        activate(1);
        QVERIFY(checked("pauseAct") && !checked("goAct") && !checked("recordAct") && interval()->value() == 0.2);
        QCOMPARE(pathButton()->text(), QStringLiteral("..."));
        activate(0);
        QVERIFY(!checked("pauseAct") && checked("goAct") && checked("recordAct") && interval()->value() == 1.5);
        QCOMPARE(pathButton()->text(), ".../" + QFileInfo(file("b")).fileName());
        QCOMPARE(task->refreshRate() + document(port(1))->deviceTask()->refreshRate(), 1500 + 200);
        pathButton()->click(); // a file that cannot be opened is told, and Record goes off
        QCOMPARE(told[3], "Could not open the file\n" + file("missing/c") + "\n(" + qt_error_string(ENOENT) + ")."); // and why
        QVERIFY(!checked("recordAct") && !task->isRecording());
    }

    // A file chosen for recording that is not a regular file of the window's
    // own is refused with the reason, and the recording goes on where it was.
    // Which names are not regular files is the recorder's to tell, and its tests'.
    void recordingGoesOnlyIntoARegularFileOfItsOwn_data()
    {
        QTest::addColumn<QString>("what"); // under the name chosen
        QTest::addColumn<QString>("told");
        QTest::newRow("a named pipe nobody reads")
            << "fifo" << "Readings are recorded only into a regular file or under a new name;\n<file>\n"
                         "is a folder, a device, a pipe, a socket or a link.\nThe file chosen before is kept.";
        QTest::newRow("the file another window records into")
            << "recorded" << "The window of <window> is already recording into the file\n<file>\n"
                             "Each window records into a file of its own.\nThe file chosen before is kept.";
    }
    void recordingGoesOnlyIntoARegularFileOfItsOwn()
    {
        QFETCH(QString, what); QFETCH(QString, told);
        start(2);
        QVERIFY(open(port(1)) && open(port(0)));
        DeviceTask *task = document(port(0))->deviceTask();
        const QString chosen = file("chosen");
        QVERIFY(what != "fifo" || ::mkfifo(QFile::encodeName(chosen).constData(), 0600) == 0);
        QString refusal;
        DialogScript script;
        if (what == "recorded") {
            script.then(chooseFile(chosen));
            activate(1);
            action("recordAct")->trigger();
            activate(0);
        }
        script.then(chooseFile(file("own"))).then(chooseFile(chosen)).then(readMessage(&refusal));
        action("goAct")->trigger();
        action("recordAct")->trigger();
        pathButton()->click();
        QCOMPARE(refusal, QString(told).replace("<file>", chosen).replace("<window>", port(1)));
        QVERIFY(checked("recordAct") && task->isRecording());
        QCOMPARE(pathButton()->text(), ".../" + QFileInfo(file("own")).fileName());
        const int before = records(file("own")).size();
        QTRY_VERIFY(records(file("own")).size() > before);
        if (what != "recorded")
            return;
        QVERIFY(contents(chosen).isEmpty()); // its window is paused
        // Switched on again after the other window has moved into its file: Record stays off.
        script.then(chooseFile(file("own"))).then(readMessage(&refusal));
        action("recordAct")->trigger();
        activate(1);
        pathButton()->click();
        activate(0);
        action("recordAct")->trigger();
        QCOMPARE(refusal, "The window of " + port(1) + " is already recording into the file\n" + file("own")
                              + "\nEach window records into a file of its own.\nRecording stays off.");
        QVERIFY(!checked("recordAct") && !task->isRecording());
    }

    void exportResumesTheWindowAsItFoundIt_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QStringList>("meanwhile"); // what the operator does at the description, then at the name
        QTest::newRow("running, written") << true << QStringList{"", "name"};
        QTest::newRow("paused, written") << false << QStringList{"", "name"};
        QTest::newRow("running, cancelled") << true << QStringList{"", ""};
        QTest::newRow("other window made active") << true << QStringList{"", "name, activate"};
        QTest::newRow("closed while described") << true << QStringList{"close"};
        QTest::newRow("closed while named") << true << QStringList{"", "name, close"};
    }
    void exportResumesTheWindowAsItFoundIt()
    {
        QFETCH(bool, running); QFETCH(QStringList, meanwhile);
        start(2);
        QVERIFY(open(port(1)) && open(port(0)));
        QPointer<DocumentWindow> exported = document(port(0));
        DeviceTask *task = exported->deviceTask();
        action(running ? "goAct" : "pauseAct")->trigger();
        bool pausedWhileAsked = true;
        DialogScript script;
        for (const QString &step : meanwhile)
            script.then([&, step](QWidget *modal) {
                pausedWhileAsked &= task->isPaused() && checked("pauseAct") && !checked("goAct");
                step.startsWith("name") ? chooseFile(file("plot.svg"))(modal) : cancel(modal);
                if (step.endsWith("activate"))
                    activate(1);
                if (step.endsWith("close"))
                    QVERIFY(!exported->close() && QTest::qWaitFor([&] { return exported.isNull(); }));
            });
        action("exportAct")->trigger();
        const QString done = meanwhile.join(' ');
        QVERIFY(pausedWhileAsked);
        QCOMPARE(QFileInfo::exists(file("plot.svg")), done == " name" || done.endsWith("activate"));
        // The controls show the active window: the exported one, unless it was left.
        const bool left = done.endsWith("activate") || done.endsWith("close");
        QVERIFY(checked("goAct") == (running && !left) && checked("pauseAct") != checked("goAct"));
        if (!exported) // its task went with it
            return;
        const int plotted = task->readings(), requests = scales->requests(0);
        QTRY_VERIFY(task->readings() > plotted || scales->requests(0) >= requests + 3);
        QCOMPARE(task->readings() > plotted, running);
    }
    // The reading on show goes to the clipboard with its unit and the language's separator, by Ctrl+C or Edit -> Copy
    // reading; with none yet it is said so and the clipboard kept. With Copy each stable reading on, each stable one
    // the running window takes goes there as it comes, and no unstable one.
    void theReadingIsCopiedForAnotherProgram_data()
    {
        QTest::addColumn<bool>("polish"); QTest::addColumn<QString>("copied"); QTest::addColumn<QString>("told");
        QTest::newRow("English") << false << "12.5 g" << "Nothing copied: the window shows no reading.";
        QTest::newRow("Polish") << true << "12,5 g" << ""; // not looked at
    }
    void theReadingIsCopiedForAnotherProgram()
    {
        QFETCH(bool, polish); QFETCH(QString, copied); QFETCH(QString, told);
        Q_INIT_RESOURCE(scaleacq);
        QTranslator program, toolkit;
        QApplication::installTranslator(&program);
        QApplication::installTranslator(&toolkit);
        scales = std::make_unique<ScaleOnPty>();
        QVERIFY(scales->add(ScaleProtocol::Sics));
        auto replies = std::make_shared<int>(-1); // none while negative; then stable, later every other one unstable
        scales->answer(0, [replies](char, int) {
            const bool unstable = *replies > 100 && ++*replies % 2;
            return *replies < 0 ? QList<ScaleOnPty::Piece>()
                                : QList<ScaleOnPty::Piece>{{0, unstable ? "S D       13.0 g\r\n" : "S S       12.5 g\r\n"}};
        });
        newWindow(polish ? &program : nullptr, polish ? &toolkit : nullptr);
        window->portSettingsStore()->setTemporary(port(0), {ScaleProtocol::Sics, ScaleProtocol::usualSettings(ScaleProtocol::Sics)});
        DocumentWindow *shown = open(port(0));
        QVERIFY(shown);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        shown->setFocus();
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        QTRY_VERIFY(shown->hasFocus()); // where the operator left it, not in a field
        QTest::keySequence(window, QKeySequence::Copy);
        QCOMPARE(clipboard->text(), QString("before"));
        QCOMPARE(told.isEmpty() ? told : window->statusBar()->currentMessage(), told);
        *replies = 0;
        QTRY_COMPARE(shown->deviceTask()->reading(), QString("12.5"));
        QTest::keySequence(window, QKeySequence::Copy);
        QCOMPARE(clipboard->text(), copied);
        clipboard->setText("before");
        action("copyReadingAct")->trigger();
        QCOMPARE(clipboard->text(), copied);
        QStringList seen;
        QObject listening;
        connect(clipboard, &QClipboard::dataChanged, &listening, [&] { seen << clipboard->text(); });
        action("copyStableAct")->trigger();
        action("goAct")->trigger();
        *replies = 101;
        QTRY_VERIFY(*replies > 110 && seen.size() >= 3);
        seen.removeDuplicates();
        QCOMPARE(seen, QStringList(copied));
        delete std::exchange(window, nullptr);
    }
};

QTEST_MAIN(tst_Devices)
#include "tst_devices.moc"
