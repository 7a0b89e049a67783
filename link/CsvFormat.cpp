#include "CsvFormat.h"

#include <QLocale>

namespace {
const char lineEnd[] = "\r\n";
}

CsvFormat::CsvFormat(Kind dialect)
    : dialect(dialect)
    , separator(dialect == CsvSemicolon ? QLatin1Char(';') : QLatin1Char(','))
{
}

// Fixed words, not the program's language: a file started in one language
// goes on in the other, and programs that read it find the same columns.
QByteArray CsvFormat::headerOf(Kind dialect)
{
    QByteArray header = "time,scale,kind,value,unit,stable";
    if (dialect == CsvSemicolon)
        header.replace(',', ';');
    return header + lineEnd;
}

QByteArray CsvFormat::header() const
{
    return headerOf(dialect);
}

QString CsvFormat::timestamp(const QDateTime &when)
{
    const int offset = when.offsetFromUtc() / 60;
    const int magnitude = qAbs(offset);
    return QLocale::c().toString(when, QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
           + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
           + QStringLiteral("%1:%2").arg(magnitude / 60, 2, 10, QLatin1Char('0'))
                 .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString CsvFormat::field(const QString &text) const
{
    if (!text.contains(separator) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The value keeps every digit the scale sent; the semicolon dialect only
// writes its point as a comma.
QByteArray CsvFormat::record(const SampleRecord &sample) const
{
    QString value = sample.value;
    if (dialect == CsvSemicolon)
        value.replace(QLatin1Char('.'), QLatin1Char(','));
    const QStringList fields{timestamp(sample.taken), sample.scaleName, sample.kind, value,
                             sample.units,
                             sample.stable ? QStringLiteral("yes") : QStringLiteral("no")};
    QStringList written;
    for (const QString &text : fields)
        written << field(text);
    return written.join(separator).toUtf8() + lineEnd;
}

// A row starts after a line end with its time stamp, which is all digits
// and signs: a line end inside a quoted name is followed by the rest of the
// name. From there the row is read as a reader of the file would, quotes and
// all: whole when its line end is the file's last bytes, torn when it has none.
int CsvFormat::tornLength(const QByteArray &end, bool) const
{
    int from = -1;
    for (int at = end.lastIndexOf(lineEnd); at >= 0 && from < 0; at = at > 0 ? end.lastIndexOf(lineEnd, at - 1) : -1)
        if (at + 2 < end.size() && startsRow(end.mid(at + 2)))
            from = at + 2;
    if (from < 0)
        return 0; // no row, or one longer than any written
    bool quoted = false;
    for (int i = from; i < end.size(); ++i) {
        if (end.at(i) == '"')
            quoted = !quoted;
        else if (!quoted && end.at(i) == '\r' && end.mid(i, 2) == lineEnd)
            return 0; // a whole row, or someone's text after one
    }
    return end.size() - from;
}

bool CsvFormat::startsRow(const QByteArray &bytes) const
{
    // As timestamp() writes it: d is a digit, + the offset's sign.
    static const char shape[] = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd";
    const int length = int(sizeof shape) - 1;
    for (int i = 0; i < qMin(length, bytes.size()); ++i) {
        const char got = bytes.at(i);
        const char wanted = shape[i];
        if (wanted == 'd' ? got < '0' || got > '9' : wanted == '+' ? got != '+' && got != '-' : got != wanted)
            return false;
    }
    return bytes.size() <= length || bytes.at(length) == separator.toLatin1();
}
