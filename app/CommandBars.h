#ifndef COMMANDBARS_H
#define COMMANDBARS_H

#include <QCoreApplication>

#include <functional>

class QMainWindow;
class QMdiArea;
class QMenu;
class QWidget;
class DeviceTask;
class EditMenu;
class PortSettingsStore;
class RecordMenu;
class WindowCommands;

// The main window's menus and tool bars, laid out from its commands. The
// menus are titled in the language of the moment, the tool bars once, in
// English. The Edit menu, the recording options and the Window menu with its
// list of windows are menus of their own, made here. The texts are the main
// window's own.
class CommandBars
{
    Q_DECLARE_TR_FUNCTIONS(MdiWindow)

public:
    // The menus are the menu bar's and the submenus their menus'; the Edit
    // menu and the recording options are the window's. activeTask gives the
    // active window's task, or null. The menus are untitled until
    // retranslate().
    CommandBars(QMainWindow *window, QMdiArea *workspace, const WindowCommands &commands,
                PortSettingsStore *store, const std::function<DeviceTask *()> &activeTask);

    // The tool bars, with the port selector, the interval box, the record
    // path button and the lot field among the commands.
    void addToolBars(QWidget *ports, QWidget *interval, QWidget *recordPath, QWidget *lot);
    void retranslate();

    EditMenu *editMenu() const { return edit; }
    RecordMenu *recordMenu() const { return record; }
    QMenu *optionsMenu() const { return options; }

private:
    QMainWindow *window;
    const WindowCommands &commands;
    QMenu *device;
    EditMenu *edit;
    QMenu *mode;
    RecordMenu *record;
    QMenu *options;
    QMenu *language;
    QMenu *windowMenu;
    QMenu *help;
};

#endif // COMMANDBARS_H
