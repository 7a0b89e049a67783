#include "IODeviceNew.h"

#include "LinkTrace.h"

#include <QDebug>
#include <QRegularExpression>
#include <QSignalTransition>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cmath>

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
    , sizeAtLastLook(0)
    , replySpoilt(false)
    , windowCause(NoAnswer)
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
        // Whatever waits on the line now answers no request of ours: a reply
        // that came too late, a line end that trailed the last one, a second
        // frame. Left there, it would be read as the answer to this request.
        discardInput();
        qCDebug(linkTrace) << "writeToPort()";
        write(phase == UnitsPhase ? "Z" : "A", 1);
    }
    reply.clear();
    sizeAtLastLook = 0;
    replySpoilt = false;
    emit toReads();
}

namespace {

bool isBlankOrLineEnd(char byte)
{
    return byte == ' ' || byte == '\r' || byte == '\n';
}

bool onlyBlanksAndLineEnds(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), isBlankOrLineEnd);
}

// The reply's text: the bytes before the first NUL.
QByteArray textOf(const QByteArray &reply)
{
    const int nul = reply.indexOf('\0');
    return nul < 0 ? reply : reply.left(nul);
}

bool isEnded(const QByteArray &bytes)
{
    return bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0');
}

} // namespace

IODeviceNew::Verdict IODeviceNew::unitFromReply(const QByteArray &reply, bool quiet,
                                                QString *units)
{
    static const QStringList knownUnits = {QStringLiteral("kg"), QStringLiteral("kg."),
                                           QStringLiteral("szt"), QStringLiteral("g")};
    if (reply.size() < unitReplyMinimum || !(quiet || isEnded(reply)))
        return Incomplete;
    QByteArray text = textOf(reply);
    text.replace(' ', QByteArray()).replace('\r', QByteArray()).replace('\n', QByteArray());
    const QString unit = QString::fromLatin1(text);
    if (!knownUnits.contains(unit))
        return Rejected;
    *units = unit;
    return Accepted;
}

IODeviceNew::Verdict IODeviceNew::valueFromReply(const QByteArray &reply, bool quiet,
                                                 QString *sample)
{
    if (reply.size() < valueFrameSize)
        return Incomplete;
    const QByteArray frame = reply.left(valueFrameSize);
    const QByteArray beyond = reply.mid(valueFrameSize);
    // Digits past the frame: a longer number, a second frame or noise.
    if (!onlyBlanksAndLineEnds(beyond))
        return Rejected;
    if (beyond.isEmpty() && !quiet && !isEnded(frame))
        return Incomplete; // the number may go on in the next byte

    // Line ends may lead the number and follow it, never split it.
    const QByteArray text = textOf(frame);
    int from = 0;
    while (from < text.size() && isBlankOrLineEnd(text.at(from)))
        ++from;
    int to = from;
    while (to < text.size() && text.at(to) != '\r' && text.at(to) != '\n')
        ++to;
    if (!onlyBlanksAndLineEnds(text.mid(to)))
        return Rejected;
    const QString number = QString::fromLatin1(text.mid(from, to - from)).remove(QLatin1Char(' '));
    if (!isNumber(number))
        return Rejected;
    *sample = number;
    return Accepted;
}

bool IODeviceNew::isNumber(const QString &text)
{
    // Strict on purpose: QString::toDouble() alone also takes tabs and other
    // white space, "nan" and "inf".
    static const QRegularExpression scaleNumber(
        QStringLiteral("\\A[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?\\z"));
    if (!scaleNumber.match(text).hasMatch())
        return false;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

QString IODeviceNew::shownReply(const QByteArray &reply)
{
    QString shown;
    for (const char byte : reply) {
        const uchar c = uchar(byte);
        if (c == '\r' || c == '\n')
            continue;
        if (c >= 0x20 && c < 0x7f)
            shown += QLatin1Char(byte);
        else
            shown += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    }
    return shown.trimmed();
}

void IODeviceNew::readFromPort()
{
    if (!isOpen())
        return;
    if (replySpoilt) {
        discardInput();
        return;
    }
    reply += readAll();
    const bool quiet = !reply.isEmpty() && reply.size() == sizeAtLastLook;
    sizeAtLastLook = reply.size();

    if (phase == UnitsPhase) {
        switch (unitFromReply(reply, quiet, &units)) {
        case Incomplete:
            return;
        case Rejected:
            reject(UnitNotAccepted);
            return;
        case Accepted:
            phase = ValuesPhase;
            emit toWait();
            return;
        }
    }

    QString sample;
    switch (valueFromReply(reply, quiet, &sample)) {
    case Incomplete:
        return;
    case Rejected:
        reject(ReplyNotUnderstood);
        return;
    case Accepted:
        emit newSample(sample, units, QStringLiteral("0"));
        emit toWait();
        return;
    }
}

// Drops the reply and stays in readState: the reply time-out resets the
// port and asks again.
void IODeviceNew::reject(NoReadingCause cause)
{
    qCDebug(linkTrace) << "ERROR";
    windowCause = cause;
    windowDetail = shownReply(reply);
    replySpoilt = true;
    discardInput();
}

void IODeviceNew::discardInput()
{
    char bytes[64];
    while (bytesAvailable() > 0 && read(bytes, sizeof bytes) > 0) {
    }
}

void IODeviceNew::timeoutPort()
{
    // Why this window brought no reading, before the reset forgets it.
    NoReadingCause cause = windowCause;
    QString detail = windowDetail;
    if (!isOpen()) {
        cause = openError() == QSerialPort::PermissionError ? PortAccessDenied : PortNotOpen;
        detail = errorString();
    } else if (cause == NoAnswer && !reply.isEmpty()) {
        // Something came, but never a whole reply.
        cause = phase == UnitsPhase ? UnitNotAccepted : ReplyNotUnderstood;
        detail = shownReply(reply);
    }
    windowCause = NoAnswer;
    windowDetail.clear();

    reset();
    flush();
    close();
    QThread::msleep(portResetPause);
    const bool opened = open(portOpenMode);
    qCDebug(linkTrace).noquote() << QStringLiteral("timeout() reset portu: ")
                                        + QLatin1String(opened ? "true" : "false");
    // After a reset the link no longer knows what is on the other end: another
    // scale may have been plugged in, so its unit is learnt again.
    phase = UnitsPhase;

    const int position = timeoutCount % 8;
    ++timeoutCount;
    emit noReading(cause, detail);
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
