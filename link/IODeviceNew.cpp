#include "IODeviceNew.h"

#include <QDebug>

#include "LinkTrace.h"
#include <QSignalTransition>
#include <QStringList>
#include <QThread>

namespace {

const int pollInterval = 50;
const int replyWindow = 1000;
const int portResetPause = 100;

// Time already spent on the line and in the worker between an accepted reply
// and the next request; taken off the operator's period so that requests
// follow each other at about the period itself.
const int cycleOverhead = 71;

int waitFor(int periodMs)
{
    return periodMs > 70 ? periodMs - cycleOverhead : 0;
}

} // namespace

IODeviceNew::IODeviceNew(const QString &name, const PortSettings &settings, QueryMode mode,
                         QObject *parent)
    : SerialPort(name, settings, mode, parent)
    , requestState(new QState)
    , readState(new QState)
    , waitState(new QState)
    , pollTimer(new QTimer(readState))
    , replyTimer(new QTimer(requestState))
    , periodTimer(new QTimer(waitState))
    , refreshRate(200)
    , phase(UnitsPhase)
    , timeoutCount(0)
{
    qCDebug(linkTrace) << "MACHINE";

    pollTimer->setSingleShot(true);
    pollTimer->setInterval(pollInterval);
    replyTimer->setSingleShot(true);
    replyTimer->setInterval(replyWindow);
    periodTimer->setSingleShot(true);
    periodTimer->setInterval(waitFor(refreshRate));
    for (QTimer *timer : {pollTimer, replyTimer, periodTimer})
        timer->setTimerType(Qt::PreciseTimer);

    machine.addState(requestState);
    machine.addState(readState);
    machine.addState(waitState);
    machine.setInitialState(requestState);

    connect(requestState, &QState::entered, this, &IODeviceNew::writeToPort);
    connect(requestState, &QState::exited, replyTimer, QOverload<>::of(&QTimer::start));
    // A reply is looked for at once, then the poll is armed; a reply accepted
    // right here leaves pollTimer running into waitState, where it is harmless.
    connect(readState, &QState::entered, this, &IODeviceNew::readFromPort);
    connect(readState, &QState::entered, pollTimer, QOverload<>::of(&QTimer::start));
    connect(waitState, &QState::entered, periodTimer, QOverload<>::of(&QTimer::start));

    connect(this, &IODeviceNew::toWait, replyTimer, &QTimer::stop);
    connect(this, &IODeviceNew::toWait, pollTimer, &QTimer::stop);
    // Made before the machine watches the time-out, so the port is reset
    // before the request is repeated on it.
    connect(replyTimer, &QTimer::timeout, this, &IODeviceNew::timeoutPort);

    requestState->addTransition(this, &IODeviceNew::toReads, readState);
    readState->addTransition(pollTimer, &QTimer::timeout, readState);
    readState->addTransition(replyTimer, &QTimer::timeout, requestState);
    readState->addTransition(this, &IODeviceNew::toWait, waitState);
    waitState->addTransition(periodTimer, &QTimer::timeout, requestState);

    machine.start();
}

IODeviceNew::~IODeviceNew()
{
    qCDebug(linkTrace) << "D: IODeviceNew";
    machine.stop();
}

PortSettings IODeviceNew::scaleSettings()
{
    return PortSettings();
}

QString IODeviceNew::placeholder(int timeoutCount)
{
    return QStringLiteral("-------").insert(timeoutCount % 8, QLatin1Char(' '));
}

void IODeviceNew::setRefreshRate(int periodMs)
{
    refreshRate = periodMs;
    // Changing the interval of a running timer restarts it at once.
    periodTimer->setInterval(waitFor(periodMs));
}

void IODeviceNew::writeToPort()
{
    if (isOpen()) {
        qCDebug(linkTrace) << "writeToPort()";
        write(phase == UnitsPhase ? "Z" : "A", 1);
    }
    emit toReads();
}

// Latin-1 text up to the first NUL, without blanks and line ends.
QString IODeviceNew::stripReply(const QByteArray &raw)
{
    const int nul = raw.indexOf('\0');
    QString text = QString::fromLatin1(nul < 0 ? raw : raw.left(nul));
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\r'));
    return text;
}

bool IODeviceNew::unitFromReply(const QByteArray &raw, QString *units)
{
    static const QStringList knownUnits = {QStringLiteral("kg"), QStringLiteral("kg."),
                                           QStringLiteral("szt"), QStringLiteral("g")};
    const QString text = stripReply(raw);
    if (!knownUnits.contains(text))
        return false;
    *units = text;
    return true;
}

bool IODeviceNew::valueFromFrame(const QByteArray &frame, QString *sample)
{
    const QString text = stripReply(frame);
    bool ok = false;
    text.toDouble(&ok);
    if (!ok)
        return false;
    *sample = text;
    return true;
}

void IODeviceNew::readFromPort()
{
    if (!isOpen())
        return;

    if (phase == UnitsPhase) {
        if (bytesAvailable() < unitReplyMinimum)
            return;
        if (!unitFromReply(readAll(), &units)) {
            reject();
            return;
        }
        phase = ValuesPhase;
        emit toWait();
        return;
    }

    if (bytesAvailable() < valueFrameSize)
        return;
    // Bytes past the frame stay pending: they begin the next one.
    QString sample;
    if (!valueFromFrame(read(valueFrameSize), &sample)) {
        reject();
        return;
    }
    emit newSample(sample, units, QStringLiteral("0"));
    emit toWait();
}

// Drops everything pending and stays in readState: the reply time-out resets
// the port and asks again.
void IODeviceNew::reject()
{
    qCDebug(linkTrace) << "ERROR";
    char byte;
    while (bytesAvailable() > 0 && read(&byte, 1) == 1) {
    }
}

void IODeviceNew::timeoutPort()
{
    reset();
    flush();
    close();
    QThread::msleep(portResetPause);
    const bool opened = open(portOpenMode);
    qCDebug(linkTrace).noquote() << QStringLiteral("timeout() reset portu: ")
                              + QLatin1String(opened ? "true" : "false");

    const int position = timeoutCount % 8;
    ++timeoutCount;
    emit newSample(placeholder(position), QStringLiteral("--"), QStringLiteral("0"));
}

void IODeviceNew::closePort()
{
    qCDebug(linkTrace) << "closePort";
    // The machine is stopped too, so that no reply time-out reopens the port
    // while the device is being taken down.
    machine.stop();
    pollTimer->stop();
    replyTimer->stop();
    periodTimer->stop();
    close();
    emit deleteNowSignal();
}
