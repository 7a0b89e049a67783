#ifndef MDIWINDOW_H
#define MDIWINDOW_H

#include <QList>
#include <QMainWindow>
#include <QMessageBox>

#include <memory>
#include <vector>

#include "PortSettingsStore.h"

class QAction;
class QCloseEvent;
class QDoubleSpinBox;
class QEvent;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QResizeEvent;
class QTranslator;

class DeviceTask;
class DocumentWindow;
class EditMenu;
class GraphAttr;
class LotField;
class ModeControl;
class RecordControl;
class RecordMenu;
class RecordingNotices;
class ScaleList;
class ScaleOpener;
class Scaner;
class ShiftRestorer;
class ShiftStore;

// The program's only top-level window. It owns every menu, tool bar and action
// (built from one table, see actionRows()), the port selector and the list of
// open scales, keeps the controls in step with the active document window and
// routes the operator's commands to it; it never touches a port itself. The
// record file and the Mode commands have controls of their own.
class MdiWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The two translators are installed in the application by main(), program
    // translator first; the window loads the Polish catalogues into them as the
    // last step of its construction and reloads them on a language switch.
    MdiWindow(QTranslator *programTranslator, QTranslator *toolkitTranslator,
              QWidget *parent = nullptr);
    ~MdiWindow() override;

    // Says in the title bar that the ports on offer include simulated scales.
    void setDemo(bool on);
    PortSettingsStore *portSettingsStore() { return &portStore; }
    // Keeps the shift in store from now on, in the language it names, and
    // reopens its windows (resume) or starts with none.
    void keepShift(ShiftStore *store, bool resume);
    // Another running program keeps the shift: this one starts in its
    // language, with no window, keeps nothing, and says so.
    void leaveShift(const QString &language);
    // Shows the window where and as large as it was left in the kept shift,
    // its tool bars where they stood; maximized the first time.
    void showAsLeft();

signals:
    void graphViewChangeWindow(GraphAttr *attr);
    void showLcdSig(bool on);
    void showGraphSig(bool on);
    void showStatisticsSig(bool on);
    // The operator chose the language of this key ("polish", "english").
    void languageChosen(const QString &key);

public slots:
    void windowState(QWidget *window);
    void deviceNew(const QString &port);
    void pauseMode();
    void stepMode();
    void goMode();
    void recMode(bool on);
    void setFullScreen(bool on);
    void maxi();
    void helpAbout();
    void enableActions();
    void exportPlot();
    void graphViewWindow();
    void setSamplingRate(double seconds);
    void graphViewChange(GraphAttr *attr);
    void translateUI();
    void setRecPath();
    void deviceNewReady();
    void deviceDestroyed(const QString &port);
    void showGraph(bool on);
    void showLCD(bool on);
    // Every plot's value axis follows its readings, or only widens.
    void followReadings(bool on);
    void portSettings();
    void lineMonitor();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    enum ActionFlag { Checkable = 1, Checked = 2, Toggled = 4, ChangesScale = 8, TipOnce = 16 };
    // One action of the window. Toggled: run on every change of its check,
    // not only the operator's. ChangesScale: the command changes what the
    // active window's scale keeps. TipOnce: the status tip is not retranslated.
    struct ActionRow
    {
        QAction *MdiWindow::*action;
        const char *name;
        const char *text;
        const char *statusTip;
        const char *icon;
        int key;             // the shortcut, or 0
        const char *keyName; // or the shortcut as translated text, or null
        int flags;
        void (*run)(MdiWindow *window, bool checked);
    };
    static const std::vector<ActionRow> &actionRows();
    void chooseLanguage(const QAction *action);
    void retranslate();
    void createActions();
    void createMenus();
    void createToolBars();
    void loadLanguage(const QString &key);
    bool hasActiveDocument() const;
    // Tare and Zero as the active window's kind of scale allows, with the
    // reason in the tip where it does not.
    void enableCommands();
    DocumentWindow *activeDocument() const;
    DeviceTask *activeTask() const;
    void joinViews(DocumentWindow *document);
    static QString version();

    QTranslator *programTranslator;
    QTranslator *toolkitTranslator;

    QMdiArea *workspace = nullptr;

    QAction *closeAct = nullptr;
    QAction *exitAct = nullptr;
    QAction *pauseAct = nullptr;
    QAction *stepAct = nullptr;
    QAction *goAct = nullptr;
    QAction *recordAct = nullptr;
    QAction *fullscreenAct = nullptr;
    QAction *maximizeAct = nullptr;
    QAction *tileAct = nullptr;
    QAction *nextAct = nullptr;
    QAction *previousAct = nullptr;
    QAction *showLcdAct = nullptr;
    QAction *showGraphAct = nullptr;
    QAction *followAct = nullptr;
    QAction *showStatisticsAct = nullptr;
    QAction *graphViewAct = nullptr;
    QAction *aboutAct = nullptr;
    QAction *exportAct = nullptr;
    QAction *polishAct = nullptr;
    QAction *englishAct = nullptr;
    QAction *separatorAct = nullptr;
    QAction *portSettingsAct = nullptr;
    QAction *lineMonitorAct = nullptr;
    QAction *limitsAct = nullptr;
    QAction *tareAct = nullptr;
    QAction *zeroAct = nullptr;

    QMenu *deviceMenu = nullptr;
    EditMenu *editMenu = nullptr;
    QMenu *modeMenu = nullptr;
    QMenu *optionsMenu = nullptr;
    QMenu *languageMenu = nullptr;
    QMenu *windowMenu = nullptr;
    QMenu *helpMenu = nullptr;

    Scaner *scaner = nullptr;
    GraphAttr *graphAttr = nullptr;
    QDoubleSpinBox *samplingRateBox = nullptr;
    RecordMenu *recordMenu = nullptr;
    LotField *lotField = nullptr;
    RecordingNotices *notices = nullptr;
    ScaleOpener *opener = nullptr;
    ScaleList *scales = nullptr;
    std::unique_ptr<RecordControl> recordControl;
    std::unique_ptr<ModeControl> modeControl;
    PortSettingsStore portStore;
    ShiftRestorer *shift = nullptr;
    void keepLayout();
    bool demo = false;
};

#endif // MDIWINDOW_H
