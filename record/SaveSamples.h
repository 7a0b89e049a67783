#ifndef SAVESAMPLES_H
#define SAVESAMPLES_H

#include <QObject>
#include <QString>

#include <memory>

#include "RecordFormat.h"

class QFile;

// Appends a device's records to the operator's recording file. It holds the
// name, the open file and the format the file is written in; when a record is
// written is the device task's business. A file keeps one format: one that
// holds records of another is refused at open().
class SaveSamples : public QObject
{
    Q_OBJECT

public:
    explicit SaveSamples(QObject *parent = nullptr);
    ~SaveSamples() override;

    QString fileName() const { return name; }
    void setFileName(const QString &fileName);
    // Taken at the next open(): a file already open goes on as it began.
    void setFormat(RecordFormat::Kind kind) { formatKind = kind; }
    RecordFormat::Kind format() const { return formatKind; }

    // Both return whether the file is open for appending afterwards; an
    // empty name opens nothing.
    bool open();
    bool open(const QString &fileName);
    bool isOpen() const;
    // Whether the open file is the one the name leads to now.
    bool isWritingTo(const QString &fileName) const;
    // A classic record line, less its line end.
    void addSample(const QString &record);
    // A record in the format the file was opened with.
    void addRecord(const SampleRecord &sample);
    void close();
    // Why the last open() refused a file that holds records of another
    // format, in the operator's words; empty when it did not.
    QString formatRefusal() const { return refusal; }
    // Why the last open() left its file closed, in a few words ("it is a
    // symbolic link", or the system's own); empty when it opened it.
    QString openFailure() const { return failure; }

    // Records go only into a regular file or under a name where nothing is
    // yet: never into a folder, a device, a pipe or a socket, nor through a
    // link (a link to a regular file included).
    static bool isRecordable(const QString &fileName);
    // The end of a file looked at for a torn record, at most: longer than
    // any record the formats write.
    static const int tornWindow = 4096;

signals:
    // A record could not be written (a full disk, a file grown past its
    // limit, a folder that is gone) and none of it stays in the file. Given
    // once per run of failed records; every record handed over meanwhile is
    // tried again. The next record written, or the next open(), ends the run.
    void writeFailed(QString fileName, QString reason);
    // A record was written after a run of failed ones.
    void writeRecovered(QString fileName);
    // The open file was deleted from under the recorder: the records from
    // here on go to a new file of the same name instead of a nameless one.
    void fileRecreated(QString fileName);
    // The file opened ended in a record cut short (by a power cut, say) or in
    // the start of a header only; those bytes, removed, are given. The
    // records added go after the last whole record, and no torn one is
    // completed into a record that looks whole.
    void tornRecordRemoved(QString fileName, QByteArray removed);

private:
    bool openAppending(QFile *target, const QString &fileName, QString *reason);
    bool startFile(QFile *target, QString *reason);
    bool removeTornEnd(QFile *target, QString *reason);
    static bool writeWhole(QFile *target, const QByteArray &bytes, QString *reason);
    void append(const QByteArray &bytes);
    bool write(const QByteArray &bytes);
    bool reopenDeleted();
    void fail(const QString &reason);

    QString name;
    QString openName; // a file opened by descriptor keeps no name of its own
    QFile *file;
    bool failing;
    RecordFormat::Kind formatKind = RecordFormat::Classic;
    // The format of the open file, fixed when it was opened.
    std::unique_ptr<RecordFormat> writer;
    QString refusal;
    QString failure;
};

#endif // SAVESAMPLES_H
