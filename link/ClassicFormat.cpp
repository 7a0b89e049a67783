#include "ClassicFormat.h"

#include <QLocale>
#include <QTextStream>

const char ClassicFormat::recordEnd[] = "\r\n\r";

// Qt 5 formats a date with the system locale, which writes Arabic-Indic or
// Persian digits under an Arabic or Persian desktop; the file keeps ASCII.
QString ClassicFormat::timestamp(const QDateTime &when)
{
    return QLocale::c().toString(when,
                                 QStringLiteral("dd.MM.yyyy%1 hh:mm:ss.zzz").arg(QLatin1Char('\t')));
}

QByteArray ClassicFormat::record(const SampleRecord &sample) const
{
    QByteArray bytes;
    QTextStream stream(&bytes, QIODevice::WriteOnly);
    stream << sample.kind << '\t' << sample.value << '\t' << sample.units << '\t'
           << timestamp(sample.taken) << recordEnd;
    stream.flush();
    return bytes;
}
