#ifndef FAULTSUPPORT_H
#define FAULTSUPPORT_H

#include <QLoggingCategory>
#include <QStringList>
#include <QtGlobal>

#include <mutex>

#include <signal.h>
#include <sys/resource.h>

// The trace lines written while it lives, kept out of the test log. The
// program's trace lines are off by default; the log switches them on.
class TraceLog
{
public:
    TraceLog()
    {
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

    // How many traces read exactly text, from any thread.
    int count(const QString &text) const
    {
        std::lock_guard<std::mutex> lock(mutex());
        return int(traces.count(text));
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        std::lock_guard<std::mutex> lock(mutex());
        if (TraceLog *log = current()) {
            log->traces << text;
            if (type != QtDebugMsg)
                log->previous(type, context, text);
        }
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
    QStringList traces;
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
