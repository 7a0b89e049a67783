#include <QtTest>
#include <QtWidgets>
#include "DocumentWindow.h"
#include "IODeviceNew.h"
#include "LineMonitor.h"
#include "TrafficView.h"

// What went on the line, so long after the first; direction Clear is the Clear button pressed.
struct Traffic
{
    int direction; // IODeviceNew::Sent, Received, or Clear
    int afterMs;
    QByteArray bytes;
};
Q_DECLARE_METATYPE(QList<Traffic>)
static const int Clear = -1;
static const QDateTime start(QDate(2024, 5, 6), QTime(10, 0));

static QString residentMemory()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    const QString text = QString::fromLatin1(status.readAll());
    return QRegularExpression("VmRSS:\\s*(\\d+ kB)").match(text).captured(1);
}

class tst_LineMonitor : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    DocumentWindow *window = nullptr;
    LineMonitor *monitor = nullptr;
    TrafficView *view() const { return monitor->findChild<TrafficView *>(); }
    QStringList lines() const { return view()->toPlainText().split('\n', Qt::SkipEmptyParts); }

private slots:
    void init()
    {
        window = new DocumentWindow(dir.filePath("ttyNone")); // no port: the link adds nothing of its own
        monitor = window->showLineMonitor();
    }
    void cleanup() { delete window; }

    // Each request is an entry with the time it went, answered or not; a reply in pieces is one, with the time
    // its first piece came; control bytes by name; a line without an end is cut; Clear forgets the line left open
    // and the bytes counted.
    void eachEntryHasItsOwnTime_data()
    {
        QTest::addColumn<QList<Traffic>>("traffic"); QTest::addColumn<QStringList>("shown");
        const int S = IODeviceNew::Sent, R = IODeviceNew::Received;
        QTest::newRow("requests no one answered") << QList<Traffic>{{S, 0, "Z"}, {S, 1000, "Z"}, {S, 2000, "Z"}}
            << QStringList{"10:00:00.000  sent      Z", "10:00:01.000  sent      Z", "10:00:02.000  sent      Z"};
        QTest::newRow("requests with line ends") << QList<Traffic>{{S, 0, "SI\r\n"}, {S, 250, "SI\r\n"}}
            << QStringList{"10:00:00.000  sent      SI<CR><LF>", "10:00:00.250  sent      SI<CR><LF>"};
        QTest::newRow("a reply in pieces") << QList<Traffic>{{S, 0, "A"}, {R, 40, "  12"}, {R, 90, ".50\r"}}
            << QStringList{"10:00:00.000  sent      A", "10:00:00.040  received    12.50<CR>"};
        QTest::newRow("control bytes named") << QList<Traffic>{{R, 0, QByteArray("\x02S\0\x1b\xff\t", 6)}}
            << QStringList{"10:00:00.000  received  <0x02>S<NUL><ESC><0xFF><0x09>"};
        QTest::newRow("two lines in one read") << QList<Traffic>{{R, 0, "1\r\n2\r"}}
            << QStringList{"10:00:00.000  received  1<CR><LF>", "10:00:00.000  received  2<CR>"};
        QTest::newRow("no line end for long") << QList<Traffic>{{R, 0, QByteArray(70, '7')}}
            << QStringList{"10:00:00.000  received  " + QString(64, '7'), "10:00:00.000  received  777777"};
        QTest::newRow("a request amid a line") << QList<Traffic>{{R, 0, "12"}, {S, 500, "A"}, {R, 540, ".50\r"}}
            << QStringList{"10:00:00.000  received  12", "10:00:00.500  sent      A", "10:00:00.540  received  .50<CR>"};
        QTest::newRow("LF in the next read") << QList<Traffic>{{R, 0, "kg\r"}, {R, 30, "\n"}, {R, 60, "kg\r\n"}}
            << QStringList{"10:00:00.000  received  kg<CR><LF>", "10:00:00.060  received  kg<CR><LF>"};
        QList<Traffic> readings;
        QStringList latest;
        for (int n = 0; n < 60; ++n) {
            readings << Traffic{R, 10 * n, "    12.50\r"};
            if (n >= 9)
                latest << start.addMSecs(10 * n).toString("hh:mm:ss.zzz") + "  received      12.50<CR>";
        }
        QTest::newRow("the oldest go") << readings << latest;
        QTest::newRow("cleared") << QList<Traffic>{{R, 0, QByteArray("    12.50\r").repeated(50) + "12"}, {Clear, 0, {}},
                                                   {R, 100, ".50\r"}, {R, 200, "    12.50\r"}}
            << QStringList{"10:00:00.100  received  .50<CR>", "10:00:00.200  received      12.50<CR>"};
    }
    void eachEntryHasItsOwnTime()
    {
        QFETCH(QList<Traffic>, traffic); QFETCH(QStringList, shown);
        for (const Traffic &t : traffic) {
            if (t.direction == Clear)
                monitor->findChild<QPushButton *>("clearButton")->click();
            else
                monitor->addTraffic(t.direction, t.bytes, start.addMSecs(t.afterMs));
            monitor->findChild<QPushButton *>("copyButton")->click(); // the view brought up to date between reads
            QCoreApplication::processEvents(); // and painted
        }
        QTRY_COMPARE(lines(), shown);
        // Its pixels, moved and painted a few lines at a time, are those of the view painted afresh.
        const QRect area(view()->viewport()->mapTo(monitor, QPoint()), view()->viewport()->size());
        auto pixels = [](const QPixmap &from) { return from.toImage().convertToFormat(QImage::Format_RGB32); };
        QTRY_COMPARE(pixels(monitor->screen()->grabWindow(monitor->winId())).copy(area), pixels(view()->viewport()->grab()));
        // And there are lines in them.
        QImage blank(area.size(), QImage::Format_RGB32);
        blank.fill(view()->viewport()->palette().color(QPalette::Base));
        QCOMPARE(pixels(view()->viewport()->grab()) == blank, shown.isEmpty());
    }

    // Lines dragged over with the mouse are selected and the copy key copies them, painted highlighted as
    // lines come; the selection stays on its lines as the oldest go; Ctrl+A selects all there is.
    void linesAreSelectedAndCopied()
    {
        // Twelve lines of 42 bytes: all shown, from the top.
        const auto line = [](int i) { return QByteArray(40, char('A' + i)) + "\r\n"; };
        const auto shown = [](int i) {
            return QStringLiteral("10:00:%1.000  received  ").arg(i, 2, 10, QLatin1Char('0')) + QString(40, QChar('A' + i))
                   + "<CR><LF>";
        };
        for (int i = 0; i < 12; ++i)
            monitor->addTraffic(IODeviceNew::Received, line(i), start.addSecs(i));
        QTRY_COMPARE(view()->lineCount(), 12);
        QWidget *area = view()->viewport();
        const int spacing = QFontMetrics(view()->font()).lineSpacing();
        const auto mouse = [area](QEvent::Type type, int y, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(30, y), QPointF(area->mapToGlobal(QPoint(30, y))),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(area, &event);
        };
        mouse(QEvent::MouseButtonPress, 4 + 3 * spacing + spacing / 2, Qt::LeftButton); // the fourth line
        mouse(QEvent::MouseMove, 4 + 4 * spacing + 2, Qt::LeftButton);                 // to the fifth
        mouse(QEvent::MouseButtonRelease, 4 + 4 * spacing + 2, Qt::NoButton);
        QCOMPARE(view()->selectedText(), shown(3) + '\n' + shown(4));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), shown(3) + '\n' + shown(4));

        // Two more lines: the two oldest go (about 512 bytes are kept), the view moves its pixels.
        for (int i = 12; i < 14; ++i) {
            monitor->addTraffic(IODeviceNew::Received, line(i), start.addSecs(i));
            monitor->findChild<QPushButton *>("copyButton")->click(); // brought up to date
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(lines().first(), shown(2));
        QCOMPARE(view()->selectedText(), shown(3) + '\n' + shown(4));
        const QRect onScreen(area->mapTo(monitor, QPoint()), area->size());
        auto pixels = [](const QPixmap &from) { return from.toImage().convertToFormat(QImage::Format_RGB32); };
        QTRY_COMPARE(pixels(monitor->screen()->grabWindow(monitor->winId())).copy(onScreen), pixels(area->grab()));
        // The highlight is there: a click elsewhere selects another line and changes the pixels.
        const QImage selectedPixels = pixels(area->grab());
        mouse(QEvent::MouseButtonPress, 4 + spacing / 2, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, 4 + spacing / 2, Qt::NoButton);
        QCOMPARE(view()->selectedText(), shown(2));
        QVERIFY(pixels(area->grab()) != selectedPixels);

        QTest::keyClick(view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(view()->selectedText(), view()->toPlainText());
    }

    // In Polish the lines say which way in Polish, in one column, and in English again after.
    void directionsFollowTheLanguage()
    {
        monitor->addTraffic(IODeviceNew::Sent, "A", start);
        monitor->addTraffic(IODeviceNew::Received, "1\r\n", start.addMSecs(40));
        QTRY_COMPARE(lines(), (QStringList{"10:00:00.000  sent      A", "10:00:00.040  received  1<CR><LF>"}));
        Q_INIT_RESOURCE(scaleacq); // the Polish catalogue
        QTranslator polish;
        QVERIFY(polish.load(":/polish.qm"));
        QCoreApplication::installTranslator(&polish);
        QTRY_COMPARE(lines(), (QStringList{"10:00:00.000  wysłano   A", "10:00:00.040  odebrano  1<CR><LF>"}));
        QCoreApplication::removeTranslator(&polish);
        QTRY_COMPARE(lines(), (QStringList{"10:00:00.000  sent      A", "10:00:00.040  received  1<CR><LF>"}));
    }

    // 20 MB come faster than they can be shown, in reads of a byte to a megabyte, with and without line ends:
    // the view keeps about the last 512 bytes, the GUI answers between two reads, and the newest
    // bytes are shown once the flood ends.
    void staysBoundedUnderAFlood()
    {
        QByteArray pattern;
        for (int i = 0; pattern.size() < (1 << 20); ++i)
            pattern += i % 7 == 3 ? QByteArray(300, 'x') : i % 7 == 5 ? QByteArray("\xff\x00\x1b", 3) : "    12.50\r\n";
        const QList<int> sizes{1, 13, 700, 4096, 65536, 1 << 20};
        const QString before = residentMemory();
        qint64 pushed = 0, slowestRead = 0, slowestTrip = 0;
        QElapsedTimer all;
        all.start();
        for (int n = 0; pushed < 20 << 20; ++n) {
            const QByteArray piece = pattern.left(sizes.at(n % sizes.size()));
            QElapsedTimer took;
            took.start();
            monitor->addTraffic(n % 50 == 49 ? IODeviceNew::Sent : IODeviceNew::Received, piece,
                                QDateTime::currentDateTime());
            slowestRead = std::max(slowestRead, took.restart());
            bool delivered = false;
            QTimer::singleShot(0, this, [&delivered] { delivered = true; });
            while (!delivered)
                QCoreApplication::processEvents();
            slowestTrip = std::max(slowestTrip, took.elapsed());
            pushed += piece.size();
            if (n == 40)
                monitor->findChild<QCheckBox *>("hexBox")->click();
            if (n % 16 == 15) {
                // Written line by line meanwhile, the view is what writing it afresh gives.
                QTest::qWait(LineMonitor::refreshMs);
                monitor->findChild<QPushButton *>("copyButton")->click();
                const QString written = QGuiApplication::clipboard()->text();
                monitor->findChild<QCheckBox *>("hexBox")->click();
                monitor->findChild<QCheckBox *>("hexBox")->click();
                QCOMPARE(view()->toPlainText(), written);
            }
            QVERIFY2(view()->lineCount() <= LineMonitor::keptBytes + 1
                         && view()->toPlainText().size() < 40 * LineMonitor::keptBytes,
                     qPrintable(QString("after %1 bytes: %2 lines, %3 characters").arg(pushed)
                                    .arg(view()->lineCount()).arg(view()->toPlainText().size())));
        }
        qInfo("%lld bytes in %lld ms; slowest read %lld ms, slowest event loop round trip %lld ms; RSS %s -> %s",
              pushed, all.elapsed(), slowestRead, slowestTrip, qPrintable(before), qPrintable(residentMemory()));
        monitor->addTraffic(IODeviceNew::Received, QByteArray(600, '7') + "END\r\n", start);
        QTRY_VERIFY(lines().last().endsWith("37 37 45 4E 44 0D 0A"));
        monitor->findChild<QCheckBox *>("hexBox")->click();
        QVERIFY(lines().last().endsWith("7777777END<CR><LF>"));
        int bytes = 0;
        for (const QString &line : lines())
            bytes += line.mid(24).replace(QRegularExpression("<[A-Z]+>"), ".").size();
        QVERIFY2(bytes > LineMonitor::keptBytes - 64 && bytes <= LineMonitor::keptBytes, qPrintable(QString::number(bytes)));
    }
};

QTEST_MAIN(tst_LineMonitor)
#include "tst_linemonitor.moc"
