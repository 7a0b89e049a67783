#include "CsvFormat.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
const char lineEnd[] = "\r\n";

// Fixed words, not the program's language: a file started in one language
// goes on in the other, and programs that read it find the same columns.
QByteArray inDialect(QByteArray header, RecordFormat::Kind dialect)
{
    if (dialect == RecordFormat::CsvSemicolon)
        header.replace(',', ';');
    return header + lineEnd;
}

// What may make a spreadsheet take a cell for a formula, the tab and CR
// included: a spreadsheet may drop them and read on.
bool startsFormula(const QString &text)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starts.contains(text.at(0));
}
} // namespace

CsvFormat::CsvFormat(Kind dialect)
    : dialect(dialect)
    , separator(dialect == CsvSemicolon ? QLatin1Char(';') : QLatin1Char(','))
{
}

QByteArray CsvFormat::headerOf(Kind dialect)
{
    return inDialect("time,utc_offset,scale,lot,kind,value,unit,stable,limits", dialect);
}

QByteArray CsvFormat::olderHeaderOf(Kind dialect)
{
    return inDialect("time,scale,kind,value,unit,stable", dialect);
}

QByteArray CsvFormat::header() const
{
    return headerOf(dialect);
}

QString CsvFormat::localTime(const QDateTime &when)
{
    return QLocale::c().toString(when, QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QString CsvFormat::utcOffset(const QDateTime &when)
{
    const int offset = when.offsetFromUtc() / 60;
    const int magnitude = qAbs(offset);
    return (offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
           + QStringLiteral("%1:%2").arg(magnitude / 60, 2, 10, QLatin1Char('0'))
                 .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

// Quoted when a spreadsheet's import could split the field or end the row
// inside it: its separators ticked at the start are tab, comma and semicolon,
// whichever the file is written with.
QString CsvFormat::field(const QString &text) const
{
    static const QRegularExpression splits(QStringLiteral("[,;\t\"\r\n]"));
    if (!text.contains(splits))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The value keeps every digit the scale sent; only its decimal separator is
// the dialect's. The time, the offset and a value that is a number are the
// program's own and written as they are; every other field is someone's text
// (the operator's names, a unit as a scale wrote it) and goes in with an
// apostrophe in front when it would start a formula.
QByteArray CsvFormat::record(const SampleRecord &sample) const
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+[.,]?[0-9]*|[.,][0-9]+)([eE][+-]?[0-9]+)?$"));
    static const QRegularExpression point(QStringLiteral("[.,]"));
    const auto text = [](const QString &written) {
        return startsFormula(written) ? QLatin1Char('\'') + written : written;
    };
    QString value = sample.value;
    if (number.match(value).hasMatch())
        value.replace(point, dialect == CsvSemicolon ? QStringLiteral(",") : QStringLiteral("."));
    else
        value = text(value);
    const QStringList fields{localTime(sample.taken), utcOffset(sample.taken),
                             text(sample.scaleName), text(sample.lot), text(sample.kind), value,
                             text(sample.units),
                             sample.stable ? QStringLiteral("yes") : QStringLiteral("no"),
                             text(sample.verdict)};
    QStringList written;
    for (const QString &cell : fields)
        written << field(cell);
    return written.join(separator).toUtf8() + lineEnd;
}

// A row starts after a line end with its time and offset, which are all
// digits and signs: a line end inside a quoted name is followed by the rest
// of the name. From there the row is read as a reader of the file would,
// quotes and all: whole when its line end is the file's last bytes, torn when
// it has none.
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
    // As localTime() and utcOffset() write them: d is a digit, + the offset's
    // sign, s the separator.
    static const char shape[] = "dddd-dd-ddTdd:dd:dd.ddds+dd:dd";
    const int length = int(sizeof shape) - 1;
    const char sep = separator.toLatin1();
    for (int i = 0; i < qMin(length, bytes.size()); ++i) {
        const char got = bytes.at(i);
        const char wanted = shape[i];
        if (wanted == 'd' ? got < '0' || got > '9'
            : wanted == '+' ? got != '+' && got != '-'
            : got != (wanted == 's' ? sep : wanted))
            return false;
    }
    return bytes.size() <= length || bytes.at(length) == sep;
}
