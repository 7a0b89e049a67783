#include "LocalClock.h"

#include <ctime>

QDateTime LocalClock::now()
{
    return at(QDateTime::currentMSecsSinceEpoch());
}

QDateTime LocalClock::at(qint64 msecsSinceEpoch)
{
    // Whole seconds, rounded down also before the epoch.
    const qint64 second = msecsSinceEpoch / 1000 - (msecsSinceEpoch % 1000 < 0 ? 1 : 0);
    // A clock set back is looked up afresh, as one that has run past the horizon.
    if (second < validFrom || second >= validUntil)
        learn(second);
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::OffsetFromUTC, offset);
}

void LocalClock::learn(qint64 second)
{
    // The zone as it is now: TZ, or the system's file, read again.
    tzset();
    offset = offsetAt(second);
    validFrom = second;
    qint64 last = second; // the offset holds here
    qint64 end = second + horizon;
    // Offsets change at most once within a horizon: where the one at its
    // end differs, the change is found to the second in between.
    if (offsetAt(end) != offset) {
        while (end - last > 1) {
            const qint64 middle = last + (end - last) / 2;
            (offsetAt(middle) == offset ? last : end) = middle;
        }
    }
    validUntil = end;
}

int LocalClock::offsetAt(qint64 second)
{
    const time_t t = time_t(second);
    tm local {};
    if (!localtime_r(&t, &local))
        return 0;
    return int(local.tm_gmtoff);
}
