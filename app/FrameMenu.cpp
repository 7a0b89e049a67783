#include "FrameMenu.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>

void FrameMenu::adopt(QMdiSubWindow *frame, const QAction *closeAct)
{
    leaveCloseKeys(frame, closeAct);
    translate(frame);
}

// A frame's own menu is written by the toolkit in the language of the moment
// and kept so; its Polish also gives Move and Minimize one letter. The
// window writes the entries itself, found by the toolkit's texts at first.
void FrameMenu::translate(QMdiSubWindow *frame)
{
    static const char *const entries[] = {
        QT_TR_NOOP("&Restore"), QT_TR_NOOP("&Move"),      QT_TR_NOOP("&Size"),  QT_TR_NOOP("Mi&nimize"),
        QT_TR_NOOP("Ma&ximize"), QT_TR_NOOP("Stay on &Top"), QT_TR_NOOP("&Close")};
    QMenu *menu = frame->systemMenu();
    if (!menu)
        return;
    for (QAction *action : menu->actions()) {
        for (const char *entry : entries)
            if (action->objectName().isEmpty() && action->text() == QMdiSubWindow::tr(entry))
                action->setObjectName(QLatin1String(entry));
        for (const char *entry : entries)
            if (action->objectName() == QLatin1String(entry))
                action->setText(tr(entry));
    }
}

// Every frame's own menu closes it on QKeySequence::Close, which on X11 is
// Ctrl+F4 and Ctrl+W. With Ctrl+W on closeAct as well the toolkit finds the
// key ambiguous and fires neither, so the frames give up the keys closeAct
// uses and keep the rest (Ctrl+F4 still closes a frame from its menu's key).
void FrameMenu::leaveCloseKeys(QMdiSubWindow *frame, const QAction *closeAct)
{
    const QList<QKeySequence> taken = closeAct->shortcuts();
    for (QAction *action : frame->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        const int before = keys.size();
        for (const QKeySequence &key : taken)
            keys.removeAll(key);
        // setShortcut() would replace only the first key and keep Ctrl+W.
        if (keys.size() != before)
            action->setShortcuts(keys);
    }
}
