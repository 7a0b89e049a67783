#include "ScaleOpener.h"

#include "AppTrace.h"
#include "DeviceTask.h"
#include "DocumentWindow.h"
#include "FrameMenu.h"
#include "PortSettingsDialog.h"
#include "PortSettingsStore.h"
#include "RecordingNotices.h"
#include "ScaleList.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>

#include <utility>

ScaleOpener::ScaleOpener(QMdiArea *workspace, ScaleList *scales, PortSettingsStore *store,
                         RecordingNotices *notices, const QAction *closeAct, QWidget *window)
    : QObject(window)
    , workspace(workspace)
    , scales(scales)
    , store(store)
    , notices(notices)
    , closeAct(closeAct)
    , window(window)
{
}

// A window whose task has not reported ready yet is in no frame of the
// workspace: it goes here, and stops its task's thread, which would otherwise
// run on past the program's end.
ScaleOpener::~ScaleOpener()
{
    qDeleteAll(std::exchange(pending, {}));
}

void ScaleOpener::open(const QString &port)
{
    // Windows still starting count too: two ports chosen in quick succession
    // must not slip past the limit.
    if (scales->isFull()) {
        QMessageBox box(QMessageBox::Information, QCoreApplication::translate("MdiWindow", "Four ports are open"),
                        QCoreApplication::translate(
                            "MdiWindow", "You cannot open more than 4 ports: close a window to open another."),
                        QMessageBox::Ok, window);
        box.exec();
        return;
    }
    qCDebug(appTrace) << "? ScaleOpener open()" << port;
    QStringList ignored;
    auto *document = new DocumentWindow(port, store->setup(port, &ignored));
    scales->take(document->deviceTask());
    store->applyTo(document->deviceTask());
    // Said once a run and port: the window reads the port all the same.
    if (!ignored.isEmpty() && !toldIgnoredSettings.contains(port)) {
        toldIgnoredSettings << port;
        notices->tell(QCoreApplication::translate(
                          "MdiWindow",
                          "The stored settings of %1 hold values that cannot be used: %2.\n"
                          "The port is read with the usual settings of its kind of scale "
                          "instead; Device → Port settings... shows them and stores new ones.")
                          .arg(port, ignored.join(QStringLiteral(", "))),
                      QMessageBox::Warning, QCoreApplication::translate("MdiWindow", "Port settings"));
    }
    pending.append(document);
    connect(document, &DocumentWindow::documentWindowDestroyed, scales, &ScaleList::release);
    connect(document, &DocumentWindow::documentWindowStarted, this, [this, document] { show(document); });
}

void ScaleOpener::show(DocumentWindow *document)
{
    if (!document || !pending.removeOne(document))
        return;
    emit starting(document);
    DeviceTask *task = document->deviceTask();
    notices->watch(task);
    // Before the window is shown and mirrored: the shift gives a reopened one
    // its fields first.
    scales->start(task);
    QMdiSubWindow *frame = workspace->addSubWindow(
        document, Qt::WindowMaximizeButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    FrameMenu::adopt(frame, closeAct);
    // The window deletes itself once its port is closed; its frame goes with it.
    connect(document, &QObject::destroyed, frame, &QObject::deleteLater);
    // QMdiArea tiles only visible windows: show first, so the new one takes
    // its place in the tiling.
    document->show();
    workspace->tileSubWindows();
    qCDebug(appTrace) << "! ScaleOpener show()" << task->port();
}

bool ScaleOpener::editSettings(QStringList ports, const DocumentWindow *active)
{
    const QList<DeviceTask *> open = scales->running();
    for (const DeviceTask *task : open)
        if (!ports.contains(task->port()))
            ports.prepend(task->port());
    PortSettingsDialog dialog(ports, active ? active->port() : QString(), store, window);
    dialog.setOpenTasks(open);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (DeviceTask *task : open)
        if (task->port() == dialog.port()) {
            task->setScaleName(dialog.scaleName());
            task->reopen(dialog.setup());
        }
    return true;
}
