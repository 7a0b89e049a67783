#ifndef APPTESTSUPPORT_H
#define APPTESTSUPPORT_H

#include <QtTest>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTranslator>

#include <memory>

#include "DeviceTask.h"
#include "DialogScript.h"
#include "DocumentWindow.h"
#include "MdiWindow.h"
#include "PortEnumerator.h"
#include "ScaleSimulator.h"
#include "Scaner.h"

// How many of this process's file descriptors are open on the file or terminal.
inline int openDescriptorsOn(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath(); // gone: as it was named
    const QString target = canonical.isEmpty() ? path : canonical;
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == target)
            ++count;
    return count;
}

inline int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

// The ports a test makes up, in place of the system's.
class FixedPorts : public PortEnumerator
{
public:
    explicit FixedPorts(const QStringList &names) : names(names) {}
    QStringList ports() const override { return names; }

private:
    QStringList names;
};

// A main window over simulated scales on real pseudo-terminals, each port
// opened through the main window as the port selector would.
class DeviceFixture : public QObject
{
    Q_OBJECT

protected slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(scaleacq);
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::installTranslator(&programTranslator);
        QApplication::installTranslator(&toolkitTranslator);
    }

    void cleanup()
    {
        delete window;
        window = nullptr;
        qDeleteAll(scales);
        scales.clear();
    }

protected:
    void startScales(int count)
    {
        QStringList ports;
        for (int i = 0; i < count; ++i) {
            auto *scale = new ScaleSimulator;
            QVERIFY(scale->start(dir.filePath(QStringLiteral("ttySIM%1").arg(i))));
            scales << scale;
            ports << scale->portPath();
        }
        window = new MdiWindow(&programTranslator, &toolkitTranslator);
        window->resize(1200, 800);
        window->show();
        scaner()->setPortEnumerator(std::make_unique<FixedPorts>(ports));
    }

    QString port(int i) const { return scales.at(i)->portPath(); }
    Scaner *scaner() const { return window->findChild<Scaner *>(); }
    QMdiArea *workspace() const { return window->findChild<QMdiArea *>(QStringLiteral("workspace")); }

    // The document windows that have made it into the workspace.
    QList<DocumentWindow *> documents() const
    {
        QList<DocumentWindow *> shown;
        for (QMdiSubWindow *frame : workspace()->subWindowList())
            if (auto *document = qobject_cast<DocumentWindow *>(frame->widget()))
                shown << document;
        return shown;
    }

    DocumentWindow *document(const QString &portName) const
    {
        for (DocumentWindow *shown : documents())
            if (shown->windowTitle() == portName)
                return shown;
        return nullptr;
    }

    // Opens a port as choosing it in the selector does and waits until its
    // window is shown in the workspace.
    DocumentWindow *open(const QString &portName)
    {
        window->deviceNew(portName);
        if (!QTest::qWaitFor([&] { return document(portName) != nullptr; }, 3000))
            return nullptr;
        return document(portName);
    }

    // Exits, discarding when asked, as main() does once its event loop has
    // ended: the tasks, their worker threads and their ends of the ports go.
    void exitAndVerifyNothingIsLeft(const std::function<bool()> &exit,
                                    const QList<QPointer<DeviceTask>> &tasks, int threadsBefore)
    {
        {
            DialogScript script;
            script.then(readMessage(nullptr, QMessageBox::Discard));
            QVERIFY(exit());
        }
        QVERIFY(!window->isVisible());
        delete window;
        window = nullptr;
        for (const QPointer<DeviceTask> &task : tasks)
            QVERIFY(task.isNull());
        for (ScaleSimulator *scale : scales)
            QCOMPARE(openDescriptorsOn(scale->terminalPath()), 1);
        QTRY_COMPARE(threadCount(), threadsBefore);
    }

    // The ports the selector offers right now.
    QStringList offered() const
    {
        scaner()->showPopup();
        QStringList names;
        for (int i = 0; i < scaner()->count(); ++i)
            names << scaner()->itemText(i);
        scaner()->hidePopup();
        return names;
    }

    QTemporaryDir dir;
    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    QList<ScaleSimulator *> scales;
    MdiWindow *window = nullptr;
};

#endif // APPTESTSUPPORT_H
