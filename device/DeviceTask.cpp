#include "DeviceTask.h"

#include <QCoreApplication>
#include <QVBoxLayout>

#include <qwt_scale_draw.h>

#include "IODeviceNew.h"
#include "RandomPlot.h"
#include "ReadoutPanel.h"
#include "SaveSamples.h"
#include "SerialPort.h"

DeviceTask::DeviceTask(const QString &portName, QWidget *window, QObject *parent,
                       const ScaleSetup &setup)
    : QThread(parent)
    , sampleRecorder(nullptr)
    , session(new ScaleSession(this))
    , portName(portName)
    , scaleSetup(setup)
    , firstSetup(setup)
    , link(nullptr)
    , rate(defaultRefreshRate)
{
    connect(session, &ScaleSession::scaleNameChanged, this, &DeviceTask::scaleNameChanged);
    connect(session, &ScaleSession::taken, this, &DeviceTask::readingTaken);
    // Made on the worker thread and handed over before the window hears
    // that the task has started.
    connect(this, &DeviceTask::deviceTaskStarted, session, [this] {
        if (!session->recorder())
            session->setRecorder(recorder());
    });

    plot = new RandomPlot(window);
    // Translated once: a window keeps the tip of the language it opened in.
    plot->setToolTip(tr("How to use graph:\nclick left & move - zoom in specific area\n"
                        "click center - zoom out one level\nclick right - zoom out completely"));
    connect(session, &ScaleSession::plotted, plot, &RandomPlot::appendMyPoint);
    panel = new ReadoutPanel(session, plot, window);
    (new QVBoxLayout(window))->addWidget(panel);
    showSetup();
    showPrintKeyWait();
}

void DeviceTask::showPrintKeyWait()
{
    panel->showPrintKeyWait();
}

DeviceTask::~DeviceTask()
{
    emit deviceCloseSignal();
    quit();
    wait();
    ended.load(std::memory_order_acquire);
    delete recorder();
}

IODeviceNew *DeviceTask::makeLink(const ScaleSetup &setup, int periodMs)
{
    auto *link = new IODeviceNew(portName, setup, SerialPort::Polling);
    connect(link, &IODeviceNew::newSample, this, &DeviceTask::getSample);
    connect(this, SIGNAL(deviceCloseSignal()), link, SLOT(closePort()));
    connect(link, &IODeviceNew::deleteNowSignal, this, &DeviceTask::deleteNow);
    connect(link, &IODeviceNew::noReading, this, &DeviceTask::showNoReading);
    connect(link, &IODeviceNew::readingStable, this, &DeviceTask::setStable);
    connect(this, &DeviceTask::setRefreshRateSignal, link, &IODeviceNew::setRefreshRate);
    connect(this, &DeviceTask::commandSignal, link, &IODeviceNew::sendCommand);
    connect(link, &IODeviceNew::commandAnswered, this, &DeviceTask::showCommandAnswer);
    followLineWatch(link);
    link->setRefreshRate(periodMs);
    // The period is the GUI thread's: it sends it once more from there, so
    // that one set while this link was being made, and told to none, or to
    // the link this one replaces, reaches it too.
    QMetaObject::invokeMethod(this, [this] { emit setRefreshRateSignal(rate); });
    link->open(IODeviceNew::portOpenMode);
    return link;
}

void DeviceTask::reopen(const ScaleSetup &setup)
{
    // Posted to the worker thread's own object, not to the link: a link that
    // an earlier reopen has just replaced may be deleted before the call
    // runs, and the call would go with it.
    QObject *home = workerHome;
    if (!home)
        return;
    scaleSetup = setup;
    showSetup();
    showPrintKeyWait();
    // On the worker thread, where the link and its timers live. The link in
    // use then stops and gives the port back before the new one opens it;
    // its last readings, already on their way, are still shown.
    QMetaObject::invokeMethod(home, [this, setup, periodMs = rate] {
        IODeviceNew *old = link.loadAcquire();
        disconnect(old, nullptr, this, nullptr);
        disconnect(this, nullptr, old, nullptr);
        QMetaObject::invokeMethod(old, "closePort", Qt::DirectConnection);
        old->deleteLater();
        link.storeRelease(makeLink(setup, periodMs));
    });
}

void DeviceTask::run()
{
    QObject home;
    workerHome = &home;
    // Not scaleSetup nor rate: the GUI thread may change them meanwhile, and
    // the changes come here as posted calls.
    link.storeRelease(makeLink(firstSetup, defaultRefreshRate));

    auto *recorder = new SaveSamples;
    // The recorder emits on the GUI thread, where this object lives: these
    // calls are direct, inside the addRecord() that tells.
    connect(recorder, &SaveSamples::writeFailed, this, &DeviceTask::recordingFailed);
    connect(recorder, &SaveSamples::writeRecovered, this, &DeviceTask::recordingRecovered);
    connect(recorder, &SaveSamples::fileRecreated, this, &DeviceTask::recordingFileRecreated);
    // Used only from the GUI thread from here on, where the main window gives
    // it its file; the format set meanwhile is handed over there too.
    recorder->moveToThread(QCoreApplication::instance()->thread());
    QMetaObject::invokeMethod(recorder, [this, recorder] { recorder->setFormat(format); });
    sampleRecorder.storeRelease(recorder);

    emit deviceTaskStarted();
    exec();
    workerHome = nullptr;
    // The link belongs to this thread: it goes with the thread's event loop,
    // after it has closed its port or when the program ends.
    delete link.fetchAndStoreAcquire(nullptr);
    // The link read this object as it went (its connections to it); the GUI
    // thread's wait() orders that before this object goes, but inside Qt, out
    // of a race detector's sight: ended says it where it sees.
    ended.store(true, std::memory_order_release);
}

void DeviceTask::watchLine(bool on)
{
    lineWatchers += on ? 1 : -1;
    // The event loop ends only by the GUI thread's own stop(), so a home
    // seen here outlives the call.
    if (QObject *home = workerHome)
        QMetaObject::invokeMethod(home, [this] { followLineWatch(link.loadAcquire()); });
}

void DeviceTask::followLineWatch(IODeviceNew *current)
{
    if (!current)
        return;
    if (lineWatchers > 0)
        connect(current, &IODeviceNew::lineTraffic, this, &DeviceTask::lineTraffic,
                Qt::UniqueConnection);
    else
        disconnect(current, &IODeviceNew::lineTraffic, this, &DeviceTask::lineTraffic);
}

void DeviceTask::showSetup()
{
    // The kind says whether its replies mark a weight stable.
    session->setScaleType(scaleSetup.type);
    panel->showSetup(scaleSetup, portName);
}

void DeviceTask::setRecordFormat(RecordFormat::Kind kind)
{
    format = kind;
    if (recorder())
        recorder()->setFormat(kind);
}

void DeviceTask::resetStatistics()
{
    session->resetStatistics();
}

void DeviceTask::setRefreshRate(int ms)
{
    rate = ms;
    emit setRefreshRateSignal(ms);
}

void DeviceTask::showLCD(bool visible)
{
    if (isRunning())
        panel->showReadout(visible);
}

void DeviceTask::showGraph(bool visible)
{
    if (isRunning())
        plot->setVisible(visible);
}

void DeviceTask::showStatistics(bool visible)
{
    panel->showStatistics(visible);
}

void DeviceTask::deviceClose()
{
    emit deviceCloseSignal();
}

void DeviceTask::deleteNow()
{
    emit deleteNowSignal();
}

QString DeviceTask::commandUnavailable(ScaleProtocol::Command command) const
{
    return ReadingTexts::commandUnavailable(scaleSetup, command);
}

void DeviceTask::showCommandAnswer(int command, bool done, const QString &answer)
{
    panel->showCommandAnswer(command, done, answer);
}

void DeviceTask::setStable(bool isStable)
{
    session->setStable(isStable);
}

void DeviceTask::retranslate()
{
    panel->retranslate();
    // Its numbers in the program's number locale, now the default one.
    // Setting a draw's division again forgets the labels it has written.
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis) {
        QwtScaleDraw *draw = plot->axisScaleDraw(axis);
        draw->setScaleDiv(draw->scaleDiv());
    }
    plot->updateAxes();
    plot->replot();
}

void DeviceTask::showNoReading(int cause, const QString &detail)
{
    panel->showNoReading(cause, detail);
}

void DeviceTask::getSample(QString sample, QString units, QString dzialki, QDateTime taken)
{
    Q_UNUSED(dzialki);
    session->take(sample, units, taken);
}
