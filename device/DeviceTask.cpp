#include "DeviceTask.h"

#include <QVBoxLayout>

#include <qwt_scale_draw.h>

#include "IODeviceNew.h"
#include "LinkWorker.h"
#include "RandomPlot.h"
#include "ReadoutPanel.h"
#include "SaveSamples.h"
#include "SerialPort.h"

DeviceTask::DeviceTask(const QString &portName, QWidget *window, QObject *parent,
                       const ScaleSetup &setup)
    : QThread(parent)
    , session(new ScaleSession(this))
    , portName(portName)
    , scaleSetup(setup)
    , worker(new LinkWorker(portName, setup, defaultRefreshRate))
    , rate(defaultRefreshRate)
{
    connect(session, &ScaleSession::scaleNameChanged, this, &DeviceTask::scaleNameChanged);
    connect(session, &ScaleSession::taken, this, &DeviceTask::readingTaken);
    // The GUI thread's, like every file the main window gives it. It emits
    // on this thread: these calls are direct, inside the addRecord() that tells.
    auto *recorder = new SaveSamples;
    connect(recorder, &SaveSamples::writeFailed, this, &DeviceTask::recordingFailed);
    connect(recorder, &SaveSamples::writeRecovered, this, &DeviceTask::recordingRecovered);
    connect(recorder, &SaveSamples::fileRecreated, this, &DeviceTask::recordingFileRecreated);
    session->setRecorder(recorder);

    plot = new RandomPlot(window);
    // Translated once: a window keeps the tip of the language it opened in.
    plot->setToolTip(tr("How to use graph:\nclick left & move - zoom in specific area\n"
                        "click center - zoom out one level\nclick right - zoom out completely"));
    connect(session, &ScaleSession::plotted, plot, &RandomPlot::appendMyPoint);
    panel = new ReadoutPanel(session, plot, window);
    (new QVBoxLayout(window))->addWidget(panel);
    showSetup();
    showPrintKeyWait();

    // Requests are queued to the worker's thread, in the order they are made,
    // and wait there for its event loop if they come before it runs.
    worker->moveToThread(this);
    connect(worker, &LinkWorker::newSample, this, &DeviceTask::getSample);
    connect(worker, &LinkWorker::deleteNowSignal, this, &DeviceTask::deleteNow);
    connect(worker, &LinkWorker::noReading, this, &DeviceTask::showNoReading);
    connect(worker, &LinkWorker::readingStable, this, &DeviceTask::setStable);
    connect(worker, &LinkWorker::commandAnswered, this, &DeviceTask::showCommandAnswer);
    connect(worker, &LinkWorker::lineTraffic, this, &DeviceTask::lineTraffic);
    connect(this, &DeviceTask::deviceCloseSignal, worker, &LinkWorker::close);
    connect(this, &DeviceTask::setRefreshRateSignal, worker, &LinkWorker::setRefreshRate);
    connect(this, &DeviceTask::commandSignal, worker, &LinkWorker::sendCommand);
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
    // Its thread has ended: nothing runs on it any more.
    delete worker;
}

void DeviceTask::reopen(const ScaleSetup &setup)
{
    if (!isRunning())
        return;
    scaleSetup = setup;
    showSetup();
    showPrintKeyWait();
    // On the worker thread, where the link and its timers live, after any
    // request made before this one.
    QMetaObject::invokeMethod(worker, [w = worker, setup] { w->reopen(setup); });
}

void DeviceTask::run()
{
    worker->start();
    emit deviceTaskStarted();
    exec();
    // The link belongs to this thread: it goes with the thread's event loop,
    // after it has closed its port or when the program ends.
    worker->finish();
    // The link read this object as it went (its connections to it); the GUI
    // thread's wait() orders that before this object goes, but inside Qt, out
    // of a race detector's sight: ended says it where it sees.
    ended.store(true, std::memory_order_release);
}

void DeviceTask::watchLine(bool on)
{
    QMetaObject::invokeMethod(worker, [w = worker, on] { w->watchLine(on); });
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
