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

// A torn record has no line end but a record end begun after its last field.
// With no whole record before it, it must also start as records do, with the
// kind: a file of one line of someone's text is not taken for one.
int ClassicFormat::tornLength(const QByteArray &end, bool whole) const
{
    const int last = end.lastIndexOf(recordEnd);
    if (last < 0 && !whole)
        return 0; // longer than any record
    const QByteArray tail = last < 0 ? end : end.mid(last + int(sizeof recordEnd) - 1);
    QByteArray fields = tail;
    const int ended = tail.endsWith("\r\n") ? 2 : tail.endsWith('\r') ? 1 : 0;
    fields.chop(ended);
    const QList<QByteArray> parts = fields.split('\t');
    // kind, value, unit, date and time
    const int fieldCount = 5;
    if (tail.isEmpty() || fields.contains('\r') || fields.contains('\n') || parts.size() > fieldCount
        || (ended > 0 && parts.size() < fieldCount))
        return 0;
    if (last < 0) {
        const QByteArray kind = parts.first();
        const bool begun = parts.size() == 1 ? QByteArray("auto").startsWith(kind) || QByteArray("step").startsWith(kind)
                                             : kind == "auto" || kind == "step";
        if (!begun)
            return 0;
    }
    return tail.size();
}
