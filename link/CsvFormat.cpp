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
