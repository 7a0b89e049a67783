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
    void addSample(const QString &record);
    void close();

    // Every record ends with CR LF CR, whatever the host's own line end.
    static const char recordEnd[];

private:
    QString name;
    QFile *file;
};

#endif // SAVESAMPLES_H
