#ifndef CLASSICFORMAT_H
#define CLASSICFORMAT_H

#include "RecordFormat.h"

// kind, value, units and time stamp separated by tabs, every line ended by
// CR LF CR: the records the program has always written.
class ClassicFormat : public RecordFormat
{
public:
    Kind kind() const override { return Classic; }
    QByteArray record(const SampleRecord &sample) const override;
    int tornLength(const QByteArray &end, bool whole) const override;

    // "dd.MM.yyyy<TAB> hh:mm:ss.zzz" in local time.
    static QString timestamp(const QDateTime &when);

    // Every record ends with CR LF CR, whatever the host's own line end.
    static const char recordEnd[];
};

#endif // CLASSICFORMAT_H
