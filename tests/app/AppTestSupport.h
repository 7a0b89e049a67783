#pragma once
#include <QtTest>
#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include "DeviceTask.h"
#include "DialogScript.h"
#include "DocumentWindow.h"
#include "MdiWindow.h"
#include "ScaleOnPty.h"
#include "Scaner.h"
#include "SystemPortEnumerator.h"
// The entries of the drop-down once the operator has opened it.
inline QStringList entries(Scaner *box)
{
    box->showPopup();
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    box->hidePopup();
    return names;
}

// The main window, in English, over scales on real pseudo-terminals that its
// drop-down lists as it lists the simulator's ports. Scale i answers value
// request n with the reading n; the first `silent` scales never answer.
class DeviceFixture : public QObject
{
    Q_OBJECT
protected slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { delete window; window = nullptr; scales.reset(); }
protected:
    void start(int count, int silent = 0)
    {
        scales = std::make_unique<ScaleOnPty>();
        for (int i = 0; i < count && scales->add(); ++i)
            scales->answer(i, [mute = i < silent](char request, int n) {
                const QByteArray reply = request == 'Z' ? QByteArray("kg\r\n") : ScaleOnPty::crFrame(n);
                return mute ? QList<ScaleOnPty::Piece>() : QList<ScaleOnPty::Piece>{{0, reply}};
            });
        newWindow();
    }
    // One scale of the kind, answering as the simulator does, under a new main window.
    ScaleSimulator *startSimulated(ScaleProtocol::Type type = ScaleProtocol::BuiltIn)
    {
        scales = std::make_unique<ScaleOnPty>();
        ScaleSimulator *scale = scales->add(type);
        newWindow();
        return scale;
    }
    // The main window of a new run of the program, in place of any before it.
    void newWindow(QTranslator *program = nullptr, QTranslator *toolkit = nullptr)
    {
        delete window;
        (window = new MdiWindow(program, toolkit))->show();
        scaner()->setPortEnumerator(std::make_unique<SystemPortEnumerator>(QFileInfo(port(0)).path()));
    }
    QString port(int i) const { return scales->port(i); }
    Scaner *scaner() const { return window->findChild<Scaner *>(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }
    QMdiArea *workspace() const { return window->findChild<QMdiArea *>(); }
    QStringList offered() const { return entries(scaner()).filter(QStringLiteral("ttySIM")); }
    DocumentWindow *document(const QString &portName) const // once it is in the workspace
    {
        for (QMdiSubWindow *frame : workspace()->subWindowList())
            if (frame->windowTitle() == portName)
                return qobject_cast<DocumentWindow *>(frame->widget());
        return nullptr;
    }
    // As the operator chooses a port: opens the drop-down and clicks the entry.
    void choose(const QString &portName)
    {
        scaner()->showPopup();
        QAbstractItemView *list = scaner()->view();
        const QModelIndex entry = list->model()->index(scaner()->findText(portName), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
    }
    DocumentWindow *open(const QString &portName)
    {
        DialogScript refuse; // a question here fails the test instead of hanging it
        choose(portName);
        return QTest::qWaitFor([&] { return document(portName); }, 3000) ? document(portName) : nullptr;
    }
    std::unique_ptr<ScaleOnPty> scales;
    MdiWindow *window = nullptr;
};
