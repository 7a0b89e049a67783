#include "RecordControl.h"

#include "AppTrace.h"
#include "DeviceTask.h"
#include "RecordingNotices.h"
#include "SaveSamples.h"
#include "ScaleList.h"
#include "ShiftStore.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>

namespace {
// The button's text with no file chosen, and before the name of one chosen.
const QString noFileChosen = QStringLiteral("...");
}

RecordControl::RecordControl(QWidget *window, QAction *record, const ScaleList *scales,
                             RecordingNotices *notices)
    : window(window)
    , recordAct(record)
    , scales(scales)
    , notices(notices)
    , pathButton(new QPushButton(noFileChosen, window))
{
    pathButton->setObjectName(QStringLiteral("recPathButton"));
    pathButton->setFixedWidth(100);
    retranslate();
}

void RecordControl::show(const QString &fileName)
{
    shownFile = fileName;
    if (fileName.isEmpty()) {
        pathButton->setText(noFileChosen);
        retranslate();
        return;
    }
    pathButton->setToolTip(DeviceTask::plainTip(fileName));
    pathButton->setStatusTip(fileName);
    pathButton->setText(noFileChosen + fileName.mid(fileName.lastIndexOf(QLatin1Char('/'))));
}

// A chosen file keeps its name in the tips.
void RecordControl::retranslate()
{
    if (!hasFile()) {
        pathButton->setToolTip(tr("set file path"));
        pathButton->setStatusTip(tr("set file path"));
    }
}

void RecordControl::record(DeviceTask *task, bool on)
{
    SaveSamples *recorder = task->recorder();
    if (!on) {
        task->setRecording(false);
        recorder->close();
        return;
    }
    // The dialogs run event loops of their own, in which the window may close.
    const QPointer<DeviceTask> alive(task);
    if (!hasFile())
        choose(task);
    // Still no file: the dialog was cancelled, and choose() has unchecked
    // Record.
    if (!alive || !hasFile())
        return;
    // The file may have changed, or another window may have started recording
    // into it, since it was chosen.
    if (!mayRecordInto(task, recorder->fileName(), tr("Recording stays off."))) {
        recordAct->setChecked(alive && task->isRecording());
        return;
    }
    if (!recorder->open()) {
        tellCouldNotOpen(task);
        return;
    }
    task->setRecording(true);
}

// A file that cannot be opened leaves recording off; the operator is told
// instead of watching a Record button that writes nothing.
void RecordControl::tellCouldNotOpen(DeviceTask *task)
{
    task->setRecording(false);
    recordAct->setChecked(false);
    notices->tellCouldNotOpen(task);
}

// Records go into a regular file or a new one, and no two windows share
// one. Otherwise the operator hears why, and what follows from it.
bool RecordControl::mayRecordInto(const DeviceTask *task, const QString &fileName, const QString &outcome)
{
    const QString shownName = QDir::toNativeSeparators(fileName);
    QString refusal;
    const QString other = scales->recordingInto(fileName, task);
    if (!SaveSamples::isRecordable(fileName))
        refusal = tr("Readings are recorded only into a regular file or under a new name;\n%1\n"
                     "is a folder, a device, a pipe, a socket or a link.")
                      .arg(shownName);
    else if (!other.isEmpty())
        refusal = tr("The window of %1 is already recording into the file\n%2\n"
                     "Each window records into a file of its own.")
                      .arg(other, shownName);
    if (refusal.isEmpty())
        return true;
    notices->warn(refusal + QLatin1Char('\n') + outcome);
    return false;
}

void RecordControl::choose(DeviceTask *task)
{
    // The recorder appends to the file it is given and never replaces one:
    // the dialog asks nothing about replacing and says where readings go.
    // The filter of the format the window records in comes first.
    const QString text = tr("Text records (*.txt)");
    const QString csv = tr("CSV files (*.csv)");
    const bool recordsCsv = task->recordFormat() != RecordFormat::Classic;
    const QString chosenBefore = task->recorder()->fileName();
    QFileDialog dialog(window, tr("Choose the file to record readings in"),
                       chosenBefore.isEmpty() && desk ? desk->recordFolder() : chosenBefore,
                       (recordsCsv ? csv + QStringLiteral(";;") + text : text + QStringLiteral(";;") + csv)
                           + QStringLiteral(";;") + tr("All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setLabelText(QFileDialog::FileName, tr("Add readings to the end of:"));
    dialog.setLabelText(QFileDialog::Accept, tr("Append"));
    // The dialogs run event loops of their own, in which the window may close.
    const QPointer<DeviceTask> alive(task);
    const QString fileName = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    // Refused, the choice is forgotten and the file chosen before kept.
    if (!alive || fileName.isEmpty() || !mayRecordInto(task, fileName, tr("The file chosen before is kept."))) {
        // A recording already running goes on, and Record keeps saying so.
        recordAct->setChecked(alive && task->isRecording());
        return;
    }
    qCDebug(appTrace) << fileName;
    if (desk)
        desk->setRecordFolder(QFileInfo(fileName).absolutePath());
    task->recorder()->setFileName(fileName);
    show(fileName);
    // A recording under way moves to the new file at once, so that the next
    // record goes where the button says; open() lets go of the old file.
    if (task->isRecording() && !task->recorder()->open())
        tellCouldNotOpen(task);
}
