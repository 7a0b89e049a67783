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
}

void RecordingNotices::tellCouldNotOpen(DeviceTask *task)
{
    const SaveSamples *recorder = task->recorder();
    const QString shownName = QDir::toNativeSeparators(recorder->fileName());
    if (!recorder->formatRefusal().isEmpty())
        warn(tr("Readings are not added to the file\n%1\n").arg(shownName) + recorder->formatRefusal());
    else
        warn(tr("Could not open the file") + QLatin1Char('\n') + shownName);
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

// Not exec(): the news comes from inside a reading's handler, and a nested
// event loop there could delete the very device whose reading is handled.
void RecordingNotices::tell(const QString &text, QMessageBox::Icon icon)
{
    auto *box = new QMessageBox(icon, tr("Record"), text, QMessageBox::Ok, window);
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
