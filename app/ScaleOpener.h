#ifndef SCALEOPENER_H
#define SCALEOPENER_H

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QMdiArea;
class QWidget;
class DocumentWindow;
class PortSettingsStore;
class RecordingNotices;
class ScaleList;

// Opens the scales the operator chooses, each in a document window of the
// workspace: no more than the list of scales holds, each read with the
// settings stored for its port, whose unusable values are told once a run.
// A window joins the workspace, tiled, when its own task reports ready, so a
// second port chosen before the first window is up does not leave the first
// one behind. Also stores new settings for a port, open or not. The texts
// are the main window's own.
class ScaleOpener : public QObject
{
    Q_OBJECT

public:
    // The notices and the dialogs show over window, which owns this; closeAct
    // is the window's Close, to which the frames leave its keys.
    ScaleOpener(QMdiArea *workspace, ScaleList *scales, PortSettingsStore *store, RecordingNotices *notices,
                const QAction *closeAct, QWidget *window);
    ~ScaleOpener() override;

    void open(const QString &port);
    // The document's task runs: the document is shown in a frame of its own.
    void show(DocumentWindow *document);
    // The port settings dialog, offering ports and the open ones, the active
    // document's first. A window open on the chosen port reads it the new
    // way at once. Whether the operator stored new settings.
    bool editSettings(QStringList ports, const DocumentWindow *active);

signals:
    // The document is about to be shown, before the list of scales hears of it.
    void starting(DocumentWindow *document);

private:
    QMdiArea *workspace;
    ScaleList *scales;
    PortSettingsStore *store;
    RecordingNotices *notices;
    const QAction *closeAct;
    QWidget *window;
    // Created, port taken in the list, not yet in the workspace.
    QList<DocumentWindow *> pending;
    // Ports whose unusable stored settings the operator has been told of.
    QStringList toldIgnoredSettings;
};

#endif // SCALEOPENER_H
