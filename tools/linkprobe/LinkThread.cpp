#include "LinkThread.h"

#include "IODeviceNew.h"

LinkThread::LinkThread(const QString &portName, QObject *parent)
    : LinkThread(portName, ScaleSetup {ScaleProtocol::BuiltIn, IODeviceNew::scaleSettings()}, parent)
{
}

LinkThread::LinkThread(const QString &portName, const ScaleSetup &scale, QObject *parent)
    : QObject(parent)
    , linkWorker(portName, scale, 200)
{
    linkWorker.moveToThread(&thread);
    connect(&thread, &QThread::started, &linkWorker, &LinkWorker::start);
    connect(&linkWorker, &LinkWorker::started, this, &LinkThread::linkReady);
    connect(&linkWorker, &LinkWorker::newSample, this, &LinkThread::newSample);
    connect(&linkWorker, &LinkWorker::deleteNowSignal, this, &LinkThread::deleteNowSignal);
    connect(&linkWorker, &LinkWorker::noReading, this, &LinkThread::noReading);
    connect(&linkWorker, &LinkWorker::readingStable, this, &LinkThread::readingStable);
    connect(this, &LinkThread::setRefreshRateSignal, &linkWorker, &LinkWorker::setRefreshRate);
    connect(this, &LinkThread::closeSignal, &linkWorker, &LinkWorker::close);
    // The link goes on its own thread, the last thing the thread does.
    connect(&thread, &QThread::finished, &linkWorker, [this] {
        linkWorker.finish();
        ended.store(true, std::memory_order_release);
    }, Qt::DirectConnection);
}

LinkThread::~LinkThread()
{
    thread.quit();
    thread.wait();
    ended.load(std::memory_order_acquire);
}
