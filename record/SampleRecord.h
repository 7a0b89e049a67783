#ifndef SAMPLERECORD_H
#define SAMPLERECORD_H

#include <QDateTime>
#include <QString>

// One reading as it is handed to the recorder; the record format decides
// which of its parts reach the file and how they are written.
struct SampleRecord
{
    QString kind;      // "auto" or "step"
    QString value;     // as the scale sent it, less blanks
    QString units;
    QDateTime taken;   // when the link took the scale's reply
    bool stable = true;
    QString scaleName; // the operator's name for the scale, may be empty
    // Initialised here, so that a record built without them leaves them empty.
    QString lot{};     // the operator's lot or batch, may be empty
    QString verdict{}; // the check-weighing verdict: "under", "ok", "over", or
                       // empty when no limits are set
};

#endif // SAMPLERECORD_H
