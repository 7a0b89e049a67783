#ifndef SAVESAMPLES_H
#define SAVESAMPLES_H

#include <QObject>
#include <QString>

class QFile;

// Appends a device's record lines to the operator's recording file. It holds
// the name and the open file only; what a record says and when one is written
// is the device task's business.
class SaveSamples : public QObject
{
    Q_OBJECT

public:
    explicit SaveSamples(QObject *parent = nullptr);
    ~SaveSamples() override;

    QString fileName() const { return name; }
    void setFileName(const QString &fileName);

    // Both return whether the file is open for appending afterwards; an
    // empty name opens nothing.
    bool open();
    bool open(const QString &fileName);
    bool isOpen() const;
    // Whether the open file is the one the name leads to now.
    bool isWritingTo(const QString &fileName) const;
    void addSample(const QString &record);
    void close();

    // Records go only into a regular file or under a name where nothing is
    // yet: never into a folder, a device, a pipe or a socket, nor through a
    // link (a link to a regular file included).
    static bool isRecordable(const QString &fileName);

    // Every record ends with CR LF CR, whatever the host's own line end.
    static const char recordEnd[];

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

private:
    bool openAppending(QFile *target, const QString &fileName, QString *reason);
    bool write(const QByteArray &bytes);
    bool reopenDeleted();
    void fail(const QString &reason);

    QString name;
    QString openName; // a file opened by descriptor keeps no name of its own
    QFile *file;
    bool failing;
};

#endif // SAVESAMPLES_H
