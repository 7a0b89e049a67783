#ifndef CSVFORMAT_H
#define CSVFORMAT_H

#include "RecordFormat.h"

// Comma-separated values as RFC 4180 writes them, in the form a spreadsheet
// takes as it is: a header row, CR LF line ends, and a field quoted when it
// holds a comma, a semicolon, a tab, a quote or a line end (whichever the
// dialect separates with: a spreadsheet's import may split at any of them).
// The semicolon dialect writes the value with a decimal comma, which is what
// a spreadsheet set to Polish reads as a number. The time is local, in the
// ISO 8601 form spreadsheets read as a date and time whatever their language,
// and its offset from UTC has a column of its own. Text that would start a
// cell with a formula's first character gets an apostrophe in front.
class CsvFormat : public RecordFormat
{
public:
    explicit CsvFormat(Kind dialect);

    Kind kind() const override { return dialect; }
    QByteArray header() const override;
    QByteArray record(const SampleRecord &sample) const override;
    int tornLength(const QByteArray &end, bool whole) const override;

    // The header of each dialect, line end included.
    static QByteArray headerOf(Kind dialect);
    // The header files began with before the offset, lot and limits had
    // columns of their own; rows of today's layout never go under it.
    static QByteArray olderHeaderOf(Kind dialect);
    // The local time with milliseconds, ISO 8601 without the offset.
    static QString localTime(const QDateTime &when);
    // The offset from UTC, "+01:00".
    static QString utcOffset(const QDateTime &when);

private:
    QString field(const QString &text) const;
    // Whether bytes begin as a row of this program's begins, torn or not.
    bool startsRow(const QByteArray &bytes) const;

    Kind dialect;
    QChar separator;
};

#endif // CSVFORMAT_H
