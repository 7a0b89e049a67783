#ifndef EDITMENU_H
#define EDITMENU_H

#include <QMenu>

#include <functional>

class QMainWindow;
class DeviceTask;

// Edit: the active window's reading onto the clipboard, for another program
// to paste, once (Copy reading, Ctrl+C) or at each stable reading the window
// takes as a record. The text is the value and its unit with the decimal
// separator of the program's language: "12,5 g" in Polish.
class EditMenu : public QMenu
{
    Q_OBJECT

public:
    EditMenu(std::function<DeviceTask *()> activeTask, QMainWindow *window);

    QAction *copyAction() const { return copyAct; }
    QAction *copyStableAction() const { return copyStableAct; }
    static QString readingText(const QString &value, const QString &units);

public slots:
    // Follows the window now active, while Copy each stable reading is on.
    void follow();

protected:
    void changeEvent(QEvent *event) override;

private:
    void translate();
    void copy();

    std::function<DeviceTask *()> activeTask;
    QMainWindow *window;
    QAction *copyAct;
    QAction *copyStableAct;
    QMetaObject::Connection followed;
};

#endif // EDITMENU_H
