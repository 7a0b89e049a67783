#ifndef MDIWINDOW_H
#define MDIWINDOW_H

#include <QList>
#include <QMainWindow>
#include <QMessageBox>

#include <memory>

#include "PortSettingsStore.h"

class QAction;
class QCloseEvent;
class QDoubleSpinBox;
class QEvent;
class QMdiArea;
class QResizeEvent;
class QTranslator;

class CommandBars;
class DeviceTask;
class DocumentWindow;
class GraphAttr;
class LotField;
class ModeControl;
class RecordControl;
class RecordingNotices;
class ScaleList;
class ScaleOpener;
class Scaner;
class ShiftRestorer;
class ShiftStore;
class WindowCommands;

// The program's only top-level window. It owns the commands (built from one
// table, see WindowCommands) with the menus and tool bars they are laid out in
// (CommandBars), the port selector and the list of open scales, keeps the
// controls in step with the active document window and routes the operator's
// commands to it; it never touches a port itself. Opening a scale, the record
// file, the Mode commands and the kept shift have classes of their own.
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
    void chooseLanguage(const QAction *action);
    void retranslate();
    void loadLanguage(const QString &key);
    bool hasActiveDocument() const;
    DocumentWindow *activeDocument() const;
    DeviceTask *activeTask() const;
    void joinViews(DocumentWindow *document);
    void keepLayout();
    static QString version();

    QTranslator *programTranslator;
    QTranslator *toolkitTranslator;

    QMdiArea *workspace = nullptr;

    std::unique_ptr<WindowCommands> commands;
    std::unique_ptr<CommandBars> bars;

    Scaner *scaner = nullptr;
    GraphAttr *graphAttr = nullptr;
    QDoubleSpinBox *samplingRateBox = nullptr;
    LotField *lotField = nullptr;
    RecordingNotices *notices = nullptr;
    ScaleOpener *opener = nullptr;
    ScaleList *scales = nullptr;
    std::unique_ptr<RecordControl> recordControl;
    std::unique_ptr<ModeControl> modeControl;
    PortSettingsStore portStore;
    ShiftRestorer *shift = nullptr;
    bool demo = false;
};

#endif // MDIWINDOW_H
