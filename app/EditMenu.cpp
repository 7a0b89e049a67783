#include "EditMenu.h"

#include "DeviceTask.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QStatusBar>

EditMenu::EditMenu(std::function<DeviceTask *()> activeTask, QMainWindow *window)
    : QMenu(window)
    , activeTask(std::move(activeTask))
    , window(window)
{
    setObjectName(QStringLiteral("editMenu"));
    copyAct = addAction(QString());
    copyAct->setObjectName(QStringLiteral("copyReadingAct"));
    // The toolkit's own keys, Ctrl+C in every language; a field with the
    // focus copies its own text with them first.
    copyAct->setShortcuts(QKeySequence::Copy);
    connect(copyAct, &QAction::triggered, this, &EditMenu::copy);
    copyStableAct = addAction(QString());
    copyStableAct->setObjectName(QStringLiteral("copyStableAct"));
    copyStableAct->setCheckable(true);
    connect(copyStableAct, &QAction::toggled, this, &EditMenu::follow);
    translate();
}

QString EditMenu::readingText(const QString &value, const QString &units)
{
    QString text = value;
    for (const QChar separator : {QLatin1Char('.'), QLatin1Char(',')})
        text.replace(separator, DeviceTask::decimalPoint());
    return units.isEmpty() ? text : text + QLatin1Char(' ') + units;
}

// Nothing to copy is said, rather than the clipboard emptied.
void EditMenu::copy()
{
    DeviceTask *task = activeTask();
    if (!task)
        return;
    if (task->reading().isEmpty()) {
        window->statusBar()->showMessage(tr("Nothing copied: the window shows no reading."));
        return;
    }
    const QString text = readingText(task->reading(), task->readingUnit());
    QGuiApplication::clipboard()->setText(text);
    window->statusBar()->showMessage(tr("Copied: %1").arg(text));
}

// One window's readings at a time, the active one's: four scales on one
// clipboard would leave it holding whichever weighed last.
void EditMenu::follow()
{
    disconnect(followed);
    DeviceTask *task = activeTask();
    if (!task || !copyStableAct->isChecked())
        return;
    followed = connect(task, &DeviceTask::readingTaken, this, [](const SampleRecord &record) {
        if (record.stable)
            QGuiApplication::clipboard()->setText(readingText(record.value, record.units));
    });
}

void EditMenu::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        translate();
    QMenu::changeEvent(event);
}

void EditMenu::translate()
{
    setTitle(tr("&Edit"));
    copyAct->setText(tr("&Copy reading"));
    copyStableAct->setText(tr("Copy each &stable reading"));
}
