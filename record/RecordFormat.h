#ifndef RECORDFORMAT_H
#define RECORDFORMAT_H

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <memory>

#include "SampleRecord.h"

// What the bytes of a recording file are: an optional first line and one
// record per reading. The recorder holds the file; a format only writes.
class RecordFormat
{
    Q_DECLARE_TR_FUNCTIONS(RecordFormat)

public:
    // Classic: the tab-separated lines ended by CR LF CR. The CSV kinds
    // differ only in the field separator and the decimal separator.
    enum Kind { Classic, CsvComma, CsvSemicolon };

    virtual ~RecordFormat() = default;

    static std::unique_ptr<RecordFormat> create(Kind kind);
    // The kind whose records a file starting with these bytes holds; a file
    // that is not CSV is taken for a classic one.
    static Kind kindOf(const QByteArray &fileStart);
    // Whether a CSV file starting with these bytes has the columns of an
    // older version of the program, under which no row is added.
    static bool isOlderLayout(const QByteArray &fileStart);
    // The names stored in the settings.
    static QString key(Kind kind);
    static Kind fromKey(const QString &key, bool *known = nullptr);
    // The name the operator knows the format by, in the program's language.
    static QString name(Kind kind);
    // Whether the bytes of a whole file are only the start of a format's
    // header, as a file being started when the power went is left.
    static bool isTornHeader(const QByteArray &file);

    virtual Kind kind() const = 0;
    // Written once, at the start of a new or empty file.
    virtual QByteArray header() const { return QByteArray(); }
    // One whole record with its line end.
    virtual QByteArray record(const SampleRecord &sample) const = 0;
    // How many of the last bytes of a file holding this format's records are
    // a record cut short: the bytes after the last whole record, when they
    // can be nothing else. end is the file's last bytes, whole whether it is
    // all of the file. 0 when the file ends with a whole record, or with
    // bytes that are not one begun (someone's own text).
    virtual int tornLength(const QByteArray &end, bool whole) const = 0;
};

#endif // RECORDFORMAT_H
