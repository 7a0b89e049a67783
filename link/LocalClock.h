#ifndef LOCALCLOCK_H
#define LOCALCLOCK_H

#include <QDateTime>

// Time stamps in local time with their UTC offset, for a link that makes
// several a second. The C library looks the time zone up again at every
// conversion to local time (with TZ unset it examines /etc/localtime each
// time); the clock learns the offset once and keeps it while it holds: up to
// the zone's next change of offset, and no longer than a minute, so that a
// zone the operator changes is taken up within the minute too.
//
// One clock per thread: it is not locked.
class LocalClock
{
public:
    QDateTime now();
    QDateTime at(qint64 msecsSinceEpoch);

    // How far ahead a learnt offset is vouched for, in seconds.
    static constexpr qint64 horizon = 60;

private:
    void learn(qint64 second);
    static int offsetAt(qint64 second);

    // Seconds since the epoch: the offset holds from validFrom up to, not
    // including, validUntil.
    qint64 validFrom = 1;
    qint64 validUntil = 0;
    int offset = 0;
};

#endif // LOCALCLOCK_H
