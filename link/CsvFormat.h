#ifndef CSVFORMAT_H
#define CSVFORMAT_H

#include "RecordFormat.h"

// Comma-separated values as RFC 4180 writes them: a header row, CR LF line
// ends, and a field quoted when it holds the separator, a quote or a line
// end. The semicolon dialect writes the value with a decimal comma, which is
// what a spreadsheet set to Polish reads as a number.
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
    // ISO 8601 with milliseconds and the offset from UTC.
    static QString timestamp(const QDateTime &when);

private:
    QString field(const QString &text) const;
    // Whether bytes begin as a row of this program's begins, torn or not.
    bool startsRow(const QByteArray &bytes) const;

    Kind dialect;
    QChar separator;
};

#endif // CSVFORMAT_H
