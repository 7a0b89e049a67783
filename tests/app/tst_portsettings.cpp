#include "AppTestSupport.h"
#include "DemoScales.h"
#include "IODeviceNew.h"
#include "LinkThread.h"
#include "LineMonitor.h"
#include "PortSettingsDialog.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLCDNumber>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <dlfcn.h>
#include <mutex>
#include <termios.h>

using S = QSerialPort;
using P = ScaleProtocol;

// A line's settings as numbers: baud rate, data bits, parity, stop bits, flow control.
static QList<int> fieldsOf(const PortSettings &line)
{
    return {line.baudRate, line.dataBits, line.parity, line.stopBits, line.flowControl};
}
// The settings file as anyone can edit it, one group per port.
static QSettings *storedFile()
{
    static QSettings *file = nullptr;
    delete file;
    return file = new QSettings(QSettings::NativeFormat, QSettings::UserScope, "scaleacq", "ports");
}
static QString groupOf(const QString &port) { return "ports/" + QUrl::toPercentEncoding(port); }
// The data bits and parity asked of each descriptor's line. A pseudo-terminal keeps eight bits and no parity
// whatever it is asked, and Qt then reports those: what the program asked is all there is to see. Every link's
// thread comes here: a standard mutex, whose locking a race detector sees, unlike QMutex's inside Qt.
static std::mutex askedLock;
static QMultiHash<int, tcflag_t> askedLines;
extern "C" int tcsetattr(int fd, int action, const termios *line)
{
    static const auto system = reinterpret_cast<int (*)(int, int, const termios *)>(dlsym(RTLD_NEXT, "tcsetattr"));
    std::lock_guard<std::mutex> lock(askedLock);
    askedLines.insert(fd, line->c_cflag & (CSIZE | PARENB | PARODD));
    return system(fd, action, line);
}

// Each port's kind of scale and line settings, as the operator sets them in
// Port settings... and the program keeps them: in the user's settings across
// restarts, on the line when the port is chosen, at once for an open window.
class tst_PortSettings : public DeviceFixture
{
    Q_OBJECT
    QTemporaryDir home;
    static QComboBox *box(QWidget *dialog, const char *name) { return dialog->findChild<QComboBox *>(name); }
    // Port settings... as the operator has it open: what they do in it, then Cancel unless they ended it.
    void inPortSettings(const std::function<void(QWidget *)> &doings)
    {
        DialogScript script;
        script.then([&](QWidget *dialog) {
            doings(dialog);
            if (dialog->isVisible())
                cancel(dialog);
        });
        action("portSettingsAct")->trigger();
    }
    // What the dialog shows: the kind, then the line's fields.
    static QList<int> shownIn(QWidget *dialog)
    {
        QList<int> shown;
        for (const char *name : {"typeBox", "baudBox", "dataBitsBox", "parityBox", "stopBitsBox", "flowBox"})
            shown << box(dialog, name)->currentData().toInt();
        return shown;
    }
    // The other fields as "objectName=text" (a check box's text 1 or 0): set in the dialog, then read from it in
    // the same form. Each field's value is its user property: text, current text, value or checked.
    static QStringList fill(QWidget *dialog, const QStringList &fields, bool set = true)
    {
        QStringList shown;
        for (const QString &field : fields) {
            QWidget *widget = dialog->findChild<QWidget *>(field.section('=', 0, 0));
            const QMetaProperty value = widget->metaObject()->userProperty();
            if (set)
                value.write(widget, field.section('=', 1));
            const QVariant now = value.read(widget);
            shown << field.section('=', 0, 0) + '='
                         + (!widget->isVisibleTo(dialog) ? QString("(hidden)")
                            : now.type() == QVariant::Bool ? QString::number(now.toInt()) : now.toString());
        }
        return shown;
    }
    // Port settings... answered as the operator would: the port, the kind, the
    // kind's defaults, then the line's fields by their texts (baud rate, data
    // bits, parity, stop bits, flow control; an empty one is left as it is),
    // then the other fields. A message it brings up is read into message.
    void setPort(const QString &name, P::Type type, const QStringList &line = {}, QString *message = nullptr,
                 const QStringList &fields = {})
    {
        DialogScript script;
        script.then([&](QWidget *dialog) {
            box(dialog, "portBox")->setCurrentText(name);
            box(dialog, "typeBox")->setCurrentIndex(box(dialog, "typeBox")->findData(type));
            QTest::mouseClick(dialog->findChild<QPushButton *>("defaultsButton"), Qt::LeftButton);
            const char *boxes[] = {"baudBox", "dataBitsBox", "parityBox", "stopBitsBox", "flowBox"};
            for (int i = 0; i < line.size(); ++i)
                if (!line.at(i).isEmpty())
                    box(dialog, boxes[i])->setCurrentText(line.at(i));
            fill(dialog, fields);
            qobject_cast<QDialog *>(dialog)->accept();
        });
        if (message)
            script.then(readMessage(message));
        action("portSettingsAct")->trigger();
        QCOMPARE(script.met, message ? QStringList({"PortSettingsDialog", "QMessageBox"})
                                     : QStringList("PortSettingsDialog"));
    }
private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        // The simulators' and the demo's ports go here, away from any running.
        QVERIFY(QDir().mkpath(home.filePath("tmp")));
        qputenv("TMPDIR", QFile::encodeName(home.filePath("tmp")));
    }
    void init()
    {
        storedFile()->clear();
    }
    // The manuals' settings; the simulator keeps its own table of them.
    void eachKindHasItsUsualLineSettings_data()
    {
        QTest::addColumn<QString>("kind"); // as stored
        QTest::addColumn<QList<int>>("line");
        const QList<int> n81 {9600, 8, S::NoParity, 1, S::NoFlowControl}, e71 {2400, 7, S::EvenParity, 1, S::NoFlowControl},
            e71At9600 {9600, 7, S::EvenParity, 1, S::NoFlowControl};
        for (const char *kind : {"", "builtin", "sics", "sics-marked", "ascii", "sma"}) // "": a port never set
            QTest::newRow(*kind ? kind : "never set") << QString(kind) << n81;
        for (const char *kind : {"header-comma", "immediate-print"})
            QTest::newRow(kind) << QString(kind) << e71;
        for (const char *kind : {"status-stream", "retail-w", "etx-reply"})
            QTest::newRow(kind) << QString(kind) << e71At9600;
        QTest::newRow("print-frame") << "print-frame" << QList<int> {1200, 7, S::OddParity, 1, S::NoFlowControl};
        QTest::newRow("continuous") << "continuous" << QList<int> {19200, 8, S::NoParity, 1, S::NoFlowControl};
        QTest::newRow("enq") << "enq" << QList<int> {2400, 8, S::NoParity, 1, S::NoFlowControl};
    }
    void eachKindHasItsUsualLineSettings()
    {
        QFETCH(QString, kind); QFETCH(QList<int>, line);
        if (!kind.isEmpty())
            storedFile()->setValue(groupOf("/dev/ttyUSB9") + "/type", kind);
        QCOMPARE(fieldsOf(PortSettingsStore().setup("/dev/ttyUSB9").line), line);
        QCOMPARE(fieldsOf(P::usualSettings(P::fromKey(kind))), line);
        QCOMPARE(fieldsOf(ScaleSimulator::settingsOf(P::fromKey(kind))), line);
    }
    // Each field set in the dialog, kept across a restart, shown again, handed
    // to the link; on a pseudo-terminal the scale answers only at its speed,
    // stop bits and flow control. An other ASCII scale sends its literal line
    // unasked: what the window reads from it shows its fields at work.
    void everyFieldOfTheDialogReachesTheLine_data()
    {
        QTest::addColumn<int>("type"); QTest::addColumn<QStringList>("texts"); QTest::addColumn<QList<int>>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QByteArray>("sent"); // empty: the simulator's own frames
        QTest::addColumn<QString>("reads");   // empty: no reading awaited
        // Every field away from the kind's usual value in some row.
        QTest::newRow("SICS-style at 19200 7E2, RTS/CTS")
            << int(P::Sics) << QStringList {"19200", "7", "Even", "2", "RTS/CTS"}
            << QList<int> {19200, 7, S::EvenParity, 2, S::HardwareControl} << QStringList() << QByteArray() << "g";
        QTest::newRow("print frames at 4800 8N2, XON/XOFF")
            << int(P::PrintFrame) << QStringList {"4800", "8", "None", "2", "XON/XOFF"}
            << QList<int> {4800, 8, S::NoParity, 2, S::SoftwareControl} << QStringList() << QByteArray() << "g";
        QTest::newRow("header and comma at 38400 8O1")
            << int(P::HeaderComma) << QStringList {"38400", "8", "Odd", "1", "None"}
            << QList<int> {38400, 8, S::OddParity, 1, S::NoFlowControl} << QStringList() << QByteArray() << "g";
        QTest::newRow("other ASCII, STX ... ETX, three places left out, in kg, quiet while steady")
            << int(P::Ascii) << QStringList {"4800"} << QList<int> {4800, 8, S::NoParity, 1, S::NoFlowControl}
            << QStringList {"lineEndBox=ETX", "noWeightEdit=----", "decimalsBox=3", "quietWhileSteadyBox=1",
                            "unitEdit=kg"}
            << QByteArray("\x02" "01250\x03") << "1.25 kg";
        QTest::newRow("other ASCII, ended by #, in lb")
            << int(P::Ascii) << QStringList {} << QList<int> {9600, 8, S::NoParity, 1, S::NoFlowControl}
            << QStringList {"lineEndBox=Other byte", "endByteEdit=#", "noWeightEdit=Err", "decimalsBox=0",
                            "quietWhileSteadyBox=0", "unitEdit=lb"}
            << QByteArray(" +12.5#") << "12.5 lb";
        // The retail kind reads its frames itself (tst_scaletypes); here only its unit is kept.
        QTest::newRow("retail-w in lb") << int(P::RetailW) << QStringList {}
                                        << QList<int> {9600, 7, S::EvenParity, 1, S::NoFlowControl}
                                        << QStringList {"unitEdit=lb", "decimalsBox=(hidden)"} << QByteArray()
                                        << QString();
        QTest::newRow("SICS-style names its own unit") << int(P::Sics) << QStringList {}
                                                       << QList<int> {9600, 8, S::NoParity, 1, S::NoFlowControl}
                                                       << QStringList {"unitEdit=(hidden)"} << QByteArray() << "g";
    }
    void everyFieldOfTheDialogReachesTheLine()
    {
        QFETCH(int, type); QFETCH(QStringList, texts); QFETCH(QList<int>, line); QFETCH(QStringList, fields);
        QFETCH(QByteArray, sent); QFETCH(QString, reads);
        ScaleSimulator *scale = startSimulated(P::Type(type));
        QVERIFY(scale);
        scale->setExpectedSettings({line[0], S::DataBits(line[1]), S::Parity(line[2]), S::StopBits(line[3]),
                                    S::FlowControl(line[4])});
        setPort(port(0), P::Type(type), texts, nullptr, fields.filter(QRegularExpression("=(?!\\(hidden\\))")));
        newWindow(); // the program started again
        QCOMPARE(fieldsOf(window->portSettingsStore()->setup(port(0)).line), line);
        QStringList shown;
        inPortSettings([&](QWidget *dialog) { shown = fill(dialog, fields, false); });
        QCOMPARE(shown, fields);
        DocumentWindow *document = open(port(0));
        QVERIFY(document);
        QCOMPARE(int(document->deviceTask()->setup().type), type);
        QCOMPARE(fieldsOf(document->deviceTask()->setup().line), line);
        // What the scale cannot see on a pseudo-terminal, the port a link opens with the window's setup is asked.
        QVERIFY(scales->add());
        { std::lock_guard<std::mutex> lock(askedLock); askedLines.clear(); }
        LinkThread link(port(1), document->deviceTask()->setup());
        QSignalSpy ready(&link, &LinkThread::linkReady);
        link.start();
        QVERIFY(ready.wait(3000) && ready.at(0).at(0).toBool());
        QList<int> onPort;
        link.inLink([&onPort, line](IODeviceNew *opened) {
            const QSerialPort *p = opened->findChild<QSerialPort *>();
            std::lock_guard<std::mutex> lock(askedLock); // data bits and parity each in a request of its own
            const auto asked = [fd = int(p->handle())](tcflag_t mask, tcflag_t bits) {
                const QList<tcflag_t> lines = askedLines.values(fd);
                return std::any_of(lines.cbegin(), lines.cend(), [=](tcflag_t c) { return (c & mask) == bits; });
            };
            onPort = {p->baudRate(), asked(CSIZE, line[1] == 7 ? CS7 : CS8),
                      asked(PARENB | PARODD, line[2] == S::NoParity ? 0 : line[2] == S::EvenParity ? PARENB : PARENB | PARODD),
                      p->stopBits(), p->flowControl()};
        });
        QCOMPARE(onPort, QList<int>({line[0], true, true, line[3], line[4]}));
        QTimer sending;
        connect(&sending, &QTimer::timeout, scale, [scale, sent] { scale->send(sent); });
        if (!sent.isEmpty())
            sending.start(100);
        if (reads.isEmpty())
            return;
        QTRY_COMPARE(document->deviceTask()->unitsWidget()->text(), reads.section(' ', -1));
        if (reads.contains(' '))
            QCOMPARE(document->deviceTask()->readoutWidget()->value(), reads.section(' ', 0, 0).toDouble());
    }
    // The settings of one port are never shown as another's.
    void choosingAnotherPortShowsItsSetup()
    {
        start(2);
        PortSettingsStore *store = window->portSettingsStore();
        store->setSetup(port(0), {P::Sics, {19200, S::Data8, S::NoParity, S::TwoStop, S::HardwareControl}});
        store->setSetup(port(1), {P::PrintFrame, {1200, S::Data7, S::OddParity, S::OneStop, S::SoftwareControl}});
        QList<int> first, second;
        bool told = true;
        inPortSettings([&](QWidget *dialog) {
            box(dialog, "portBox")->setCurrentText(port(0));
            first = shownIn(dialog);
            box(dialog, "portBox")->setCurrentText(port(1));
            second = shownIn(dialog);
            told = dialog->findChild<QLabel *>("ignoredLabel")->isVisibleTo(dialog);
        });
        QCOMPARE(first, QList<int>({P::Sics, 19200, 8, S::NoParity, 2, S::HardwareControl}));
        QCOMPARE(second, QList<int>({P::PrintFrame, 1200, 7, S::OddParity, 1, S::SoftwareControl}));
        QVERIFY(!told); // nothing was left out
    }
    // A stored value the dialog does not offer (a hand-edited file, another
    // version) never reaches the line: the kind's usual one is shown and
    // used, and the dialog names what it left out.
    void unusableStoredValuesAreNamedAndReplaced_data()
    {
        QTest::addColumn<QStringList>("stored"); QTest::addColumn<QList<int>>("shown");
        const QList<int> builtIn {P::BuiltIn, 9600, 8, S::NoParity, 1, S::NoFlowControl};
        QTest::newRow("7 baud") << QStringList {"baudRate=7"} << builtIn;
        QTest::newRow("a speed past any number") << QStringList {"baudRate=99999999999"} << builtIn;
        QTest::newRow("7 baud on a header-comma scale") << QStringList {"type=header-comma", "baudRate=7"}
                                                       << QList<int> {P::HeaderComma, 2400, 7, S::EvenParity, 1, 0};
        QTest::newRow("5 data bits on a print-frame scale") << QStringList {"type=print-frame", "dataBits=5"}
                                                           << QList<int> {P::PrintFrame, 1200, 7, S::OddParity, 1, 0};
        QTest::newRow("mark parity") << QStringList {"parity=5"} << builtIn;
        QTest::newRow("one and a half stop bits") << QStringList {"stopBits=3"} << builtIn;
        QTest::newRow("a word for flow control") << QStringList {"flowControl=fast"} << builtIn;
        QTest::newRow("a load threshold of 0") << QStringList {"loadThreshold=0"} << builtIn;
        QTest::newRow("an unknown kind, its speed kept") << QStringList {"baudRate=2400", "type=scale9000"}
                                                         << QList<int> {P::BuiltIn, 2400, 8, S::NoParity, 1, 0};
        const QList<int> ascii {P::Ascii, 9600, 8, S::NoParity, 1, S::NoFlowControl};
        QTest::newRow("a request with an unknown escape") << QStringList {"type=ascii", "request=SI\\q"} << ascii;
        QTest::newRow("an expression with no value part") << QStringList {"type=ascii", "pattern=([0-9.]+) kg"}
                                                          << ascii;
        QTest::newRow("an expression that does not compile") << QStringList {"type=ascii", "pattern=(?<value>[0-9"}
                                                             << ascii;
        QTest::newRow("a quiet time of five seconds") << QStringList {"type=ascii", "lineEnd=3", "quietMs=5000"}
                                                      << ascii;
        QTest::newRow("a reply end past the list") << QStringList {"type=ascii", "lineEnd=9"} << ascii;
        QTest::newRow("an end byte of two bytes") << QStringList {"type=ascii", "lineEnd=5", "endByte=\\r\\n"} << ascii;
        QTest::newRow("an end byte that is a digit") << QStringList {"type=ascii", "lineEnd=5", "endByte=0"} << ascii;
        QTest::newRow("an other byte end with no byte") << QStringList {"type=ascii", "lineEnd=5"} << ascii;
        QTest::newRow("seven decimal places") << QStringList {"type=ascii", "decimals=7"} << ascii;
        QTest::newRow("quiet while steady, perhaps") << QStringList {"type=ascii", "quietWhileSteady=maybe"} << ascii;
        QTest::newRow("a unit that is a number") << QStringList {"type=ascii", "unit=100"} << ascii;
        QTest::newRow("a retail scale's unit of two words")
            << QStringList {"type=retail-w", "unit=kg net"} << QList<int> {P::RetailW, 9600, 7, S::EvenParity, 1, 0};
    }
    void unusableStoredValuesAreNamedAndReplaced()
    {
        QFETCH(QStringList, stored); QFETCH(QList<int>, shown);
        start(1);
        for (const QString &entry : stored)
            storedFile()->setValue(groupOf(port(0)) + '/' + entry.section('=', 0, 0), entry.section('=', 1));
        QList<int> seen;
        QString said;
        inPortSettings([&](QWidget *dialog) {
            seen = shownIn(dialog);
            auto *label = dialog->findChild<QLabel *>("ignoredLabel");
            said = label->isVisibleTo(dialog) ? label->text() : QString();
        });
        QCOMPARE(seen, shown);
        QVERIFY2(said.contains(stored.last()), qPrintable(said));
        QCOMPARE(fieldsOf(window->portSettingsStore()->setup(port(0)).line), shown.mid(1));
        QCOMPARE(window->portSettingsStore()->loadThreshold(port(0)), CaptureFilter::defaultThreshold);
        // Opening the port says so too, without waiting for an answer.
        window->deviceNew(port(0));
        const auto told = [this, &stored] {
            QStringList texts;
            for (const QMessageBox *box : window->findChildren<QMessageBox *>())
                texts << box->text();
            return texts.filter(stored.last()).size();
        };
        QTRY_COMPARE(told(), 1);
    }
    // With the settings file made a folder, OK still sets the port for this
    // run, and says that the settings will be gone after a restart.
    void settingsThatCannotBeSavedAreTold()
    {
        QFile::remove(PortSettingsStore::fileName());
        QVERIFY(QDir().mkpath(PortSettingsStore::fileName()));
        start(1);
        QString said;
        setPort(port(0), P::Sics, {"19200"}, &said);
        QVERIFY2(said.contains(PortSettingsStore::fileName()), qPrintable(said));
        const ScaleSetup kept = window->portSettingsStore()->setup(port(0));
        QVERIFY(QDir().rmdir(PortSettingsStore::fileName()));
        QCOMPARE(int(kept.type), int(P::Sics));
        QCOMPARE(kept.line.baudRate, 19200);
    }
    // Device -> Limits... for the active window, typed as the operator does: at once for the window, kept for its
    // port across a reload of the store and given to a window on it in the next run. What cannot be used is
    // refused with the reason, and nothing is kept. Typed: low, high and, when given, the unit; the one proposed is
    // the reading's.
    void limitsAreSetForTheWindowAndKeptForItsPort_data()
    {
        QTest::addColumn<QStringList>("typed"); QTest::addColumn<QString>("kept"); // low, high, unit, beep; or the refusal
        QTest::newRow("a comma and a point") << QStringList{"12,5", "13.25", "g"} << "12.5 13.25 g 1";
        QTest::newRow("a low limit alone, in the unit on show") << QStringList{" 10 ", ""} << "10 none kg 1";
        QTest::newRow("low above high") << QStringList{"5", "4", "g"} << "The low limit is above the high limit.";
        QTest::newRow("not a number") << QStringList{"1O", "", "g"} << "A limit is a number, such as 12.5, or empty for none.";
    }
    void limitsAreSetForTheWindowAndKeptForItsPort()
    {
        QFETCH(QStringList, typed); QFETCH(QString, kept);
        const auto text = [](const WeightLimits &l) {
            const auto number = [](const std::optional<double> &limit) { return limit ? QString::number(*limit) : "none"; };
            return l.isSet() ? QStringList{number(l.low), number(l.high), l.unit, QString::number(l.beep)}.join(' ') : "none";
        };
        start(1);
        DocumentWindow *document = open(port(0));
        QVERIFY(document);
        QTRY_COMPARE(document->deviceTask()->readingUnit(), QString("kg"));
        QString refusal;
        DialogScript script;
        script.then([&](QWidget *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>("lowLimitEdit"), typed[0]);
            QTest::keyClicks(dialog->findChild<QLineEdit *>("highLimitEdit"), typed[1]);
            if (typed.size() > 2)
                dialog->findChild<QLineEdit *>("limitsUnitEdit")->setText(typed[2]);
            QTest::mouseClick(dialog->findChild<QCheckBox *>("limitsBeepBox"), Qt::LeftButton);
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            refusal = dialog->isVisible() ? dialog->findChild<QLabel *>("limitsProblemLabel")->text() : "";
            if (dialog->isVisible())
                cancel(dialog);
        });
        action("limitsAct")->trigger();
        QCOMPARE(script.met, QStringList("LimitsDialog"));
        QCOMPARE(refusal.isEmpty() ? text(PortSettingsStore().limits(port(0))) : refusal, kept);
        QCOMPARE(text(document->deviceTask()->limits()), refusal.isEmpty() ? kept : "none");
        newWindow();
        QVERIFY(document = open(port(0)));
        QCOMPARE(text(document->deviceTask()->limits()), refusal.isEmpty() ? kept : "none");
    }
    // OK on the active window's port reads it the new way, without closing it.
    void okReadsTheOpenPortTheNewWay()
    {
        ScaleSimulator *scale = startSimulated();
        QVERIFY(scale);
        DocumentWindow *document = open(port(0));
        QVERIFY(document);
        QTRY_COMPARE(document->deviceTask()->unitsWidget()->text(), QString("kg"));
        scale->setType(P::HeaderComma);
        scale->setWeight(7.25);
        setPort(port(0), P::HeaderComma);
        QTRY_COMPARE(document->deviceTask()->unitsWidget()->text(), QString("g"));
        QTRY_VERIFY(qAbs(document->deviceTask()->readoutWidget()->value() - 7.25) < 0.5);
        QCOMPARE(workspace()->subWindowList().size(), 1);
        // The window names how it reads the port now, and its line monitor, from the Device menu, shows the new requests.
        QCOMPARE(document->deviceTask()->setupWidget()->text(), QString("Header and comma frames (Q, ST,...), 2400 7E1"));
        action("lineMonitorAct")->trigger();
        auto *monitor = document->findChild<LineMonitor *>();
        QVERIFY(monitor && monitor->isVisible());
        QTRY_VERIFY(monitor->shownText().contains("  sent      Q<CR><LF>\n"));
    }
    // An other ASCII scale set up with the dialog: the last line the open port
    // received is shown with what the fields on show read from it, as they
    // change; OK keeps the fields, and the window then waits for the print key.
    void anAsciiScaleIsSetUpSeeingItsLastLine()
    {
        ScaleSimulator *scale = startSimulated(P::Ascii);
        QVERIFY(scale);
        ScaleSetup unasked(P::Ascii, P::usualSettings(P::Ascii));
        unasked.printKey = true;
        window->portSettingsStore()->setTemporary(port(0), unasked);
        DocumentWindow *document = open(port(0));
        QVERIFY(document);
        QStringList reads;
        bool printKeyOffered = false;
        inPortSettings([&](QWidget *dialog) {
            auto *readsLabel = dialog->findChild<QLabel *>("readsLabel");
            QVERIFY(readsLabel->text().isEmpty());
            scale->setStable(false);
            scale->pressPrint();
            QTRY_VERIFY(!readsLabel->text().isEmpty());
            reads << dialog->findChild<QLabel *>("lastLineLabel")->text() << readsLabel->text();
            dialog->findChild<QLineEdit *>("unstableEdit")->setText("US");
            reads << readsLabel->text();
            dialog->findChild<QLineEdit *>("patternEdit")->setText("W: +(?<value>\\S+) (?<unit>\\w+) (?<stable>\\w+)");
            reads << readsLabel->text();
            // A refusal names its rule; a long line never widens the dialog.
            auto *pattern = dialog->findChild<QLineEdit *>("patternEdit");
            const QString kept = pattern->text();
            pattern->setText("^X(?<value>[0-9]+)");
            reads << readsLabel->text();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const int width = dialog->sizeHint().width();
            qobject_cast<PortSettingsDialog *>(dialog)->takeReceived(port(0), "W: " + QByteArray(200, '7') + " g\r\n");
            QTRY_VERIFY(dialog->findChild<QLabel *>("lastLineLabel")->text().contains(QChar(0x2026)));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            reads << QString::number(dialog->sizeHint().width() - width)
                  << dialog->findChild<QLabel *>("lastLineLabel")->text().section(QChar(0x2026), 1).right(4);
            pattern->setText(kept);
            dialog->findChild<QLineEdit *>("requestEdit")->setText("P\\r\\n");
            printKeyOffered = dialog->findChild<QCheckBox *>("printKeyBox")->isVisibleTo(dialog);
            dialog->findChild<QLineEdit *>("requestEdit")->clear();
            dialog->findChild<QLineEdit *>("tareCommandEdit")->setText("T\\r\\n");
            qobject_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(reads, QStringList({"Last line received: W:      12,35 g US", "Reads 12,35 g, stable.",
                                     "Reads 12,35 g, not stable.", "Reads 12,35 g, not stable.",
                                     "Reads no weight: the pattern does not match.", "0", "77 g"}));
        QVERIFY(!printKeyOffered);
        const ScaleSetup kept = PortSettingsStore().setup(port(0));
        QCOMPARE(kept.ascii.unstableText, QString("US"));
        QCOMPARE(kept.ascii.tareCommand, QString("T\\r\\n"));
        QCOMPARE(kept.ascii.zeroCommand, QString());
        QCOMPARE(kept.ascii.pattern, QString("W: +(?<value>\\S+) (?<unit>\\w+) (?<stable>\\w+)"));
        QVERIFY(kept.printKey);
        QLabel *waiting = document->deviceTask()->noReadingWidget();
        QVERIFY(waiting->isVisibleTo(document) && waiting->text().contains("print key"));
        scale->setStable(true);
        scale->pressPrint();
        QTRY_COMPARE(document->deviceTask()->unitsWidget()->text(), QString("g"));
        // Shown with a decimal point: the read-out knows no comma.
        QVERIFY(qAbs(document->deviceTask()->readoutWidget()->value() - 12.35) < 0.05);
    }
    // Find the scale fills the dialog with what the scale answers to; a port
    // open in a window is left to that window's link.
    void findTheScaleFillsTheDialog_data()
    {
        QTest::addColumn<bool>("openInWindow"); QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QString>("said");
        QTest::newRow("a SICS-style scale") << false << QList<int> {P::Sics, 9600, 8, S::NoParity, 1, 0}
                                            << "Found: SICS-style commands (SI) at 9600 8N1. OK keeps these settings.";
        QTest::newRow("a port open in a window") << true << QList<int> {P::PrintFrame, 1200, 7, S::OddParity, 1, 0}
                                                 << " is open in a window. Close that window to search on its port: "
                                                    "a port is read by one link at a time.";
    }
    void findTheScaleFillsTheDialog()
    {
        QFETCH(bool, openInWindow); QFETCH(QList<int>, shown); QFETCH(QString, said);
        QVERIFY(startSimulated(P::Sics));
        window->portSettingsStore()->setSetup(port(0), {P::PrintFrame, P::usualSettings(P::PrintFrame)});
        if (openInWindow)
            QVERIFY(open(port(0)));
        QList<int> seen;
        QString told;
        bool ended = false;
        inPortSettings([&](QWidget *dialog) {
            box(dialog, "portBox")->setCurrentText(port(0));
            QTest::mouseClick(dialog->findChild<QPushButton *>("findButton"), Qt::LeftButton);
            auto *label = dialog->findChild<QLabel *>("findLabel");
            ended = QTest::qWaitFor([&] { return label->text().endsWith('.') && !label->text().endsWith("..."); });
            seen = shownIn(dialog);
            told = label->text();
        });
        QVERIFY(ended);
        QCOMPARE(seen, shown);
        QCOMPARE(told, openInWindow ? port(0) + said : said);
    }
    // The demo: four kinds of scale on ports of their own, offered and read
    // like real ones; what is set meanwhile, on its ports or real ones, is
    // never written.
    void demoScalesAreOfferedAndReadLikeRealOnes()
    {
        QVERIFY(startSimulated()); // its folder's ports stand for the system's
        DemoScales demo(window->portSettingsStore());
        window->setDemo(true);
        QVERIFY(window->windowTitle().endsWith(" - demo with simulated scales"));
        QCOMPARE(demo.ports().size(), 4);
        QStringList units;
        for (const QString &name : demo.ports()) {
            QVERIFY2(QFileInfo(name).fileName().startsWith("ttyDEMO"), qPrintable(name));
            DocumentWindow *document = open(name);
            QVERIFY2(document, qPrintable(name));
            QLabel *unit = document->deviceTask()->unitsWidget();
            QVERIFY(QTest::qWaitFor([&] { return !unit->text().endsWith("--"); }, 3000)); // not "---" nor "--"
            units << unit->text();
        }
        QCOMPARE(units, QStringList({"kg", "g", "kg", "g"}));
        setPort(demo.ports().at(1), P::HeaderComma);
        setPort(port(0), P::PrintFrame);
        QCOMPARE(int(window->portSettingsStore()->setup(port(0)).type), int(P::PrintFrame));
        QCOMPARE(storedFile()->allKeys(), QStringList());
        delete window; // gives the demo's ports back before the demo goes
        window = nullptr;
    }
    // A simulator killed outright leaves its link, which may come to lead to another scale's terminal: it is not
    // offered, and the next simulator to start removes it.
    void aKilledSimulatorsPortIsNeitherOfferedNorKept()
    {
        scales = std::make_unique<ScaleOnPty>();
        QVERIFY(scales->add());
        const QString folder = QFileInfo(port(0)).path(), stale = folder + "/ttySIM7";
        QVERIFY(QFile::link(scales->at(0)->terminalPath(), stale)); // its terminal's number handed to another scale
        QCOMPARE(SystemPortEnumerator(folder).ports().filter("ttySIM"), QStringList(port(0)));
        ScaleSimulator next;
        QVERIFY(next.startNumbered(folder, "ttySIM"));
        QCOMPARE(next.portPath(), folder + "/ttySIM1");
        QVERIFY(!QFileInfo(stale).isSymLink());
    }
};

QTEST_MAIN(tst_PortSettings)
#include "tst_portsettings.moc"
