#ifndef RECORDCONTROL_H
#define RECORDCONTROL_H

#include <QCoreApplication>
#include <QString>

class QAction;
class QPushButton;
class QWidget;
class DeviceTask;
class RecordingNotices;
class ScaleList;
class ShiftStore;

// The Record command and the record-path button of the main window: the file
// the active window records into, chosen by the operator, appended to, and
// never one that another window records into. The button shows the file
// chosen, held here, not read back from the button. The texts are the main
// window's own.
class RecordControl
{
    Q_DECLARE_TR_FUNCTIONS(MdiWindow)

public:
    // The button is made a child of window, over which the dialogs show;
    // record is the window's Record action, kept checked while recording.
    RecordControl(QWidget *window, QAction *record, const ScaleList *scales, RecordingNotices *notices);

    QPushButton *button() const { return pathButton; }
    // The record files are chosen in the folder kept there, and it follows
    // the choice.
    void keepFolderIn(ShiftStore *store) { desk = store; }

    // The file of the window now active, or none.
    void show(const QString &fileName);
    bool hasFile() const { return !shownFile.isEmpty(); }
    void retranslate();

    // Record switched on or off for the task's window.
    void record(DeviceTask *task, bool on);
    // Asks the operator for the task's record file.
    void choose(DeviceTask *task);

private:
    void tellCouldNotOpen(DeviceTask *task);
    bool mayRecordInto(const DeviceTask *task, const QString &fileName, const QString &outcome);

    QWidget *window;
    QAction *recordAct;
    const ScaleList *scales;
    RecordingNotices *notices;
    ShiftStore *desk = nullptr;
    QPushButton *pathButton;
    QString shownFile;
};

#endif // RECORDCONTROL_H
