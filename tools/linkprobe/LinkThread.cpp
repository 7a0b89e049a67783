#include "LinkThread.h"

#include "IODeviceNew.h"

LinkThread::LinkThread(const QString &portName, QObject *parent)
    : QThread(parent)
    , port(portName)
{
}

LinkThread::~LinkThread()
{
    quit();
    wait();
}

void LinkThread::run()
{
    IODeviceNew device(port, IODeviceNew::scaleSettings(), SerialPort::Polling);
    QObject anchor; // lives on this thread: a target for inLink()
    connect(&device, &IODeviceNew::newSample, this, &LinkThread::newSample);
    connect(&device, &IODeviceNew::deleteNowSignal, this, &LinkThread::deleteNowSignal);
    connect(this, &LinkThread::setRefreshRateSignal, &device, &IODeviceNew::setRefreshRate);
    // closePort() is private to the link; it is reached by its name, as a
    // queued slot call.
    connect(this, SIGNAL(closeSignal()), &device, SLOT(closePort()));
    link = &device;
    worker = &anchor;
    const bool opened = device.open(IODeviceNew::portOpenMode);
    emit linkReady(opened);
    exec();
    worker = nullptr;
    link = nullptr;
}
