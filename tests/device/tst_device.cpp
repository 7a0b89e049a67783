#include <QtTest>
#include <QtWidgets>
#include <QSerialPort>
#include <qwt_plot_curve.h>
#include <poppler-qt5.h>
#include <sys/stat.h>
#include "CsvReader.h"
#include "DeviceTask.h"
#include "DialogScript.h"
#include "DocumentWindow.h"
#include "GraphAttr.h"
#include "IODeviceNew.h"
#include "LabelHolder.h"
#include "LineMonitor.h"
#include "RandomPlot.h"
#include "SaveSamples.h"
#include "ScaleOnPty.h"
#include "VerdictLabel.h"
#include "Zoomer.h"

// An auto record of 12.50 kg, its time stamp in ASCII digits.
static const QRegularExpression autoLine(
    "^auto\\t12\\.50\\tkg\\t[0-9]{2}\\.[0-9]{2}\\.[0-9]{4}\\t [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}$");

// The likely cure the window adds when the scale answers nothing or nothing it can read.
#define PORT_SETTINGS_CURE "\nIf the scale is of another kind or uses other line settings, choose them in Device \u2192 Port settings..."

// Pixels of an image near a colour, and the rows they reach from the top and the bottom.
struct Ink { int pixels = 0, columns = 0, top = INT_MAX, bottom = -1; };
static Ink inkOf(const QImage &image, QColor colour)
{
    Ink ink;
    for (int x = 0; x < image.width(); ++x) {
        bool inColumn = false;
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) + qAbs(c.blue() - colour.blue()) < 60) {
                ++ink.pixels; inColumn = true; ink.top = std::min(ink.top, y); ink.bottom = std::max(ink.bottom, y);
            }
        }
        ink.columns += inColumn;
    }
    return ink;
}

// A scale naming kg and weighing 12.50; its first reply to a request of the given kind is the odd one.
static ScaleOnPty::Script weighing(char kind = 0, const QByteArray &odd = {})
{
    return [=, first = true](char request, int) mutable {
        const QByteArray usual = request == 'Z' ? "kg\r\n" : "    12.50\r";
        return QList<ScaleOnPty::Piece>{{0, request == kind && std::exchange(first, false) ? odd : usual}};
    };
}

// The lines a line monitor shows, each less its time stamp; a line without one is marked.
static QStringList monitored(LineMonitor *monitor)
{
    static const QRegularExpression stamp("^[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}  ");
    QStringList lines = monitor->shownText().split('\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = stamp.match(line).hasMatch() ? line.mid(14) : "no time: " + line;
    return lines;
}

// A text as a label or tip of the given format shows it; a tip guesses its format as AutoText does.
static QString rendered(const QString &text, Qt::TextFormat format = Qt::AutoText)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// Document windows, window i on simulated scale i, each recording into <port>.txt; window 0 is exported.
class tst_Device : public QObject
{
    Q_OBJECT

public:
    // A locale whose digits are not ASCII: Qt 5 writes dates in it unless told otherwise.
    static void initMain() { qputenv("LC_ALL", "ar_EG.UTF-8"); }
private:
    QTemporaryDir dir;
    ScaleOnPty scales;
    QList<QPointer<DocumentWindow>> windows;
    QMultiHash<QObject *, QString> shown; // the texts of the labels as they were shown
    QStringList titles, filters; // met in the last export; the filters followed by the name proposed
    QString message, question; // question: the file dialog's "replace?", answered with replace
    Qt::TextFormat messageFormat = Qt::AutoText;
    QMessageBox::StandardButton replace = QMessageBox::Yes;
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            shown.insert(object, object->property("text").toString());
        layoutRequests[object] += event->type() == QEvent::LayoutRequest;
        return false;
    }
    QHash<QObject *, int> layoutRequests;
    int addScale(const ScaleOnPty::Script &script)
    {
        scales.add();
        scales.answer(scales.ports().size() - 1, script);
        return scales.ports().size() - 1;
    }
    // The windows start together, so their waits overlap. A new one shows dashes, is paused, has nothing to step.
    void startWindows()
    {
        while (windows.size() < scales.ports().size()) {
            windows << new DocumentWindow(scales.port(windows.size()));
            DeviceTask *t = windows.last()->deviceTask();
            t->noReadingWidget()->installEventFilter(this);
            windows.last()->show();
            const QImage readout = t->readoutWidget()->grab().toImage();
            t->readoutWidget()->display("--------");
            QCOMPARE(t->readoutWidget()->grab().toImage(), readout);
            QVERIFY(t->unitsWidget()->text() == "---" && t->isPaused() && !t->isRecording());
            t->step();
            QVERIFY(QSignalSpy(windows.last(), &DocumentWindow::documentWindowStarted).wait(2000));
            QVERIFY(t->recorder()->open(windows.last()->port() + ".txt"));
            t->setRecording(true);
        }
    }
    DeviceTask *task(int i) const { return windows.at(i)->deviceTask(); }
    // Without the CR LF CR that ends each; a record cut short comes last.
    QStringList records(int i) const
    {
        QFile file(windows.at(i)->port() + ".txt");
        file.open(QIODevice::ReadOnly);
        return QString::fromLatin1(file.readAll()).split("\r\n\r", Qt::SkipEmptyParts);
    }
    QVector<double> plotted(int i) const
    {
        auto *curve = static_cast<QwtPlotCurve *>(task(i)->plotWidget()->itemList(QwtPlotItem::Rtti_PlotCurve)[0]);
        QVector<double> values(int(curve->dataSize()));
        std::generate(values.begin(), values.end(), [curve, n = 0]() mutable { return curve->sample(n++).y(); });
        return values;
    }
    // As the operator does: description typed, then Escape (it stays), file name typed (none: cancel), the question
    // whether to replace the file answered, message read.
    void exportTo(const QString &fileName)
    {
        DialogScript script;
        script.then([](QWidget *modal) { QTest::keyClicks(modal->findChild<QLineEdit *>(), "Test 1\x1b"); });
        script.then([this, fileName](QWidget *modal) {
            filters = qobject_cast<QFileDialog *>(modal)->nameFilters()
                      << modal->findChild<QLineEdit *>("fileNameEdit")->text();
            fileName.isEmpty() ? cancel(modal) : chooseFile(fileName)(modal);
            if (modal->isVisible()) // it went into a folder, or asked something
                cancel(modal);
        });
        message.clear();
        question.clear();
        script.then([this](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            const bool asked = box && box->parentWidget() && box->parentWidget()->inherits("QFileDialog");
            messageFormat = box && !asked ? box->textFormat() : messageFormat;
            readMessage(asked ? &question : &message, asked ? replace : QMessageBox::NoButton)(modal);
        });
        script.then(readMessage(&message));
        windows.at(0)->exportDocument();
        titles = script.titles;
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(scaleacq); // the Polish catalogue
        addScale(weighing());
        startWindows();
        QTRY_COMPARE(task(0)->unitsWidget()->text(), QStringLiteral("kg"));
    }
    void cleanupTestCase() { qDeleteAll(windows); }
    void readingsArePlottedAndRecordedOnlyWhileRunning()
    {
        QVERIFY(QLocale::system().zeroDigit() != '0');
        const int i = addScale(weighing());
        startWindows();
        DeviceTask *t = task(i);
        // Paused, though recording: readings reach the read-out only.
        QTRY_COMPARE(t->unitsWidget()->text(), QStringLiteral("kg"));
        QVERIFY(t->readoutWidget()->value() == 12.5 && plotted(i).isEmpty() && records(i).isEmpty());
        t->go();
        QTRY_VERIFY(t->readings() >= 2);
        // Step takes the reading as the scale sent it, as its auto line does, and pauses.
        t->step();
        const int stepLine = records(i).size() - 1, requests = scales.requests(i);
        QTRY_VERIFY(scales.requests(i) >= requests + 2);
        QCOMPARE(records(i).size(), stepLine + 1);
        // Unplugged while running: the placeholder is neither plotted nor recorded, and Step then takes nothing.
        t->go();
        scales.at(i)->vanish();
        QTRY_COMPARE(t->unitsWidget()->text(), QStringLiteral("--"));
        t->step();
        QStringList lines = records(i);
        QVERIFY(lines.value(stepLine).startsWith("step\t12.50\tkg\t"));
        lines[stepLine].replace(0, 4, "auto"); // stamped like the auto lines
        QCOMPARE(lines.filter(autoLine), lines);
        QCOMPARE(plotted(i), QVector<double>(lines.size(), 12.5));
    }
    void windowSaysWhyItHasNoReadingUntilOneComes_data()
    {
        QTest::addColumn<int>("scale"); QTest::addColumn<QString>("told"); // the line under the read-out, as a pattern
        QTest::newRow("no answer") << addScale(weighing('Z', "")) << "^No answer from the scale: check the cable";
        QTest::newRow("unit in capitals") << addScale(weighing('Z', "KG\r\n")) << "^The scale names a unit .*\"KG\"";
        QTest::newRow("not a number") << addScale(weighing('A', " 12.3x5\r")) << "^The scale's reply .*\"12\\.3x5\"";
        const int gone = addScale(weighing()), held = addScale(weighing());
        QTest::newRow("port gone") << gone << "^The port cannot be opened: [^\\n]+$";
        QTest::newRow("port held") << held << "^The port cannot be .+\\nAnother program may be using";
        scales.at(gone)->vanish();
        auto *holder = new QSerialPort(scales.port(held), this); // another program, for now
        QVERIFY(holder->open(QIODevice::ReadWrite));
        startWindows();
        // The adapter comes back, the other program lets go, once the window has said why.
        auto *watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [=] {
            if (!task(gone)->noReadingWidget()->isHidden() && !scales.at(gone)->isPresent())
                scales.at(gone)->comeBack();
            if (!task(held)->noReadingWidget()->isHidden())
                holder->close();
        });
        watch->start(20);
    }
    void windowSaysWhyItHasNoReadingUntilOneComes()
    {
        QFETCH(int, scale); QFETCH(QString, told);
        DeviceTask *t = task(scale);
        QTRY_COMPARE(t->unitsWidget()->text(), QStringLiteral("kg"));
        const QStringList said = shown.values(t->noReadingWidget());
        QVERIFY2(said.size() == 1 && said[0].contains(QRegularExpression(told)), qPrintable(said.join('|')));
        QVERIFY(t->noReadingWidget()->isHidden() && t->unitsWidget()->toolTip().isEmpty());
    }
    // What the window says when a scale of another kind answers without a weight, or with one it cannot take.
    void windowSaysWhatTheScaleOfAnyKindAnswered_data()
    {
        QTest::addColumn<int>("type"); QTest::addColumn<QByteArray>("reply"); QTest::addColumn<QString>("told");
        const auto row = [](const char *name, ScaleProtocol::Type type, const QByteArray &reply, const char *told) {
            QTest::newRow(name) << int(type) << reply << QString::fromUtf8(told);
        };
        row("out of range", ScaleProtocol::HeaderComma, "OL,          kg\r\n", "The load is out of the scale's weighing range.");
        row("busy", ScaleProtocol::Sics, "S I\r\n", "The scale is busy and sends no weight.");
        row("error", ScaleProtocol::Sics, "ES\r\n", "The scale reports an error: \"ES\".");
        row("unit of another kind", ScaleProtocol::Sics, "S S      100.00 grm\r\n",
            "The scale names a unit that is not accepted: \"S S      100.00 grm\"." PORT_SETTINGS_CURE);
        row("markup, shown as it came", ScaleProtocol::Sics, "S X <b>x</b><img src=\"a.png\">\r\n",
            "The scale's reply is not a reading: \"S X <b>x</b><img src=\"a.png\">\"." PORT_SETTINGS_CURE);
        row("flooding, quoted on one line", ScaleProtocol::Sics, "S X " + QByteArray(56, '7') + "\r\n",
            "The scale's reply is not a reading: \"S X 77777777777777777777777777777777777\u2026\"." PORT_SETTINGS_CURE);
    }
    void windowSaysWhatTheScaleOfAnyKindAnswered()
    {
        QFETCH(int, type); QFETCH(QByteArray, reply); QFETCH(QString, told);
        ScaleOnPty ptys;
        ScaleSimulator *scale = ptys.add(ScaleProtocol::Type(type));
        QVERIFY(scale);
        scale->queueValueReplies(QList<QByteArray>() << reply << reply << reply << reply << reply);
        DocumentWindow window(scale->portPath(), ScaleSetup{ScaleProtocol::Type(type), scale->expectedSettings()});
        window.show();
        QLabel *line = window.deviceTask()->noReadingWidget();
        QTRY_VERIFY_WITH_TIMEOUT(!line->isHidden(), 3000);
        QCOMPARE(rendered(line->text(), line->textFormat()), told);
        // The tips quote the reply whole.
        const QString tip = rendered(line->toolTip());
        QVERIFY2(told.contains(QChar(0x2026)) ? tip.contains(QString(reply).trimmed() + "\".") : tip == told,
                 qPrintable(tip));
        QCOMPARE(rendered(window.deviceTask()->unitsWidget()->toolTip()), tip);
        QCOMPARE(window.deviceTask()->unitsWidget()->text(), QStringLiteral("--"));
    }
    // The window names the kind of scale and the line settings it reads the port with, in the program's language,
    // and follows Port settings; the texts of a scale that answers nothing usable point there.
    void windowNamesTheKindAndLineSettingsItReads_data()
    {
        QTest::addColumn<QString>("catalogue"); QTest::addColumn<QStringList>("texts");
        QTest::newRow("English") << "" << QStringList{"SICS-style commands (SI), 9600 8N1",
            "Print frames (ESC P), 1200 7O1, RTS/CTS",
            "No answer from the scale: check the cable, the port and that the scale is switched on." PORT_SETTINGS_CURE,
            "The scale names a unit that is not accepted: \"KG\" (accepted: kg, kg., szt, g)." PORT_SETTINGS_CURE};
        QTest::newRow("Polish") << ":/polish.qm" << QStringList{"Polecenia w stylu SICS (SI), 9600 8N1",
            "Ramki wydruku (ESC P), 1200 7O1, RTS/CTS",
            "Brak odpowiedzi wagi: sprawdź kabel, port i czy waga jest włączona.\nJeśli waga jest innego rodzaju lub "
            "ma inne parametry łącza, ustaw je w Urządzenie \u2192 Ustawienia portu...",
            "Waga podaje jednostkę, której program nie przyjmuje: „KG” (przyjmowane: kg, kg., szt, g).\nJeśli waga "
            "jest innego rodzaju lub ma inne parametry łącza, ustaw je w Urządzenie \u2192 Ustawienia portu..."};
    }
    void windowNamesTheKindAndLineSettingsItReads()
    {
        QFETCH(QString, catalogue); QFETCH(QStringList, texts);
        QTranslator translator;
        QVERIFY(catalogue.isEmpty() || translator.load(catalogue));
        DocumentWindow window(dir.filePath("ttyNone"), {ScaleProtocol::Sics, ScaleProtocol::usualSettings(ScaleProtocol::Sics)});
        QSignalSpy started(&window, &DocumentWindow::documentWindowStarted); // may come while the text is awaited
        QLabel *setup = window.deviceTask()->setupWidget();
        QCoreApplication::installTranslator(&translator); // the language switched with the window open
        QTRY_COMPARE(setup->text(), texts[0]);
        QTRY_COMPARE(started.count(), 1);
        PortSettings line = ScaleProtocol::usualSettings(ScaleProtocol::PrintFrame);
        line.flowControl = QSerialPort::HardwareControl;
        window.deviceTask()->reopen({ScaleProtocol::PrintFrame, line}); // as Port settings does on OK
        QCOMPARE(setup->text(), texts[1]);
        QCOMPARE(DeviceTask::noReadingText(IODeviceNew::NoAnswer, {}), texts[2]);
        QCOMPARE(DeviceTask::noReadingText(IODeviceNew::UnitNotAccepted, "KG"), texts[3]);
    }
    // The line monitor shows the bytes of each exchange as they went, in order, with the bytes dropped unread before
    // a request. It follows a reopened port, and while closed nothing is sent its way.
    void lineMonitorShowsTheExchangesInOrder()
    {
        ScaleOnPty ptys;
        QVERIFY(ptys.add());
        ptys.answer(0, weighing());
        DocumentWindow window(ptys.port(0));
        DeviceTask *t = window.deviceTask();
        t->setRefreshRate(1000); // a long wait after each reply, in which the scale sends what nothing asked for
        LineMonitor *monitor = window.showLineMonitor();
        QTRY_VERIFY_WITH_TIMEOUT(monitored(monitor).contains("received      12.50<CR>"), 3000);
        ptys.at(0)->send("late\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(monitored(monitor).count("received      12.50<CR>") == 2, 3000);
        QStringList lines = monitored(monitor);
        QCOMPARE(lines.mid(lines.indexOf("received  late<CR><LF>") - 2, 5),
                 QStringList({"sent      A", "received      12.50<CR>", "received  late<CR><LF>", "sent      A",
                              "received      12.50<CR>"}));
        monitor->findChild<QPushButton *>("clearButton")->click();
        QCOMPARE(monitored(monitor), QStringList());
        // A new link asks for the unit first.
        t->reopen(ScaleSetup());
        QTRY_VERIFY_WITH_TIMEOUT(monitored(monitor).mid(0, 2) == QStringList({"sent      Z", "received  kg<CR><LF>"}), 3000);
        // Closed: once what was on its way has come, nothing more.
        t->setRefreshRate(200);
        monitor->close();
        const int asked = ptys.requests(0);
        QTRY_VERIFY(ptys.requests(0) >= asked + 2);
        QSignalSpy traffic(t, &DeviceTask::lineTraffic);
        QTRY_VERIFY(ptys.requests(0) >= asked + 4);
        QCOMPARE(traffic.count(), 0);
        monitor->findChild<QPushButton *>("clearButton")->click();
        window.showLineMonitor();
        QTRY_VERIFY(monitored(monitor).count("sent      A") >= 1);
    }
    // A GUI thread held up for a while (a modal file dialog over a pipe did that) still records each reading with
    // the time the scale's reply came, not the time the GUI got to it. The scale answers from a thread of its own.
    void recordsKeepTheTimeTheirReadingCame()
    {
        // Started here and handed over before its thread runs, which then ends it: no hand-over in either direction
        // goes through Qt's own locking, which a race detector cannot see.
        auto scale = std::make_unique<ScaleSimulator>();
        QVERIFY(scale->start(dir.filePath("ttyStall")));
        const QString portPath = scale->portPath();
        QThread scaleThread;
        scale->moveToThread(&scaleThread);
        connect(&scaleThread, &QThread::finished, scale.release(), &QObject::deleteLater);
        scaleThread.start();
        const auto stop = qScopeGuard([&] {
            scaleThread.quit();
            scaleThread.wait();
        });
        DocumentWindow window(portPath);
        QVERIFY(QSignalSpy(&window, &DocumentWindow::documentWindowStarted).wait(2000));
        DeviceTask *t = window.deviceTask();
        QVERIFY(t->recorder()->open(dir.filePath("stall.txt")));
        t->setRecording(true);
        t->go();
        QTRY_VERIFY(t->readings() >= 1);
        QThread::msleep(1000); // readings queue up meanwhile
        t->step(); // the reading on show, taken before the wait
        t->go();
        QTRY_VERIFY(t->readings() >= 6);
        t->pause();
        QFile file(dir.filePath("stall.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLatin1(file.readAll()).split("\r\n\r", Qt::SkipEmptyParts);
        QList<QTime> times;
        for (const QString &line : lines)
            times << QTime::fromString(line.section('\t', 4).trimmed(), "hh:mm:ss.zzz");
        const int step = lines.indexOf(QRegularExpression("^step\t.*"));
        QVERIFY2(step > 0 && times.at(step) == times.at(step - 1), qPrintable(lines.join('|')));
        QVERIFY2(times.at(step).msecsTo(times.at(step + 3)) >= 3 * 150, qPrintable(lines.join('|')));
    }
    // Loads placed and taken off one after another, unsteady readings between them: one record per load and none
    // while unsteady; only the stable readings where the scale says which are. Each reply is a value, "~" when the
    // scale calls it unsteady; past the script the scale never settles. The windows run together.
    void capturedRecordsFollowTheLoads()
    {
        struct Case { ScaleProtocol::Type type; CaptureFilter::Mode mode; QStringList replies, recorded; };
        const QStringList marked{"~1.00", "~2.00", "~3.00", "0.00", "~5.10", "~9.80", "10.00", "10.00", "~4.00",
                                 "0.00", "~7.00", "20.50", "20.51"};
        const QStringList unmarked{"1.00", "2.00", "3.00", "0.00", "0.00", "0.00", "5.10", "10.00", "10.00", "10.00",
                                   "10.00", "3.00", "0.00", "0.00", "0.00", "20.50", "20.50", "20.50"};
        const Case cases[] = {
            {ScaleProtocol::Sics, CaptureFilter::OnePerLoad, marked, {"10.00", "20.50"}},
            {ScaleProtocol::Sics, CaptureFilter::StableOnly, marked, {"0.00", "10.00", "10.00", "0.00", "20.50", "20.51"}},
            {ScaleProtocol::BuiltIn, CaptureFilter::OnePerLoad, unmarked, {"10.00", "20.50"}},
        };
        QList<std::shared_ptr<int>> answered;
        QList<QSignalSpy *> started;
        // Silent to value requests until every window records: a reply taken before would not be in its file.
        auto recording = std::make_shared<bool>(false);
        const int first = scales.ports().size();
        for (const Case &c : cases) {
            const int i = first + answered.size();
            QVERIFY(scales.add(c.type));
            auto n = std::make_shared<int>(0);
            answered << n;
            scales.answer(i, [c, n, recording](char request, int) {
                if (request == 'Z')
                    return QList<ScaleOnPty::Piece>{{0, "g\r\n"}};
                if (!*recording)
                    return QList<ScaleOnPty::Piece>();
                const QString reply = c.replies.value((*n)++, QString("~%1.00").arg(30 + *n));
                const QByteArray value = reply.mid(reply.startsWith('~')).toLatin1();
                return QList<ScaleOnPty::Piece>{{0, c.type == ScaleProtocol::BuiltIn
                    ? value.rightJustified(9) + '\r' : "S " + QByteArray(reply.startsWith('~') ? "D" : "S")
                      + value.rightJustified(12) + " g\r\n"}};
            });
            windows << new DocumentWindow(scales.port(i), {c.type, ScaleProtocol::usualSettings(c.type)});
            started << new QSignalSpy(windows.last(), &DocumentWindow::documentWindowStarted);
            DeviceTask *t = task(i);
            t->setCaptureMode(c.mode);
            t->setScaleName("Line \"2\"; left");
            t->setRecordFormat(c.mode == CaptureFilter::OnePerLoad ? RecordFormat::CsvSemicolon : RecordFormat::Classic);
            t->go();
        }
        for (int k = 0; k < answered.size(); ++k) {
            QTRY_COMPARE(started[k]->count(), 1);
            delete started[k];
            QVERIFY(task(first + k)->recorder()->open(windows.at(first + k)->port() + ".txt"));
            task(first + k)->setRecording(true);
        }
        *recording = true;
        for (int k = 0; k < answered.size(); ++k) {
            QTRY_VERIFY_WITH_TIMEOUT(*answered[k] > cases[k].replies.size() + 2, 10000);
            DeviceTask *t = task(first + k);
            QStringList values;
            if (t->recordFormat() == RecordFormat::Classic) {
                for (const QString &line : records(first + k))
                    values << line.section('\t', 1, 1);
            } else {
                const QList<QStringList> rows = csvRows(windows.at(first + k)->port() + ".txt", ';');
                for (const QStringList &row : rows.mid(1)) {
                    QCOMPARE(row.mid(2, 3) + row.mid(6), QStringList({"Line \"2\"; left", "", "auto", "g", "yes", ""}));
                    values << QString(row[5]).replace(',', '.');
                }
                QCOMPARE(t->loadsRecorded(), values.size());
                QVERIFY2(t->captureWidget()->text().endsWith("Loads weighed: 2"), qPrintable(t->captureWidget()->text()));
            }
            QCOMPARE(values, cases[k].recorded);
        }
        // The statistics of the stable readings, worked out apart, with each separator.
        DeviceTask *t = task(first + 1);
        t->showStatistics(true); // as Window -> Show statistics does
        QCOMPARE(t->statisticsWidget()->text(),
                 "Count: 6   Mean: 10.168 g   Std. dev.: 9.171 g   Min: 0.00 g   Max: 20.51 g");
        QCOMPARE(t->statistics().text(','),
                 "Count: 6   Mean: 10,168 g   Std. dev.: 9,171 g   Min: 0,00 g   Max: 20,51 g");
        t->resetStatistics();
        QCOMPARE(t->statisticsWidget()->text(), "Statistics: no reading taken yet");
    }
    // A mode chosen anew starts afresh: the load on the scale is a new one.
    void aCaptureModeChosenAgainTakesTheLoadOnTheScale()
    {
        CaptureFilter capture;
        capture.setMode(CaptureFilter::OnePerLoad);
        QVERIFY(capture.takes("10.00", true, true) && !capture.takes("10.00", true, true));
        capture.setMode(CaptureFilter::StableOnly);
        capture.setMode(CaptureFilter::OnePerLoad);
        QVERIFY(capture.takes("10.00", true, true));
    }
    // Limits in g ("" unset) and a reading: its verdict as recorded, and the word beside the read-out on its colour
    // ("" hidden; a note without a colour of its own), readable against any palette.
    void aReadingIsUnderWithinOrOverItsLimits_data()
    {
        QTest::addColumn<QString>("low"); QTest::addColumn<QString>("high"); QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("units"); QTest::addColumn<QString>("verdict"); QTest::addColumn<QString>("shown");
        QTest::newRow("just under the low limit") << "10" << "12.5" << "9.99" << "g" << "under" << "UNDER on #ffc107";
        QTest::newRow("equal to the low limit") << "10" << "12.5" << "10.00" << "g" << "ok" << "OK on #1b5e20";
        QTest::newRow("equal to the high limit") << "10" << "12.5" << "12.5" << "g" << "ok" << "OK on #1b5e20";
        QTest::newRow("just over the high limit") << "10" << "12.5" << "12.51" << "g" << "over" << "OVER on #9b1c1c";
        QTest::newRow("no low limit") << "" << "12.5" << "-100" << "g" << "ok" << "OK on #1b5e20";
        QTest::newRow("no high limit") << "10" << "" << "1e6" << "g" << "ok" << "OK on #1b5e20";
        QTest::newRow("no limit at all") << "" << "" << "5" << "g" << "" << "";
        QTest::newRow("another unit") << "10" << "12.5" << "11" << "kg" << "" << "limits are in g";
        QTest::newRow("below zero, under") << "-5" << "-1" << "-5.01" << "g" << "under" << "UNDER on #ffc107";
        QTest::newRow("below zero, over") << "-5" << "-1" << "-0.5" << "g" << "over" << "OVER on #9b1c1c";
    }
    void aReadingIsUnderWithinOrOverItsLimits()
    {
        QFETCH(QString, low); QFETCH(QString, high); QFETCH(QString, value); QFETCH(QString, units);
        QFETCH(QString, verdict); QFETCH(QString, shown);
        WeightLimits limits;
        limits.unit = "g";
        if (!low.isEmpty())
            limits.low = low.toDouble();
        if (!high.isEmpty())
            limits.high = high.toDouble();
        QCOMPARE(WeightLimits::key(limits.verdict(value, units)), verdict);
        QWidget row;
        auto *label = new VerdictLabel(&row);
        row.show();
        label->setLimits(limits);
        label->follow(value, units);
        const QColor background = label->palette().color(QPalette::Window), ink = label->palette().color(QPalette::WindowText);
        QCOMPARE(!label->isVisible() ? "" : label->text() + (label->autoFillBackground() ? " on " + background.name() : ""),
                 shown);
        // WCAG's contrast of the word to its background.
        const auto luminance = [](QColor c) {
            const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
        };
        const double lighter = std::max(luminance(background), luminance(ink)), darker = std::min(luminance(background), luminance(ink));
        QVERIFY2(!label->autoFillBackground() || (lighter + 0.05) / (darker + 0.05) >= 7, qPrintable(ink.name()));
    }
    // The lot and the verdict go with each record the window takes; a new lot counts its loads and statistics
    // from none, and new limits judge the reading on show at once.
    void eachRecordCarriesItsLotAndVerdict()
    {
        const int i = addScale(weighing());
        windows << new DocumentWindow(scales.port(i));
        DeviceTask *t = task(i);
        QObject listening;
        QStringList taken; // lot and verdict of each record
        connect(t, &DeviceTask::readingTaken, &listening, [&taken](const SampleRecord &record) {
            taken << record.lot + " " + record.verdict;
        });
        WeightLimits limits;
        limits.low = 12.5;
        limits.unit = "kg";
        t->setLimits(limits);
        t->setLot("L-7");
        t->setCaptureMode(CaptureFilter::OnePerLoad);
        QVERIFY(QSignalSpy(windows.last(), &DocumentWindow::documentWindowStarted).wait(2000));
        QVERIFY(t->recorder()->open(windows.last()->port() + ".txt"));
        t->setRecording(true);
        t->go();
        QTRY_COMPARE(t->loadsRecorded(), 1);
        QCOMPARE(taken, QStringList("L-7 ok"));
        QCOMPARE(records(i).size(), 1);
        QCOMPARE(t->verdictWidget()->text(), QString("OK"));
        QCOMPARE(t->statistics().count(), 1);
        t->setLot("L-8");
        QCOMPARE(QList<int>({t->loadsRecorded(), t->statistics().count()}), QList<int>({0, 0}));
        QVERIFY(t->captureWidget()->text().endsWith("Loads weighed: 0"));
        limits.high = 12.0;
        limits.low.reset();
        t->setLimits(limits);
        QCOMPARE(t->verdictWidget()->text(), QString("OVER"));
        t->step();
        QCOMPARE(taken.last(), QString("L-8 over"));
    }
    void mouseMovesReachThePlot()
    {
        // The zoomer follows the pointer over the canvas, so its tracker shows where it is.
        QWidget *canvas = task(0)->plotWidget()->canvas();
        QMouseEvent move(QEvent::MouseMove, {50, 40}, canvas->mapToGlobal({50, 40}), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        QCOMPARE(task(0)->plotWidget()->getZoomer()->trackerPosition(), QPoint(50, 40));
    }
    void exportWritesTheFileItsNameAsksForOrNothing_data()
    {
        // What is at the target first, the name chosen (none: cancelled; link.png links to target.png, null.png to
        // /dev/null), how the file written starts (none: all left as it was), whether a message names it. A FIFO and
        // a folder stand for what is not a file: as root, a fault would replace /dev/null.
        QTest::addColumn<QString>("existing"); QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("magic"); QTest::addColumn<bool>("told");
        const QByteArray png("\x89PNG\r\n\x1a\n"), none;
        QTest::newRow("pdf") << "file" << "target.pdf" << QByteArray("%PDF-") << false;
        QTest::newRow("svg") << "file" << "target.svg" << QByteArray("<?xml") << false;
        QTest::newRow("ps") << "file" << "target.ps" << QByteArray("%!PS-Adobe") << false;
        QTest::newRow("new name") << "" << "target.png" << png << false;
        QTest::newRow("link to a regular file") << "file" << "link.png" << none << true;
        QTest::newRow("broken link") << "" << "link.png" << none << true;
        QTest::newRow("link to a device") << "device" << "null.png" << none << true;
        QTest::newRow("fifo") << "fifo" << "target.png" << none << true;
        QTest::newRow("link to a fifo") << "fifo" << "link.png" << none << true;
        QTest::newRow("folder") << "folder" << "target.png" << none << false;
        QTest::newRow("link to a folder") << "folder" << "link.png" << none << false;
        QTest::newRow("cancelled") << "file" << "" << none << false;
        QTest::newRow("missing folder") << "" << "missing/target.pdf" << none << true;
        QTest::newRow("unknown type") << "" << "target.txt" << none << true;
        QTest::newRow("markup in the name") << "" << "<b>x<img src=target.png>.txt" << none << true;
    }
    void exportWritesTheFileItsNameAsksForOrNothing()
    {
        QFETCH(QString, existing); QFETCH(QString, chosen); QFETCH(QByteArray, magic); QFETCH(bool, told);
        const QDir folder(dir.filePath(QTest::currentDataTag()));
        QVERIFY(folder.mkpath(".") && QFile::link(folder.filePath("target.png"), folder.filePath("link.png")));
        QFile target(folder.filePath(QString(chosen.isEmpty() ? "target.png" : chosen).replace("link", "target")));
        // Yesterday's export, replaced once the operator says so.
        QVERIFY(existing != "file" || (target.open(QIODevice::WriteOnly) && target.write("yesterday") == 9));
        QVERIFY(existing != "fifo" || ::mkfifo(QFile::encodeName(target.fileName()).constData(), 0600) == 0);
        QVERIFY(existing != "folder" || folder.mkdir(target.fileName()));
        QVERIFY(existing != "device" || QFile::link("/dev/null", target.fileName()));
        target.close();
        const auto entries = [&folder] {
            QStringList kinds;
            for (const QFileInfo &info : folder.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
                kinds << info.fileName() + (info.isSymLink() ? "@" : info.isDir() ? "/" : info.isFile() ? "" : "|");
            return kinds;
        };
        const QStringList before = entries();
        exportTo(chosen.isEmpty() ? chosen : folder.filePath(chosen));
        QVERIFY2(told ? rendered(message, messageFormat).contains(folder.filePath(chosen)) : message.isEmpty(),
                 qPrintable(message));
        QCOMPARE(entries(), magic.isEmpty() ? before : QStringList({"link.png@", QFileInfo(target).fileName()}));
        // The titles were the document's: the window's plot shows none.
        QVERIFY(task(0)->plotWidget()->title().isEmpty() && task(0)->plotWidget()->axisTitle(QwtPlot::yLeft).isEmpty());
        if (magic.isEmpty())
            return;
        QVERIFY(target.open(QIODevice::ReadOnly) && target.peek(magic.size()) == magic);
        // Landscape, 300 x 200 mm: 850.4 x 566.9 points, which the writers round to whole points.
        const QByteArray bytes = target.readAll();
        QVERIFY2(!chosen.endsWith(".ps") || bytes.contains("\n%%BoundingBox: 0 0 850 567\n"), bytes.left(400).constData());
        if (!chosen.endsWith(".pdf"))
            return;
        const std::unique_ptr<Poppler::Document> pdf(Poppler::Document::loadFromData(bytes));
        QVERIFY(pdf && pdf->numPages() == 1);
        const QSizeF page = std::unique_ptr<Poppler::Page>(pdf->page(0))->pageSizeF();
        QCOMPARE(QSize(qRound(page.width()), qRound(page.height())), QSize(850, 567));
    }
    // Asked whether to replace a file (the rows above say yes), the operator says no.
    void exportAsksBeforeReplacingAFile()
    {
        QFile file(dir.filePath("kept.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("yesterday") == 9);
        file.close();
        replace = QMessageBox::No;
        exportTo(file.fileName());
        replace = QMessageBox::Yes;
        QVERIFY2(question.startsWith("kept.pdf already exists."), qPrintable(question));
        QVERIFY(message.isEmpty() && file.open(QIODevice::ReadOnly) && file.readAll() == "yesterday");
    }
    void exportSpeaksTheOperatorsLanguage_data()
    {
        QTest::addColumn<QString>("catalogue"); QTest::addColumn<QStringList>("texts"); // dialogs, product, axis
        QTest::newRow("English") << "" << QStringList{"Saving graph", "Export Plot Name", "KORVEN WEIGHING SOFTWARE",
                                                      "units: kg"};
        QTest::newRow("Polish") << ":/polish.qm" << QStringList{"Zapisywanie wykresu", "Eksportuj wykres do pliku",
                                                                "KORVEN program do obsługi wag", "jednostki: kg"};
    }
    void exportSpeaksTheOperatorsLanguage()
    {
        QFETCH(QString, catalogue); QFETCH(QStringList, texts);
        QTranslator translator;
        QVERIFY(catalogue.isEmpty() || translator.load(catalogue));
        QCoreApplication::installTranslator(&translator);
        QFile file(dir.filePath(QTest::currentDataTag() + QString(".svg"))); // new: no question to answer
        exportTo(file.fileName());
        QCOMPARE(titles, texts.mid(0, 2));
        // Three title lines, product, time of the export and description, each drawn, as is the axis title.
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(file.readAll());
        const QString date = QLocale::c().toString(QDate::currentDate(), "dd.MM.yyyy");
        const QString title = "<title>" + texts[2] + "\n" + date + "   [0-9]{2}:[0-9]{2}\nTest 1</title>";
        QVERIFY2(svg.contains(QRegularExpression(title)), qPrintable(svg.left(400)));
        for (const QString &drawn : {texts[2], QStringLiteral("Test 1"), texts[3]})
            QVERIFY2(svg.contains('>' + drawn + "</text>"), qPrintable(drawn));
        // File types and the proposed name are never translated.
        QCOMPARE(filters, QStringList({"PDF Documents (*.pdf)", "SVG Documents (*.svg)", "Postscript Documents (*.ps)",
                                       "Images (*." + QImageWriter::supportedImageFormats().join(" *.") + ")",
                                       "unnamed.pdf"}));
    }
    // The stable reading is the clearest thing on show, filled segments in the palette's text colour; one the scale
    // does not call stable yet is an amber outline, dark on a light palette and light on a dark one, and its tip says so.
    void stableReadingIsTheClearest_data()
    {
        QTest::addColumn<QColor>("window"); QTest::addColumn<QColor>("text"); QTest::addColumn<QColor>("amber");
        QTest::newRow("light palette") << QColor(0xef, 0xef, 0xef) << QColor(0x20, 0x20, 0x20) << QColor(0xa0, 0x58, 0x00);
        QTest::newRow("dark palette") << QColor(0x2a, 0x2a, 0x2a) << QColor(0xe8, 0xe8, 0xe8) << QColor(0xff, 0xb3, 0x40);
    }
    void stableReadingIsTheClearest()
    {
        QFETCH(QColor, window); QFETCH(QColor, text); QFETCH(QColor, amber);
        const struct Restore { QPalette palette = QApplication::palette(); ~Restore() { QApplication::setPalette(palette); } } before;
        QPalette palette = before.palette;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, text);
        QApplication::setPalette(palette);
        const int i = scales.ports().size();
        ScaleSimulator *scale = scales.add(ScaleProtocol::Sics);
        scale->setWeight(88.88);
        scale->setStable(false);
        windows << new DocumentWindow(scales.port(i), {ScaleProtocol::Sics, ScaleProtocol::usualSettings(ScaleProtocol::Sics)});
        windows.last()->show();
        QLCDNumber *readout = task(i)->readoutWidget();
        QTRY_COMPARE(readout->segmentStyle(), QLCDNumber::Outline);
        const auto digits = [readout] { return readout->grab(readout->contentsRect()).toImage(); }; // not the frame
        const Ink unstableText = inkOf(digits(), text), unstableAmber = inkOf(digits(), amber);
        QVERIFY(!readout->toolTip().isEmpty());
        scale->setStable(true);
        QTRY_COMPARE(readout->segmentStyle(), QLCDNumber::Flat);
        const Ink stableText = inkOf(digits(), text), stableAmber = inkOf(digits(), amber);
        QVERIFY(readout->toolTip().isEmpty());
        QCOMPARE(std::make_pair(unstableText.pixels, stableAmber.pixels), std::make_pair(0, 0));
        QVERIFY2(2 * stableText.pixels > 3 * unstableAmber.pixels && unstableAmber.pixels > 0, // filled, not outlined
                 qPrintable(QString("%1 text, %2 amber").arg(stableText.pixels).arg(unstableAmber.pixels)));
        QCOMPARE(digits().pixelColor(0, 0), window); // the digits' ground is the palette's
    }
    // Exported while following readings, the curve is drawn where the window shows it: across the plot, spanning
    // much of its height, not as a strip along the frame.
    // A line rewritten at every reading lays its window out again only when its size changes, also when it
    // changed while hidden.
    void heldLabelLaysOutOnlyForANewSize_data()
    {
        QTest::addColumn<QString>("after"); QTest::addColumn<bool>("hidden"); QTest::addColumn<int>("requests");
        QTest::newRow("same size") << "Count: 2" << false << 0;
        QTest::newRow("wider") << "Count: 1000000" << false << 1;
        QTest::newRow("wider while hidden") << "Count: 1000000" << true << 1;
    }
    void heldLabelLaysOutOnlyForANewSize()
    {
        QFETCH(QString, after); QFETCH(bool, hidden); QFETCH(int, requests);
        QWidget window;
        auto *row = new QWidget(&window);
        (new QVBoxLayout(&window))->addWidget(row);
        auto *rowLayout = new QHBoxLayout(row);
        auto *holder = new LabelHolder(row);
        holder->label()->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // digits of one width
        holder->label()->setText("Count: 1");
        rowLayout->addWidget(holder, 1);
        rowLayout->addWidget(new QToolButton(row));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents();
        row->installEventFilter(this);
        layoutRequests.clear();
        row->setHidden(hidden);
        holder->label()->setText(after);
        row->show();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents();
        QCOMPARE(layoutRequests.value(row), requests);
        QCOMPARE(holder->label()->text(), after);
        QVERIFY(holder->width() >= holder->label()->minimumSizeHint().width());
        QCOMPARE(holder->label()->geometry(), holder->rect());
    }
    void exportOfAFollowedWindowShowsTheCurve()
    {
        RandomPlot *plot = task(0)->plotWidget();
        GraphAttr look(Qt::white, Qt::white, Qt::red, Qt::red, 2); // background, grid, curve, markers
        windows.at(0)->graphViewChange(&look);
        plot->setFollowing(true);
        for (int n = 0; n < 1000; ++n)
            plot->appendMyPoint(n, 250.0 + (n % 5 - 2) * 0.1);
        exportTo(dir.filePath("followed.png"));
        plot->setFollowing(false);
        const QImage image(dir.filePath("followed.png"));
        QVERIFY(!image.isNull());
        const Ink curve = inkOf(image, Qt::red);
        QVERIFY2(curve.columns > image.width() / 2 && curve.bottom - curve.top > image.height() / 4,
                 qPrintable(QString("%1 columns, rows %2 to %3 of %4 x %5").arg(curve.columns).arg(curve.top)
                            .arg(curve.bottom).arg(image.width()).arg(image.height())));
    }
};

QTEST_MAIN(tst_Device)
#include "tst_device.moc"
