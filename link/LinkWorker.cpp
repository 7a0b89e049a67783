#include "LinkWorker.h"

#include "IODeviceNew.h"

LinkWorker::LinkWorker(const QString &portName, const ScaleSetup &setup, int periodMs, QObject *parent)
    : QObject(parent)
    , port(portName)
    , scaleSetup(setup)
    , period(periodMs)
{
}

// Empty when finish() has run on the link's thread, or when start() never did.
LinkWorker::~LinkWorker() = default;

void LinkWorker::start()
{
    makeLink();
    emit started(device->isOpen());
}

void LinkWorker::makeLink()
{
    device = std::make_unique<IODeviceNew>(port, scaleSetup, SerialPort::Polling);
    IODeviceNew *link = device.get();
    connect(link, &IODeviceNew::newSample, this, &LinkWorker::newSample);
    connect(link, &IODeviceNew::noReading, this, &LinkWorker::noReading);
    connect(link, &IODeviceNew::readingStable, this, &LinkWorker::readingStable);
    connect(link, &IODeviceNew::commandAnswered, this, &LinkWorker::commandAnswered);
    connect(link, &IODeviceNew::deleteNowSignal, this, &LinkWorker::deleteNowSignal);
    followLineWatch();
    link->setRefreshRate(period);
    link->open(IODeviceNew::portOpenMode);
}

void LinkWorker::setRefreshRate(int periodMs)
{
    period = periodMs;
    if (device)
        device->setRefreshRate(periodMs);
}

void LinkWorker::sendCommand(int command)
{
    if (device)
        device->sendCommand(command);
}

void LinkWorker::reopen(const ScaleSetup &setup)
{
    scaleSetup = setup;
    if (!device)
        return;
    // Its last readings, already on their way, are still shown.
    disconnect(device.get(), nullptr, this, nullptr);
    device->closePort();
    makeLink();
}

void LinkWorker::close()
{
    if (device)
        device->closePort();
}

void LinkWorker::watchLine(bool on)
{
    lineWatchers += on ? 1 : -1;
    followLineWatch();
}

void LinkWorker::followLineWatch()
{
    if (!device)
        return;
    // While no one watches, the link is not connected and builds nothing.
    if (lineWatchers > 0)
        connect(device.get(), &IODeviceNew::lineTraffic, this, &LinkWorker::lineTraffic, Qt::UniqueConnection);
    else
        disconnect(device.get(), &IODeviceNew::lineTraffic, this, &LinkWorker::lineTraffic);
}

void LinkWorker::finish()
{
    device.reset();
}
