#ifndef FRAMEMENU_H
#define FRAMEMENU_H

#include <QCoreApplication>

class QAction;
class QMdiSubWindow;

// What the main window does to the own menu of each document frame: writes
// its entries in the language of the moment and leaves the window's Close
// keys to the window's Close command. The texts are the main window's own.
class FrameMenu
{
    Q_DECLARE_TR_FUNCTIONS(MdiWindow)

public:
    // For a new frame, and again for each at every language change.
    static void adopt(QMdiSubWindow *frame, const QAction *closeAct);

private:
    static void translate(QMdiSubWindow *frame);
    static void leaveCloseKeys(QMdiSubWindow *frame, const QAction *closeAct);
};

#endif // FRAMEMENU_H
