#ifndef FAULTSUPPORT_H
#define FAULTSUPPORT_H

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QThread>
#include <QtGlobal>

#include <algorithm>
#include <mutex>

#include <signal.h>
#include <sys/resource.h>

// The trace lines with the moment and the thread that wrote them: the only
// outside view of what a worker is doing right now. They stay out of the test
// log, and so do the offscreen platform's warnings at every window shown:
// hundreds of windows would use up the log's allowance and hide a real one.
class TraceLog
{
public:
    TraceLog()
    {
        clock.start();
        // The program's trace lines are off by default; the log needs them.
        QLoggingCategory::setFilterRules(QStringLiteral("scaleacq.*.debug=true"));
        std::lock_guard<std::mutex> lock(mutex());
        current() = this;
        previous = qInstallMessageHandler(&TraceLog::handle);
    }
    ~TraceLog()
    {
        std::lock_guard<std::mutex> lock(mutex()); // a worker may be tracing right now
        qInstallMessageHandler(previous);
        current() = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }

    qint64 now() const { return clock.elapsed(); }

    // The moments at which the given thread wrote a trace starting with text.
    QList<qint64> times(QThread *thread, const QString &text) const
    {
        std::lock_guard<std::mutex> lock(mutex());
        QList<qint64> found;
        for (const Trace &trace : traces)
            if (trace.thread == thread && trace.text.startsWith(text))
                found << trace.atMs;
        return found;
    }

    // How many traces read exactly text, from any thread.
    int count(const QString &text) const
    {
        std::lock_guard<std::mutex> lock(mutex());
        return int(std::count_if(traces.cbegin(), traces.cend(),
                                 [&text](const Trace &trace) { return trace.text == text; }));
    }

private:
    struct Trace
    {
        qint64 atMs;
        QThread *thread;
        QString text;
    };

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        std::lock_guard<std::mutex> lock(mutex());
        TraceLog *log = current();
        if (!log)
            return;
        log->traces.append({log->clock.elapsed(), QThread::currentThread(), text});
        if (type != QtDebugMsg && !text.startsWith(QLatin1String("This plugin does not support")))
            log->previous(type, context, text);
    }

    // A standard mutex, not QMutex: Qt's own locking happens inside the
    // uninstrumented Qt library, where a race detector cannot see it.
    static std::mutex &mutex()
    {
        static std::mutex m;
        return m;
    }
    static TraceLog *&current()
    {
        static TraceLog *log = nullptr;
        return log;
    }

    QtMessageHandler previous;
    QElapsedTimer clock;
    QList<Trace> traces;
};

// Lets no file of this process grow past the given size, as a full disk
// would, until it goes out of scope. Writes past it fail with EFBIG instead
// of killing the process. Messages are held back meanwhile: the test's own
// log may be a file that the limit would cut short.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = rlim_t(bytes);
        ::setrlimit(RLIMIT_FSIZE, &limited);
        previousHandler = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &,
                                                     const QString &) {});
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        qInstallMessageHandler(previousHandler);
    }

private:
    rlimit saved;
    QtMessageHandler previousHandler;
};

#endif // FAULTSUPPORT_H
