#include "RecordingNotices.h"

#include "DeviceTask.h"
#include "SaveSamples.h"

#include <QDir>

RecordingNotices::RecordingNotices(QWidget *window)
    : QObject(window)
    , window(window)
{
}

void RecordingNotices::watch(DeviceTask *task)
{
    connect(task, &DeviceTask::recordingFailed, this,
            [this, task](const QString &fileName, const QString &reason) { tellFailed(task, fileName, reason); });
    connect(task, &DeviceTask::recordingRecovered, this,
            [this, task](const QString &fileName) { tellRecovered(task, fileName); });
    connect(task, &DeviceTask::recordingFileRecreated, this,
            [this, task](const QString &fileName) { tellFileRecreated(task, fileName); });
    // The recorder is the task's from its start to its end.
    if (SaveSamples *recorder = task->recorder())
        connect(recorder, &SaveSamples::tornRecordRemoved, this,
                [this, task](const QString &fileName, const QByteArray &removed) {
                    tellTornRecordRemoved(task, fileName, removed);
                });
}

void RecordingNotices::tellCouldNotOpen(DeviceTask *task)
{
    const SaveSamples *recorder = task->recorder();
    const QString shownName = QDir::toNativeSeparators(recorder->fileName());
    if (!recorder->formatRefusal().isEmpty())
        warn(tr("Readings are not added to the file\n%1\n").arg(shownName) + recorder->formatRefusal());
    else
        warn(tr("Could not open the file\n%1\n(%2).").arg(shownName, recorder->openFailure()));
}

void RecordingNotices::tellFailed(DeviceTask *task, const QString &fileName, const QString &reason)
{
    // Recording stays on: an overnight run outlasts a disk that is full for
    // a while, and the operator hears when records land again.
    tell(tr("The readings of %1 could not be written to the file\n%2\n(%3).\n"
            "Recording goes on: every new reading is tried again, and you will "
            "be told when records reach the file again. The records written "
            "before are kept in the file.")
             .arg(task->port(), QDir::toNativeSeparators(fileName), reason));
}

void RecordingNotices::tellRecovered(DeviceTask *task, const QString &fileName)
{
    tell(tr("The readings of %1 are written to the file\n%2\nagain.\n"
            "The readings taken while they could not be written are not in it.")
             .arg(task->port(), QDir::toNativeSeparators(fileName)),
         QMessageBox::Information);
}

void RecordingNotices::tellFileRecreated(DeviceTask *task, const QString &fileName)
{
    tell(tr("The recording file\n%1\nof %2 was deleted while recording.\n"
            "Recording goes on in a new file of the same name; the records "
            "from before the deletion are not in it.")
             .arg(QDir::toNativeSeparators(fileName), task->port()));
}

void RecordingNotices::tellTornRecordRemoved(DeviceTask *task, const QString &fileName,
                                             const QByteArray &removed)
{
    tell(tr("The recording file\n%1\nof %2 ended in a record or a header cut short, as a power cut "
            "leaves one. So that no part of a record is read as a whole one, these bytes were taken "
            "off:\n%3\nThe readings are added after the last whole record.")
             .arg(QDir::toNativeSeparators(fileName), task->port(), quoted(removed)));
}

QString RecordingNotices::quoted(const QByteArray &bytes)
{
    QString shown;
    const QString text = QString::fromUtf8(bytes);
    for (const QChar c : text) {
        if (shown.size() >= quotedLength) {
            shown += QChar(0x2026);
            break;
        }
        if (c == QLatin1Char('\t'))
            shown += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            shown += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            shown += QStringLiteral("\\n");
        else if (c == QLatin1Char('\\'))
            shown += QStringLiteral("\\\\");
        else if (!c.isPrint())
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

// Not exec(): the news comes from inside a reading's handler, and a nested
// event loop there could delete the very device whose reading is handled.
void RecordingNotices::tell(const QString &text, QMessageBox::Icon icon, const QString &title)
{
    auto *box = new QMessageBox(icon, title.isEmpty() ? tr("Record") : title, text,
                                QMessageBox::Ok, window);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void RecordingNotices::warn(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, tr("Record"), text, QMessageBox::Ok, window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
