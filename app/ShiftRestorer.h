#ifndef SHIFTRESTORER_H
#define SHIFTRESTORER_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class QAction;
class QMainWindow;
class QWidget;
class DeviceTask;
class MdiWindow;
class ScaleList;
class ShiftStore;

// Keeps the shift in its store as the windows change, and puts it back at the
// next start: each port that is still there, and each network port, is
// reopened and its window given the fields it had; a port that is gone is
// told and dropped. It hears of the changes from the main window and its list
// of scales; what a window keeps is the field list in the source. The main
// window's own place and tool bars are kept in the shift too.
class ShiftRestorer : public QObject
{
    Q_OBJECT

public:
    // Questions and notices are shown over window, which also owns this.
    ShiftRestorer(ShiftStore *store, QMainWindow *window);
    // Another running program keeps the shift: says so, on the terminal and,
    // once the event loop runs, over window, not waited for.
    static void tellKeptElsewhere(QWidget *window);

    // Options: reopen at start without asking; checkable, kept in the store.
    QAction *resumeAtOnceAction() const { return resumeAtOnceAct; }
    void retranslate();
    QString language() const;
    // Whether the statistics were shown when the shift was last kept.
    bool showsStatistics() const;

    // Offers (or, with the option on, does at once) to reopen the saved
    // windows whose ports are among present; open() opens one, whose window
    // comes back through windowOpened() once it runs.
    void resume(const QStringList &present, const std::function<void(const QString &)> &open);
    // The saved windows are forgotten: the program starts with none.
    void startEmpty();
    // resume() once the event loop runs, so that the question comes over a
    // shown window, with the ports present then; or startEmpty() now.
    void begin(bool resumed, const std::function<QStringList()> &present,
               const std::function<void(const QString &)> &open);

    // The window where and as large as it was left, its tool bars where they
    // stood; false, and nothing done, when it was never kept.
    bool restoreLayout();
    void keepLayout();

    // Saves the shift at each change: a scale opened or closed, a change to
    // what one keeps (the modes, the record file, the interval, the lot), the
    // language or the statistics chosen.
    void follow(const MdiWindow *mainWindow, const ScaleList *scales);
    // At exit: the windows still open stay in the shift for the next start.
    void stop() { stopped = true; }

private:
    // A window is up and running (its recorder exists).
    void windowOpened(DeviceTask *task);
    void windowClosed(const QString &port);
    // Something the operator did may have changed a window's fields.
    void windowsChanged();
    void languageChosen(const QString &key);
    struct Entry
    {
        QString port;
        QPointer<DeviceTask> task; // null until the reopened window runs
        QVariantMap saved;
    };
    void save();
    void tell(const QString &text);
    static QVariantMap fieldsOf(const DeviceTask *task);

    ShiftStore *store;
    QMainWindow *window;
    QAction *resumeAtOnceAct;
    QList<Entry> entries;
    bool stopped = false;
};

#endif // SHIFTRESTORER_H
