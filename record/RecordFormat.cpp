#include "RecordFormat.h"

#include "ClassicFormat.h"
#include "CsvFormat.h"

std::unique_ptr<RecordFormat> RecordFormat::create(Kind kind)
{
    if (kind == Classic)
        return std::make_unique<ClassicFormat>();
    return std::make_unique<CsvFormat>(kind);
}

RecordFormat::Kind RecordFormat::kindOf(const QByteArray &fileStart)
{
    for (Kind kind : {CsvComma, CsvSemicolon})
        if (fileStart.startsWith(CsvFormat::headerOf(kind))
            || fileStart.startsWith(CsvFormat::olderHeaderOf(kind)))
            return kind;
    return Classic;
}

bool RecordFormat::isOlderLayout(const QByteArray &fileStart)
{
    for (Kind kind : {CsvComma, CsvSemicolon})
        if (fileStart.startsWith(CsvFormat::olderHeaderOf(kind)))
            return true;
    return false;
}

// The older header too: a file holding nothing but the start of one holds
// no row under it, and is started again in today's layout.
bool RecordFormat::isTornHeader(const QByteArray &file)
{
    for (Kind kind : {CsvComma, CsvSemicolon}) {
        for (const QByteArray &header : {CsvFormat::headerOf(kind), CsvFormat::olderHeaderOf(kind)})
            if (!file.isEmpty() && file.size() < header.size() && header.startsWith(file))
                return true;
    }
    return false;
}

QString RecordFormat::key(Kind kind)
{
    switch (kind) {
    case CsvComma:
        return QStringLiteral("csv-comma");
    case CsvSemicolon:
        return QStringLiteral("csv-semicolon");
    default:
        return QStringLiteral("classic");
    }
}

RecordFormat::Kind RecordFormat::fromKey(const QString &key, bool *known)
{
    for (Kind kind : {Classic, CsvComma, CsvSemicolon}) {
        if (RecordFormat::key(kind) == key) {
            if (known)
                *known = true;
            return kind;
        }
    }
    if (known)
        *known = false;
    return Classic;
}

QString RecordFormat::name(Kind kind)
{
    switch (kind) {
    case CsvComma:
        return tr("CSV, comma and decimal point");
    case CsvSemicolon:
        return tr("CSV, semicolon and decimal comma");
    default:
        return tr("Classic (tab-separated)");
    }
}
