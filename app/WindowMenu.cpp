#include "WindowMenu.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

WindowMenu::WindowMenu(QMdiArea *workspace, const QList<QAction *> &commands, QWidget *parent)
    : QMenu(parent)
    , workspace(workspace)
    , commands(commands)
{
    setObjectName(QStringLiteral("windowMenu"));
    connect(this, &QMenu::aboutToShow, this, &WindowMenu::rebuild);
}

void WindowMenu::rebuild()
{
    clear();
    for (QAction *command : qAsConst(commands)) {
        if (command)
            addAction(command);
        else
            addSeparator();
    }
    const QList<QMdiSubWindow *> windows = workspace->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < windows.size(); ++i) {
        const QPointer<QMdiSubWindow> window = windows.at(i);
        // Owned by the menu, so the next clear() frees it. The text is the
        // main window's own.
        QAction *entry = addAction(QCoreApplication::translate("MdiWindow", "&%1 %2")
                                       .arg(QString::number(i + 1), window->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(window == workspace->currentSubWindow());
        connect(entry, &QAction::triggered, this, [this, window] {
            if (window)
                workspace->setActiveSubWindow(window);
        });
    }
}
