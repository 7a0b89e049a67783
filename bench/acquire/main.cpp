// Runs the real program's main window over simulated scales, every window in
// Go with recording on, for a stretch of real time, and reports what the
// operator's machine pays for it: CPU share, resident memory over time, the
// GUI thread's time per reading, and whether every accepted reading became
// exactly one record.
//
//   bench_acquire [--seconds 60] [--scales 4] [--period 200] [--checkpoint s]...
//                 [--full] [--paused | --silent] [--statistics] [--follow] [--monitors]
//   bench_acquire --bare [--seconds 60] [--scales 4] [--period 200] [--full]
//
// --bare replaces the program by a plain Qwt plot that appends and replots
// at the same rate, the floor the full window is compared with. --full fills
// every plot's window (and every open line monitor) before the measured
// stretch, so that the steady state is measured and not the first 200 s.
// --paused leaves the windows paused;
// --silent silences the scales (the windows show placeholders).
// --period sets each window's sampling interval as the spin box does (0.2 to
// 60 s). --statistics shows the statistics under every read-out, --follow
// makes every value axis follow its readings, --monitors opens every
// window's line monitor, each as the operator switches it on.
// Under callgrind (--instr-atstart=no) only the measured stretch is counted.
// The scales are scalesim processes beside this one (found next to this
// executable), so that their work is not counted as the program's; each
// has a seed of its own, so that runs see the same weights and so the same
// changes of the plots' ranges.

#include <QApplication>
#include <QCommandLineParser>
#include <QAction>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_symbol.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include <unistd.h>
#include <valgrind/callgrind.h>

#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "IODeviceNew.h"
#include "IncrementalPlot.h"
#include "LineMonitor.h"
#include "MdiWindow.h"
#include "RandomPlot.h"
#include "ScaleProtocol.h"
#include "ClassicFormat.h"
#include "SaveSamples.h"

namespace {

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1,
                                  size_t(std::max(0.0, std::ceil(p * values.size()) - 1)));
    return values.at(index);
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// User plus system time of the whole process, all threads, in seconds; the
// system part alone when asked (the kernel's work is unseen by callgrind).
double cpuSeconds(bool systemOnly = false)
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return NAN;
    const QByteArray text = stat.readAll();
    // The command name may hold blanks; the fields are counted after it.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return ((systemOnly ? 0.0 : fields.value(11).toDouble()) + fields.value(12).toDouble()) / ticks;
}

// Times every event the GUI thread handles. Nested deliveries (a replot that
// paints at once) are part of the outer event's time, not counted twice.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        const bool outermost = depth++ == 0;
        QElapsedTimer clock;
        clock.start();
        const bool handled = QApplication::notify(receiver, event);
        const double us = clock.nsecsElapsed() / 1000.0;
        --depth;
        if (outermost && measuring) {
            busyUs += us;
            // A reading reaches its device task as a queued call.
            if (event->type() == QEvent::MetaCall && receiver->inherits("DeviceTask"))
                readingUs.push_back(us);
        }
        return handled;
    }

    bool measuring = false;
    double busyUs = 0;
    std::vector<double> readingUs;
    int depth = 0;
};

struct Figures
{
    double seconds = 0;
    double cpu = 0;
    long rssStart = 0;
    long rssEnd = 0;
};

QTextStream out(stdout);

// A value about a weight, wobbling as the simulator's does.
double wobble(double weight, int i)
{
    return weight + 0.01 * std::sin(i * 0.7) * std::cos(i * 0.13);
}

void startMeasuring(TimedApplication &app)
{
    app.measuring = true;
    CALLGRIND_ZERO_STATS;
    CALLGRIND_START_INSTRUMENTATION;
}

void stopMeasuring(TimedApplication &app)
{
    CALLGRIND_STOP_INSTRUMENTATION;
    CALLGRIND_DUMP_STATS;
    app.measuring = false;
}

// A bare plot doing what a reading costs the plot at least: append a point to
// a fixed window and replot.
int runBare(TimedApplication &app, int seconds, int scales, int period, bool full)
{
    std::vector<std::unique_ptr<QwtPlot>> plots;
    std::vector<QwtPlotCurve *> curves;
    std::vector<QVector<double>> ys(static_cast<size_t>(scales));
    QVector<double> xs;
    const int windowSize = IncrementalPlot::WindowSize; // as wide as a device plot
    for (int i = 0; i < windowSize; ++i)
        xs << i;
    if (full)
        for (int i = 0; i < scales; ++i)
            for (int k = 0; k < windowSize; ++k)
                ys[size_t(i)] << wobble(10 + i, k);
    for (int i = 0; i < scales; ++i) {
        auto plot = std::make_unique<QwtPlot>();
        plot->setAutoReplot(false);
        auto *curve = new QwtPlotCurve;
        curve->setStyle(QwtPlotCurve::Steps);
        curve->setSymbol(new QwtSymbol(QwtSymbol::Rect, Qt::NoBrush, QPen(Qt::white), QSize(3, 3)));
        curve->attach(plot.get());
        plot->resize(580, 380);
        plot->show();
        curves.push_back(curve);
        plots.push_back(std::move(plot));
    }
    std::vector<double> appendUs;
    std::vector<std::unique_ptr<QTimer>> timers;
    int points = 0;
    for (int i = 0; i < scales; ++i) {
        auto timer = std::make_unique<QTimer>();
        timer->setInterval(period);
        QObject::connect(timer.get(), &QTimer::timeout, [&, i] {
            QElapsedTimer clock;
            clock.start();
            QVector<double> &y = ys[size_t(i)];
            y << wobble(10 + i, points);
            if (y.size() > windowSize)
                y.removeFirst();
            curves[size_t(i)]->setSamples(xs.mid(0, y.size()), y);
            plots[size_t(i)]->replot();
            if (app.measuring)
                appendUs.push_back(clock.nsecsElapsed() / 1000.0);
            ++points;
        });
        timer->start();
        timers.push_back(std::move(timer));
    }
    runFor(2000);
    const long rssStart = residentKiB();
    const double cpuStart = cpuSeconds();
    const double systemStart = cpuSeconds(true);
    QElapsedTimer wall;
    wall.start();
    const int pointsStart = points;
    startMeasuring(app);
    runFor(seconds * 1000);
    stopMeasuring(app);
    const double elapsed = wall.elapsed() / 1000.0;
    const int counted = points - pointsStart;
    out << "bare Qwt plots " << scales << " at " << period << " ms for " << elapsed << " s\n"
        << "points                     " << counted << "\n"
        << "append+replot median / p99 " << percentile(appendUs, 0.5) << " / "
        << percentile(appendUs, 0.99) << " us\n"
        << "GUI busy per point         " << app.busyUs / std::max(1, counted) << " us\n"
        << "CPU share                  " << 100.0 * (cpuSeconds() - cpuStart) / elapsed << " %\n"
        << "  of it in the kernel      " << 100.0 * (cpuSeconds(true) - systemStart) / elapsed << " %\n"
        << "RSS start / end            " << rssStart << " / " << residentKiB() << " KiB\n";
    out.flush();
    return 0;
}

// Records in a recording file, and whether each is a well-formed line.
int countRecords(const QString &fileName, int *malformed)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    static const QRegularExpression shape(QStringLiteral(
        "^auto\\t[+-]?[0-9.]+\\t[A-Za-z.]+\\t\\d\\d\\.\\d\\d\\.\\d{4}\\t \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"));
    int count = 0;
    int from = 0;
    for (;;) {
        const int end = bytes.indexOf(ClassicFormat::recordEnd, from);
        if (end < 0)
            break;
        if (!shape.match(QString::fromLatin1(bytes.mid(from, end - from))).hasMatch())
            ++*malformed;
        ++count;
        from = end + int(qstrlen(ClassicFormat::recordEnd));
    }
    if (from != bytes.size())
        ++*malformed; // a torn last record
    return count;
}

} // namespace

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(scaleacq);
    TimedApplication app(argc, argv);
    // The link's and the window's traces would be most of the work measured.
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}"));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("seconds"), QStringLiteral("Measured run time."), QStringLiteral("s"),
         QStringLiteral("60")},
        {QStringLiteral("scales"), QStringLiteral("Simulated scales."), QStringLiteral("n"),
         QStringLiteral("4")},
        {QStringLiteral("period"), QStringLiteral("Sampling period."), QStringLiteral("ms"),
         QStringLiteral("200")},
        {QStringLiteral("checkpoint"), QStringLiteral("Report RSS after this many seconds."),
         QStringLiteral("s")},
        {QStringLiteral("bare"), QStringLiteral("A bare Qwt plot instead of the program.")},
        {QStringLiteral("full"), QStringLiteral("Fill every plot's window before measuring.")},
        {QStringLiteral("paused"), QStringLiteral("Leave the windows paused, recording nothing.")},
        {QStringLiteral("silent"), QStringLiteral("Silence the scales before measuring.")},
        {QStringLiteral("statistics"), QStringLiteral("Show the statistics in every window.")},
        {QStringLiteral("follow"), QStringLiteral("Make every value axis follow its readings.")},
        {QStringLiteral("monitors"), QStringLiteral("Open every window's line monitor.")},
        {QStringLiteral("types"), QStringLiteral("Kinds of scale, one per scale, e.g. builtin,sics,header-comma,continuous."),
         QStringLiteral("keys"), QStringLiteral("builtin")},
    });
    parser.process(app);
    const int seconds = parser.value(QStringLiteral("seconds")).toInt();
    const int scaleCount = parser.value(QStringLiteral("scales")).toInt();
    const int period = parser.value(QStringLiteral("period")).toInt();
    const QStringList types = parser.value(QStringLiteral("types")).split(QLatin1Char(','));
    auto typeOf = [&types](int i) { return ScaleProtocol::fromKey(types.value(i, types.last())); };
    const bool full = parser.isSet(QStringLiteral("full"));
    const bool paused = parser.isSet(QStringLiteral("paused"));
    const bool silent = parser.isSet(QStringLiteral("silent"));
    if (parser.isSet(QStringLiteral("bare")))
        return runBare(app, seconds, scaleCount, period, full);
    QList<int> checkpoints;
    for (const QString &value : parser.values(QStringLiteral("checkpoint")))
        checkpoints << value.toInt();
    std::sort(checkpoints.begin(), checkpoints.end());

    QTemporaryDir dir;
    QList<QProcess *> scales;
    QStringList ports;
    const QString simulator = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("scalesim"));
    for (int i = 0; i < scaleCount; ++i) {
        auto *scale = new QProcess(&app);
        const QString port = dir.filePath(QStringLiteral("ttySIM%1").arg(i));
        scale->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        scale->start(simulator, {QStringLiteral("--link"), port, QStringLiteral("--weight"),
                                 QString::number(10 + i), QStringLiteral("--seed"), QString::number(1 + i),
                                 QStringLiteral("--type"),
                                 ScaleProtocol::key(typeOf(i))});
        if (!scale->waitForStarted(3000)) {
            out << "cannot start " << simulator << "\n";
            return 1;
        }
        scales << scale;
        ports << port;
    }
    QElapsedTimer waiting;
    waiting.start();
    while (!std::all_of(ports.begin(), ports.end(), [](const QString &p) { return QFile::exists(p); })) {
        if (waiting.elapsed() > 5000) {
            out << "the simulators published no ports\n";
            return 1;
        }
        runFor(20);
    }

    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    QApplication::installTranslator(&programTranslator);
    QApplication::installTranslator(&toolkitTranslator);
    auto window = std::make_unique<MdiWindow>(&programTranslator, &toolkitTranslator);
    window->resize(1600, 1000);
    window->show();
    for (int i = 0; i < ports.size(); ++i)
        window->portSettingsStore()->setTemporary(
            ports.at(i), {typeOf(i), ScaleProtocol::usualSettings(typeOf(i))});
    auto *workspace = window->findChild<QMdiArea *>(QStringLiteral("workspace"));
    auto *interval = window->findChild<QDoubleSpinBox *>(QStringLiteral("samplingRateBox"));
    // The views hold for every window, new ones included, as their actions say.
    const QList<QPair<QString, QString>> views = {{QStringLiteral("statistics"), QStringLiteral("showStatisticsAct")},
                                                  {QStringLiteral("follow"), QStringLiteral("followAct")}};
    for (const auto &view : views) {
        if (!parser.isSet(view.first))
            continue;
        auto *action = window->findChild<QAction *>(view.second);
        if (!action) {
            out << "no " << view.second << " for --" << view.first << "\n";
            return 1;
        }
        action->setChecked(true);
    }

    // Each port opened as the selector opens it, then Go and Record on its
    // window as the operator would, with the file set in place of the dialog.
    QStringList files;
    QList<LineMonitor *> monitors;
    for (const QString &port : ports) {
        window->deviceNew(port);
        QMdiSubWindow *frame = nullptr;
        waiting.start();
        while (!frame && waiting.elapsed() < 3000) {
            runFor(10);
            for (QMdiSubWindow *shown : workspace->subWindowList())
                if (shown->widget()->windowTitle() == port)
                    frame = shown;
        }
        if (!frame) {
            out << "no window for " << port << "\n";
            return 1;
        }
        workspace->setActiveSubWindow(frame);
        auto *document = qobject_cast<DocumentWindow *>(frame->widget());
        const QString file = dir.filePath(QStringLiteral("record%1.txt").arg(files.size()));
        files << file;
        document->deviceTask()->recorder()->setFileName(file);
        window->windowState(frame);
        // The active window's interval, typed into the spin box.
        interval->setValue(period / 1000.0);
        if (document->deviceTask()->refreshRate() != period) {
            out << "the spin box did not set " << period << " ms on " << port << "\n";
            return 1;
        }
        if (parser.isSet(QStringLiteral("monitors")))
            monitors << document->showLineMonitor();
        if (paused)
            continue;
        window->goMode();
        window->recMode(true);
        if (!document->deviceTask()->isRecording()) {
            out << "recording did not start on " << port << "\n";
            return 1;
        }
    }
    auto tasks = [&] {
        QList<DeviceTask *> found;
        for (QMdiSubWindow *frame : workspace->subWindowList())
            found << qobject_cast<DocumentWindow *>(frame->widget())->deviceTask();
        return found;
    };
    if (full) {
        for (DeviceTask *task : tasks())
            for (int k = 0; k < IncrementalPlot::WindowSize; ++k)
                task->plotWidget()->appendMyPoint(k, wobble(10 + tasks().indexOf(task), k));
        // A monitor open for a while holds all it keeps: each new line then
        // pushes the oldest out, as in a shift, rather than filling it.
        for (LineMonitor *monitor : qAsConst(monitors))
            for (int k = 0; k < LineMonitor::keptBytes; ++k) {
                monitor->addTraffic(IODeviceNew::Sent, "A", QDateTime::currentDateTime());
                monitor->addTraffic(IODeviceNew::Received, "  10.000\r\n", QDateTime::currentDateTime());
            }
    }
    runFor(2000); // units learnt, readings flowing
    if (silent) {
        for (QProcess *scale : scales)
            scale->write("silent\n");
        runFor(1500); // the first placeholders are up
    }

    auto readings = [&] {
        int total = 0;
        for (DeviceTask *task : tasks())
            total += task->readings();
        return total;
    };
    const long rssStart = residentKiB();
    const double cpuStart = cpuSeconds();
    const double systemStart = cpuSeconds(true);
    const int readingsStart = readings();
    QList<int> taskStart;
    for (DeviceTask *task : tasks())
        taskStart << task->readings();
    QElapsedTimer wall;
    wall.start();
    startMeasuring(app);
    out << "program: " << scaleCount << " scales at " << period << " ms, "
        << (paused ? "paused" : "Go and Record") << (silent ? ", silent" : "")
        << (full ? ", full windows" : "") << (parser.isSet(QStringLiteral("statistics")) ? ", statistics" : "")
        << (parser.isSet(QStringLiteral("follow")) ? ", following" : "")
        << (parser.isSet(QStringLiteral("monitors")) ? ", line monitors" : "") << ", " << seconds
        << " s\n"
        << "RSS at start               " << rssStart << " KiB\n";
    out.flush();
    for (int at : checkpoints) {
        if (at >= seconds)
            break;
        runFor(int(at * 1000 - wall.elapsed()));
        out << "RSS after " << at << " s" << QString(16 - QString::number(at).size(), ' ')
            << residentKiB() << " KiB, CPU so far "
            << 100.0 * (cpuSeconds() - cpuStart) / (wall.elapsed() / 1000.0) << " %\n";
        out.flush();
    }
    runFor(int(seconds * 1000 - wall.elapsed()));
    stopMeasuring(app);
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpuStart;
    const double system = cpuSeconds(true) - systemStart;
    const long rssEnd = residentKiB();
    const int counted = readings() - readingsStart;
    for (int i = 0; i < tasks().size(); ++i) {
        const int n = tasks().at(i)->readings() - taskStart.value(i);
        out << "  " << ScaleProtocol::key(tasks().at(i)->setup().type) << ": " << n / elapsed
            << " readings per s, one every " << (n ? 1000.0 * elapsed / n : 0.0) << " ms\n";
    }

    // The windows go without returning to the event loop, so no reading
    // slips in between the count and the end of recording.
    const int accepted = readings();
    window.reset();
    int malformed = 0;
    int records = 0;
    for (const QString &file : files)
        records += std::max(0, countRecords(file, &malformed)); // none made while paused

    out << "RSS at end                 " << rssEnd << " KiB\n"
        << "CPU share                  " << 100.0 * cpu / elapsed << " % of one core\n"
        << "  of it in the kernel      " << 100.0 * system / elapsed << " %\n"
        << "readings in the window     " << counted << " (" << counted / elapsed / scaleCount
        << " per scale per s)\n"
        << "reading on GUI median / p99 " << percentile(app.readingUs, 0.5) << " / "
        << percentile(app.readingUs, 0.99) << " us\n"
        << "GUI busy per reading       " << app.busyUs / std::max(1, counted) << " us\n"
        << "readings accepted          " << accepted << "\n"
        << "records written            " << records << (malformed ? " (MALFORMED " : "")
        << (malformed ? QString::number(malformed) + ")" : QString()) << "\n"
        << (records == accepted && !malformed ? "records match readings\n"
                                               : "RECORDS DO NOT MATCH READINGS\n");
    out.flush();
    for (QProcess *scale : scales) {
        scale->terminate();
        scale->waitForFinished(2000);
    }
    return records == accepted && !malformed ? 0 : 2;
}
