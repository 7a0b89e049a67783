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
    QString verdict;
    QString lot;
};

#endif // SAMPLERECORD_H
