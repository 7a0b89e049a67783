#ifndef RECORDINGNOTICES_H
#define RECORDINGNOTICES_H

#include <QMessageBox>
#include <QObject>

class DeviceTask;

// Tells the operator what became of a window's recording: a file that cannot
// be opened and why, records that cannot be written and their return, a
// recording file deleted from under the recorder, a torn record taken off.
// The texts quote file and port names as they are: the boxes show them as
// plain text.
class RecordingNotices : public QObject
{
    Q_OBJECT

public:
    // The boxes are shown over window.
    explicit RecordingNotices(QWidget *window);

    // From now on tells each trouble the task's recorder meets, and its end.
    void watch(DeviceTask *task);
    // Waits for the operator: it follows the operator's own command.
    void tellCouldNotOpen(DeviceTask *task);
    // Does not wait: see tell(). Titled "Record" unless another title is given.
    void tell(const QString &text, QMessageBox::Icon icon = QMessageBox::Warning,
              const QString &title = QString());
    // Waits for the operator, as tellCouldNotOpen() does.
    void warn(const QString &text);

private:
    void tellFailed(DeviceTask *task, const QString &fileName, const QString &reason);
    void tellRecovered(DeviceTask *task, const QString &fileName);
    void tellFileRecreated(DeviceTask *task, const QString &fileName);
    void tellTornRecordRemoved(DeviceTask *task, const QString &fileName, const QByteArray &removed);

    // Bytes from a file as the operator may read them: line ends, tabs and
    // other unprintable characters escaped, at most quotedLength characters.
    static QString quoted(const QByteArray &bytes);
    static const int quotedLength = 60;

    QWidget *window;
};

#endif // RECORDINGNOTICES_H
