#include "LinkThread.h"

#include "IODeviceNew.h"

LinkThread::LinkThread(const QString &portName, QObject *parent)
    : LinkThread(portName, ScaleSetup {ScaleProtocol::BuiltIn, IODeviceNew::scaleSettings()}, parent)
{
}

LinkThread::LinkThread(const QString &portName, const ScaleSetup &scale, QObject *parent)
    : QThread(parent)
    , port(portName)
    , setup(scale)
{
}

LinkThread::~LinkThread()
{
    quit();
    wait();
    ended.load(std::memory_order_acquire);
}

void LinkThread::run()
{
    {
        IODeviceNew device(port, setup, SerialPort::Polling);
        QObject anchor; // lives on this thread: a target for inLink()
        connect(&device, &IODeviceNew::newSample, this, &LinkThread::newSample);
        connect(&device, &IODeviceNew::deleteNowSignal, this, &LinkThread::deleteNowSignal);
        connect(&device, &IODeviceNew::noReading, this, &LinkThread::noReading);
        connect(&device, &IODeviceNew::readingStable, this, &LinkThread::readingStable);
        connect(this, &LinkThread::setRefreshRateSignal, &device, &IODeviceNew::setRefreshRate);
        // closePort() is private to the link; it is reached by its name, as a
        // queued slot call.
        connect(this, SIGNAL(closeSignal()), &device, SLOT(closePort()));
        link.storeRelease(&device);
        worker.storeRelease(&anchor);
        const bool opened = device.open(IODeviceNew::portOpenMode);
        // Handed to this object's own thread like every other signal: a spy or a
        // direct receiver there must not be reached from the worker.
        QMetaObject::invokeMethod(this, [this, opened] { emit linkReady(opened); },
                                  Qt::QueuedConnection);
        exec();
        worker.storeRelease(nullptr);
        link.storeRelease(nullptr);
    }
    // The link and the anchor read this object as they go (their connections
    // to it). The caller's wait() orders that before this object goes, but
    // inside Qt, out of a race detector's sight: ended says it where it sees.
    ended.store(true, std::memory_order_release);
}
