#include "ShiftRestorer.h"

#include "DeviceTask.h"
#include "MdiWindow.h"
#include "SaveSamples.h"
#include "ScaleList.h"
#include "Scaner.h"
#include "SerialPort.h"
#include "ShiftStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

const QString portKey = QStringLiteral("port");

QString resumeRecording(DeviceTask *task, bool on)
{
    SaveSamples *recorder = task->recorder();
    if (!on)
        return QString();
    // A record torn at the file's end is the recorder's to take off, and to tell.
    if (!recorder->open())
        return ShiftRestorer::tr("The window of %1 is open again, but recording stays off: "
                                 "the file\n%2\ncould not be opened (%3).")
            .arg(task->port(), QDir::toNativeSeparators(recorder->fileName()), recorder->openFailure());
    task->setRecording(true);
    return QString();
}

// What a window keeps, in the order it is put back: a new field is one more
// line here. apply() says what could not be done.
struct WindowField
{
    const char *key;
    QVariant (*read)(const DeviceTask *task);
    QString (*apply)(DeviceTask *task, const QVariant &value);
};
const WindowField windowFields[] = {
    {"recordFile", [](const DeviceTask *t) -> QVariant { return t->recorder()->fileName(); },
     [](DeviceTask *t, const QVariant &v) { t->recorder()->setFileName(v.toString()); return QString(); }},
    {"interval", [](const DeviceTask *t) -> QVariant { return t->refreshRate(); },
     [](DeviceTask *t, const QVariant &v) { t->setRefreshRate(qBound(200, v.toInt(), 60000)); return QString(); }},
    {"going", [](const DeviceTask *t) -> QVariant { return !t->isPaused(); },
     [](DeviceTask *t, const QVariant &v) { v.toBool() ? t->go() : t->pause(); return QString(); }},
    {"recording", [](const DeviceTask *t) -> QVariant { return t->isRecording(); },
     [](DeviceTask *t, const QVariant &v) { return resumeRecording(t, v.toBool()); }},
    {"lot", [](const DeviceTask *t) -> QVariant { return t->lot(); },
     [](DeviceTask *t, const QVariant &v) { t->setLot(v.toString()); return QString(); }},
};

// Why a port of the saved shift is not opened again.
QString whyGone(const QString &port)
{
    if (SerialPort::isNetworkName(port))
        return ShiftRestorer::tr("not a network address of the form tcp://host:port");
    const QString device = port.startsWith(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
    return QFileInfo::exists(device) ? ShiftRestorer::tr("not offered as a serial port any more")
                                     : ShiftRestorer::tr("not connected (the system has no such port)");
}

} // namespace

ShiftRestorer::ShiftRestorer(ShiftStore *store, QMainWindow *window)
    : QObject(window)
    , store(store)
    , window(window)
{
    resumeAtOnceAct = new QAction(this);
    resumeAtOnceAct->setObjectName(QStringLiteral("resumeAtOnceAct"));
    resumeAtOnceAct->setCheckable(true);
    resumeAtOnceAct->setChecked(store->resumesAtOnce());
    connect(resumeAtOnceAct, &QAction::toggled, store, &ShiftStore::setResumesAtOnce);
    connect(store, &ShiftStore::saveFailed, this, [this](const QString &fileName, const QString &reason) {
        tell(tr("The shift could not be saved in\n%1\n(%2).\nIt is kept until the program ends; should "
                "the program end now, the next start cannot reopen the ports as they are.")
                 .arg(QDir::toNativeSeparators(fileName), reason));
    });
    retranslate();
}

// The texts are the main window's, which says them before any shift is kept.
void ShiftRestorer::tellKeptElsewhere(QWidget *window)
{
    const QString text = QCoreApplication::translate(
        "MdiWindow", "Another copy of this program is running and keeps the shift.\n"
                     "This one opens no port of the last shift, and the ports opened "
                     "in it are not kept for the next start.");
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QTimer::singleShot(0, window, [window, text] {
        auto *box = new QMessageBox(QMessageBox::Information, QCoreApplication::translate("MdiWindow", "Shift"),
                                    text, QMessageBox::Ok, window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}

void ShiftRestorer::retranslate()
{
    resumeAtOnceAct->setText(tr("Reopen the last ports at start without asking"));
    resumeAtOnceAct->setStatusTip(tr("At start, open the ports that were open when the program "
                                     "last ended, as they were, without asking first"));
}

QString ShiftRestorer::language() const
{
    return store->language();
}

bool ShiftRestorer::showsStatistics() const
{
    return store->showsStatistics();
}

void ShiftRestorer::resume(const QStringList &present,
                           const std::function<void(const QString &)> &open)
{
    QStringList gone;
    QStringList ports;
    const QList<QVariantMap> saved = store->windows();
    for (QVariantMap fields : saved) {
        QString port = fields.value(portKey).toString();
        // A network port is opened as typed, in the one spelling the drop-down
        // gives an address; whether its converter answers is for the window to
        // find out and say, as at any open.
        const bool network = SerialPort::isNetworkName(port);
        const QString address = network ? Scaner::networkPortName(port) : QString();
        if (!address.isEmpty())
            fields.insert(portKey, port = address);
        if (port.isEmpty() || ports.contains(port) || ports.size() == ScaleList::mostScales)
            continue;
        if (network ? address.isEmpty() : !present.contains(port)) {
            gone << tr("%1: %2").arg(port, whyGone(port));
            continue;
        }
        ports << port;
        entries << Entry{port, nullptr, fields};
    }
    if (!entries.isEmpty() && !store->resumesAtOnce()) {
        // The port names are shown as stored, as plain text.
        QMessageBox question(QMessageBox::Question, tr("Resume the shift"),
                             tr("These ports were open when the program last ended:\n%1\n"
                                "Open them again as they were (kind of scale, interval, record file, Go and "
                                "Record)?")
                                 .arg(ports.join(QLatin1Char('\n'))),
                             QMessageBox::Yes | QMessageBox::No, window);
        question.setDefaultButton(QMessageBox::Yes);
        question.setTextFormat(Qt::PlainText);
        if (question.exec() != QMessageBox::Yes) {
            startEmpty();
            return;
        }
    }
    save();
    if (!gone.isEmpty())
        tell(tr("These ports of the last shift were not opened again and are dropped from it:\n%1")
                 .arg(gone.join(QLatin1Char('\n'))));
    for (const QString &port : qAsConst(ports))
        open(port);
}

void ShiftRestorer::startEmpty()
{
    entries.clear();
    save();
}

void ShiftRestorer::begin(bool resumed, const std::function<QStringList()> &present,
                          const std::function<void(const QString &)> &open)
{
    if (!resumed) {
        startEmpty();
        return;
    }
    QTimer::singleShot(0, this, [this, present, open] { resume(present(), open); });
}

bool ShiftRestorer::restoreLayout()
{
    if (!window->restoreGeometry(store->windowGeometry()))
        return false;
    window->restoreState(store->toolBarState());
    return true;
}

void ShiftRestorer::keepLayout()
{
    store->setWindowLayout(window->saveGeometry(), window->saveState());
}

void ShiftRestorer::follow(const MdiWindow *mainWindow, const ScaleList *scales)
{
    connect(scales, &ScaleList::added, this, &ShiftRestorer::windowOpened);
    connect(scales, &ScaleList::removed, this, &ShiftRestorer::windowClosed);
    connect(scales, &ScaleList::changed, this, &ShiftRestorer::windowsChanged);
    connect(mainWindow, &MdiWindow::languageChosen, this, &ShiftRestorer::languageChosen);
    connect(mainWindow, &MdiWindow::showStatisticsSig, this, [this](bool on) {
        if (!stopped)
            store->setShowsStatistics(on);
    });
}

void ShiftRestorer::windowOpened(DeviceTask *task)
{
    QStringList problems;
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [task](const Entry &e) { return !e.task && e.port == task->port(); });
    if (entry == entries.end()) {
        entries << Entry{task->port(), task, QVariantMap()};
    } else {
        for (const WindowField &field : windowFields) {
            const QString problem = field.apply(task, entry->saved.value(QLatin1String(field.key)));
            if (!problem.isEmpty())
                problems << problem;
        }
        entry->task = task;
    }
    save();
    if (!problems.isEmpty())
        tell(problems.join(QLatin1Char('\n')));
}

void ShiftRestorer::windowClosed(const QString &port)
{
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&port](const Entry &e) { return e.port == port; }),
                  entries.end());
    save();
}

void ShiftRestorer::windowsChanged()
{
    save();
}

void ShiftRestorer::languageChosen(const QString &key)
{
    if (!stopped)
        store->setLanguage(key);
}

QVariantMap ShiftRestorer::fieldsOf(const DeviceTask *task)
{
    QVariantMap fields{{portKey, task->port()}};
    for (const WindowField &field : windowFields)
        fields.insert(QLatin1String(field.key), field.read(task));
    return fields;
}

void ShiftRestorer::save()
{
    if (stopped)
        return;
    QList<QVariantMap> windows;
    // A window not yet running keeps what was saved for it.
    for (const Entry &entry : qAsConst(entries)) {
        if (entry.task && entry.task->recorder())
            windows << fieldsOf(entry.task);
        else if (!entry.saved.isEmpty())
            windows << entry.saved;
    }
    store->setWindows(windows);
}

// Not exec(): a notice must not hold up the windows being opened.
void ShiftRestorer::tell(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Shift"), text, QMessageBox::Ok,
                                window);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
