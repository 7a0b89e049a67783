#ifndef WINDOWMENU_H
#define WINDOWMENU_H

#include <QList>
#include <QMenu>

class QMdiArea;

// The Window menu: the window commands, then one entry per document window
// of the workspace, in the order they were opened, the current one checked.
// Choosing an entry makes its window the current one. Rebuilt each time it
// opens; its title is the main window's to set.
class WindowMenu : public QMenu
{
    Q_OBJECT

public:
    // A null command stands for a separator.
    WindowMenu(QMdiArea *workspace, const QList<QAction *> &commands, QWidget *parent);

private:
    void rebuild();

    QMdiArea *workspace;
    QList<QAction *> commands;
};

#endif // WINDOWMENU_H
