// Polls a simulated scale with the real link for a while and reports the
// request-to-request cadence against what the polling cycle promises, then
// how long a scale that falls silent takes to show its first placeholder.
//
//   bench_linkcadence [seconds=60] [period ms=200] [silences=5]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "LinkThread.h"
#include "ScaleSimulator.h"

namespace {

double percentile(QVector<double> values, double p)
{
    if (values.isEmpty())
        return NAN;
    std::sort(values.begin(), values.end());
    const int index = std::min(int(values.size()) - 1, int(std::ceil(p * values.size())) - 1);
    return values.at(std::max(0, index));
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}")); // mute the link's traces
    const int seconds = app.arguments().value(1, QStringLiteral("60")).toInt();
    const int period = app.arguments().value(2, QStringLiteral("200")).toInt();
    const int silences = app.arguments().value(3, QStringLiteral("5")).toInt();
    QTextStream out(stdout);

    QTemporaryDir dir;
    ScaleSimulator scale;
    if (!scale.start(dir.filePath(QStringLiteral("ttySIM0")))) {
        out << "cannot open a pseudo-terminal\n";
        return 1;
    }

    // Times on the simulator's clock, taken on this thread as bytes arrive.
    QVector<qint64> requestTimes;
    QObject::connect(&scale, &ScaleSimulator::requestReceived, [&](char request, qint64 atMs) {
        if (request == 'A')
            requestTimes << atMs;
    });

    LinkThread link(scale.portPath());
    QElapsedTimer clock;
    QVector<qint64> placeholderTimes;
    int readings = 0;
    QObject::connect(&link, &LinkThread::newSample,
                     [&](const QString &, const QString &units, const QString &) {
        if (units == QLatin1String("--"))
            placeholderTimes << clock.elapsed();
        else
            ++readings;
    });
    // The link connects its signals in its thread: ask for the period once it is up.
    QObject::connect(&link, &LinkThread::linkReady,
                     [&] { emit link.setRefreshRateSignal(period); });
    link.start();
    runFor(1000); // unit learnt, cycle settled
    requestTimes.clear();

    runFor(seconds * 1000);
    QVector<double> cadence;
    for (int i = 1; i < requestTimes.size(); ++i)
        cadence << double(requestTimes.at(i) - requestTimes.at(i - 1));
    const int wait = period > 70 ? period - 71 : 0;
    const double formula = 50 + wait; // the reply is seen on the first 50 ms examination after it
    const int requestCount = requestTimes.size();

    // Silence the scale at different points of its cycle; time the first
    // placeholder from the moment of silence and from the first request that
    // went unanswered.
    QVector<double> fromSilence;
    QVector<double> fromUnanswered;
    for (int i = 0; i < silences; ++i) {
        runFor(317 + 131 * i);
        placeholderTimes.clear();
        qint64 unansweredAt = -1;
        auto seen = QObject::connect(&scale, &ScaleSimulator::requestReceived, [&](char, qint64) {
            if (unansweredAt < 0)
                unansweredAt = clock.elapsed();
        });
        clock.start();
        scale.setSilent(true);
        while (placeholderTimes.isEmpty())
            runFor(2);
        QObject::disconnect(seen);
        fromSilence << double(placeholderTimes.first());
        if (unansweredAt >= 0)
            fromUnanswered << double(placeholderTimes.first() - unansweredAt);
        // The request written right after the reset met the silent scale
        // too; start the next run only once readings flow again.
        scale.setSilent(false);
        const int before = readings;
        while (readings == before)
            runFor(5);
    }

    out << "link cadence against the simulator, " << seconds << " s at " << period << " ms\n"
        << "requests                 " << requestCount << "\n"
        << "cadence median / p99     " << percentile(cadence, 0.5) << " / "
        << percentile(cadence, 0.99) << " ms\n"
        << "formula 50 + period - 71 " << formula << " ms\n"
        << "silence -> placeholder   median " << percentile(fromSilence, 0.5) << " ms, max "
        << percentile(fromSilence, 1.0) << " ms (" << fromSilence.size() << " runs)\n"
        << "unanswered request -> placeholder median " << percentile(fromUnanswered, 0.5)
        << " ms, max " << percentile(fromUnanswered, 1.0) << " ms\n";
    return 0;
}
