#include "IODeviceNew.h"

#include "LinkTrace.h"

#include <QDebug>
#include <QMetaMethod>
#include <QStringList>
#include <QThread>

#include <algorithm>

namespace {

const int pollInterval = 50;
const int replyWindow = 1000;
const int portResetPause = 100;

// Time already spent on the line and in the worker between an accepted reply
// and the next request; taken off the operator's period so that requests
// follow each other at about the period itself.
const int cycleOverhead = 71;

// No kind's reply is longer; a longer run of bytes is no reply, or, from a
// scale that sends unasked, holds older lines than the newest.
const int longestReply = 512;
// What the line monitor is told of one look at the line: floods are cut to
// their newest bytes.
const int longestTold = 4096;

int waitFor(int periodMs)
{
    return periodMs > 70 ? periodMs - cycleOverhead : 0;
}

} // namespace

IODeviceNew::IODeviceNew(const QString &name, const PortSettings &settings, QueryMode mode,
                         ScaleProtocol::Type type, QObject *parent)
    : IODeviceNew(name, ScaleSetup {type, settings}, mode, parent)
{
}

IODeviceNew::IODeviceNew(const QString &name, const ScaleSetup &setup, QueryMode mode, QObject *parent)
    : SerialPort(name, setup.line, mode, parent)
    , protocol(ScaleProtocol::create(setup))
    , pollTimer(new QTimer(this))
    , replyTimer(new QTimer(this))
    , periodTimer(new QTimer(this))
    , refreshRate(200)
    , phase(firstPhase())
    , timeoutCount(0)
    , sizeAtLastLook(0)
    , replySpoilt(false)
    , lineStartSeen(false)
    , printKey(setup.printKey && protocol->sendsUnasked())
    , quietIsNoFault(protocol->sendsUnasked()
                     && (setup.printKey || (setup.type == ScaleProtocol::Ascii && setup.ascii.quietWhileSteady)))
    , windowCause(NoAnswer)
{
    // A scale whose replies name no unit: its readings carry the operator's.
    if (protocol->unitRequest().isEmpty())
        units = setup.unit;
    sinceBytes.start();
    qCDebug(linkTrace) << "MACHINE";

    pollTimer->setSingleShot(true);
    pollTimer->setInterval(pollInterval);
    replyTimer->setSingleShot(true);
    replyTimer->setInterval(replyWindow);
    periodTimer->setSingleShot(true);
    for (QTimer *timer : {pollTimer, replyTimer, periodTimer})
        timer->setTimerType(Qt::PreciseTimer);

    connect(pollTimer, &QTimer::timeout, this, [this] {
        if (stage == Reading)
            moveTo(Reading);
    });
    // The port is reset before the request is repeated on it.
    connect(replyTimer, &QTimer::timeout, this, [this] {
        timeoutPort();
        if (stage == Reading)
            moveTo(Requesting);
    });
    connect(periodTimer, &QTimer::timeout, this, [this] {
        if (stage == Waiting)
            moveTo(Requesting);
    });

    // The first request goes out from the event loop, on the port its owner
    // opens meanwhile.
    QMetaObject::invokeMethod(this, [this] {
        if (!closed)
            moveTo(Requesting);
    }, Qt::QueuedConnection);
}

IODeviceNew::~IODeviceNew()
{
    qCDebug(linkTrace) << "D: IODeviceNew";
}

void IODeviceNew::moveTo(Stage next)
{
    nextStage = next;
    if (entering)
        return;
    entering = true;
    while (nextStage != Stopped && !closed) {
        const Stage entered = nextStage;
        nextStage = Stopped;
        enter(entered);
    }
    entering = false;
}

void IODeviceNew::enter(Stage next)
{
    // The reply window opens as the request is left for the reply.
    if (stage == Requesting && next != Requesting)
        replyTimer->start();
    stage = next;
    switch (next) {
    case Requesting:
        writeToPort();
        break;
    case Reading:
        // The next look is armed, then the line looked at: a reply accepted
        // at this look stops the poll with the reply window, and no timer
        // wakes the thread again until the next request.
        pollTimer->start();
        readFromPort();
        break;
    case Waiting:
        startWait();
        break;
    case Stopped:
        break;
    }
}

void IODeviceNew::toReads()
{
    if (stage == Requesting)
        moveTo(Reading);
}

void IODeviceNew::toWait()
{
    replyTimer->stop();
    pollTimer->stop();
    if (stage == Reading)
        moveTo(Waiting);
}

PortSettings IODeviceNew::scaleSettings()
{
    return PortSettings();
}

IODeviceNew::Phase IODeviceNew::firstPhase() const
{
    return protocol->unitRequest().isEmpty() ? ValuesPhase : UnitsPhase;
}

QString IODeviceNew::placeholder(int timeoutCount)
{
    return QStringLiteral("-------").insert(timeoutCount % 8, QLatin1Char(' '));
}

void IODeviceNew::setRefreshRate(int periodMs)
{
    refreshRate = periodMs;
    // A wait under way starts again on the new period.
    if (periodTimer->isActive())
        periodTimer->start(waitNow());
}

int IODeviceNew::waitNow() const
{
    // A line sent on the print key is looked for at every poll.
    if (printKey)
        return 0;
    // A scale that sends unasked has its line waiting at the tick, with no
    // request or poll in between: the tick itself keeps the period.
    if (protocol->sendsUnasked())
        return qMax(0, refreshRate - int(tick.elapsed()));
    return waitFor(refreshRate);
}

void IODeviceNew::startWait()
{
    // A command waits for no period, and the reading after one shows the
    // operator what it did.
    periodTimer->start(commands.isEmpty() && !commandEnded ? waitNow() : 0);
    commandEnded = false;
}

void IODeviceNew::sendCommand(int kind)
{
    if (protocol->commandRequest(ScaleProtocol::Command(kind), false).isEmpty())
        return;
    commands << kind;
    // The wait for the next request is cut short: the command goes first.
    if (periodTimer->isActive())
        periodTimer->start(0);
}

void IODeviceNew::writeToPort()
{
    tick.start();
    if (!commands.isEmpty() && phase == ValuesPhase) {
        writeCommand();
        return;
    }
    const QByteArray request = phase == UnitsPhase ? protocol->unitRequest() : protocol->valueRequest();
    // A scale that sends unasked gets no request: what came since the last
    // tick holds the newest line, and what is left of the last one may still
    // be ended.
    if (!request.isEmpty()) {
        if (isOpen()) {
            // Whatever waits on the line now answers no request of ours: a
            // reply that came too late, a line end that trailed the last one,
            // a second frame. Left there, it would be read as the answer to
            // this request.
            discardInput();
            qCDebug(linkTrace) << "writeToPort()";
            write(request);
            tellTraffic(Sent, request);
        }
        reply.clear();
    }
    sizeAtLastLook = 0;
    replySpoilt = false;
    toReads();
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

void IODeviceNew::writeCommand()
{
    command = commands.takeFirst();
    const QByteArray request = protocol->commandRequest(ScaleProtocol::Command(command), !lastStable);
    if (isOpen()) {
        // What waits on the line now answers something else.
        discardInput();
        qCDebug(linkTrace) << "command" << command;
        write(request);
        tellTraffic(Sent, request);
    }
    reply.clear();
    sinceCommand.start();
    toReads();
}

void IODeviceNew::readAnswer()
{
    const QByteArray bytes = readAll();
    if (!bytes.isEmpty())
        tellTraffic(Received, bytes.right(longestTold));
    reply += bytes;
    int used = 0;
    for (;;) {
        const ScaleProtocol::CommandVerdict verdict =
            protocol->commandAnswer(ScaleProtocol::Command(command), reply, &used);
        if (verdict == ScaleProtocol::NotAnAnswer && used > 0) {
            reply.remove(0, used);
            continue;
        }
        if (verdict == ScaleProtocol::CommandDone || verdict == ScaleProtocol::CommandRefused) {
            endCommand(verdict == ScaleProtocol::CommandDone, shownReply(reply.left(used)));
            return;
        }
        break;
    }
    const int unconfirmed = protocol->unconfirmedAfter();
    if (unconfirmed > 0 && sinceCommand.elapsed() >= unconfirmed)
        endCommand(true, QString());
}

void IODeviceNew::endCommand(bool done, const QString &text)
{
    emit commandAnswered(command, done, text);
    command = -1;
    commandEnded = true;
    reply.clear();
    // A scale that sends unasked may be halfway through a line: the next
    // one read starts at its own start.
    lineStartSeen = false;
    toWait();
}

void IODeviceNew::readFromPort()
{
    if (!isOpen())
        return;
    if (command >= 0) {
        readAnswer();
        return;
    }
    if (replySpoilt) {
        discardInput();
        return;
    }
    // Bounded by the port's read buffer.
    const QByteArray bytes = readAll();
    if (!bytes.isEmpty()) {
        sinceBytes.start();
        tellTraffic(Received, bytes.right(longestTold));
        heard = (heard + bytes).right(longestReply);
    }
    reply += bytes;
    if (reply.size() > longestReply && !keepNewest()) {
        // Longer than any reply: dropped with the reason, and the line read
        // again from the next line end on.
        reject(phase == UnitsPhase ? UnitNotAccepted : ReplyNotUnderstood);
        return;
    }
    const int quietTime = protocol->quietTime();
    if (printKey && !lineStartSeen && reply.isEmpty()) {
        // The line is quiet between two presses: the next byte starts a line.
        lineStartSeen = true;
    } else if (protocol->sendsUnasked() && !lineStartSeen && quietTime > 0) {
        // Replies without line ends: a reply starts after the line was quiet.
        lineStartSeen = sinceBytes.elapsed() >= quietTime;
        reply.clear();
    } else if (protocol->sendsUnasked() && !lineStartSeen) {
        // Up to the first line end the bytes may be the tail of a line, and
        // are dropped; without one yet they are kept, so that a line end
        // still to come can be found among them. A scale that writes each
        // line in pieces, read a piece at a time, would otherwise never be
        // read: each piece would be dropped before the next one came.
        const int end = protocol->firstLineEnd(reply);
        lineStartSeen = end >= 0;
        if (!lineStartSeen) {
            reply = reply.right(longestReply);
            sizeAtLastLook = int(reply.size());
            return; // nothing to judge before a line starts
        }
        reply = reply.mid(end + 1);
    }
    const bool quiet = !reply.isEmpty() && reply.size() == sizeAtLastLook && sinceBytes.elapsed() >= quietTime;
    sizeAtLastLook = reply.size();

    if (phase == UnitsPhase) {
        switch (protocol->unitFromReply(reply, quiet, &units)) {
        case Incomplete:
            return;
        case Rejected:
            reject(UnitNotAccepted);
            return;
        case Accepted:
            heard.clear();
            phase = ValuesPhase;
            toWait();
            return;
        }
    }

    ScaleProtocol::Reading reading;
    const Verdict verdict = protocol->valueFromReply(reply, quiet, &reading);
    if (verdict == Incomplete)
        return;
    if (verdict == Rejected) {
        // A print-key scale's line is an answer whatever it says: no reset
        // would bring a better one. So is a whole line in a unit not known:
        // the scale is there and in step, and the lines around it are read.
        if (ScaleProtocol::answersWithoutWeight(reading.condition) || printKey
            || reading.condition == ScaleProtocol::UnknownUnit)
            answerWithoutWeight(causeOf(reading.condition));
        else
            reject(causeOf(reading.condition));
        return;
    }
    const QDateTime taken = localClock.now();
    reply = protocol->leftover(reply);
    heard.clear();
    lastStable = reading.stable;
    emit readingStable(reading.stable);
    emit newSample(reading.value, reading.units.isEmpty() ? units : reading.units, QStringLiteral("0"),
                   taken);
    toWait();
}

bool IODeviceNew::keepNewest()
{
    // Of a stream, the lines that came before the newest are past: the
    // whole lines at the end are kept, and what is being written.
    if (!protocol->sendsUnasked() || protocol->quietTime() > 0)
        return false;
    const QByteArray tail = reply.right(longestReply);
    const int end = protocol->firstLineEnd(tail);
    if (end < 0)
        return false;
    reply = tail.mid(end + 1);
    return true;
}

QString IODeviceNew::quotedReply(const QByteArray &reply)
{
    // One line's worth: from the first byte that is not a line end to the
    // next line end, and no more than a line of the longest kind.
    const int quoteLimit = 128;
    int from = 0;
    while (from < reply.size() && (reply.at(from) == '\r' || reply.at(from) == '\n'))
        ++from;
    int to = from;
    while (to < reply.size() && to - from < quoteLimit && reply.at(to) != '\r' && reply.at(to) != '\n')
        ++to;
    return shownReply(reply.mid(from, to - from)).left(quoteLimit);
}

void IODeviceNew::answerWithoutWeight(NoReadingCause cause)
{
    lastStable = cause != ScaleInMotion;
    const QString detail = quotedReply(reply);
    reply = protocol->leftover(reply);
    heard.clear();
    showPlaceholder(cause, detail);
    toWait();
}

void IODeviceNew::showPlaceholder(NoReadingCause cause, const QString &detail)
{
    const int position = timeoutCount % 8;
    ++timeoutCount;
    emit noReading(cause, detail);
    emit newSample(placeholder(position), QStringLiteral("--"), QStringLiteral("0"),
                   localClock.now());
}

// Drops the reply and stays in Reading: the reply time-out resets the
// port and asks again.
void IODeviceNew::reject(NoReadingCause cause)
{
    qCDebug(linkTrace) << "ERROR";
    windowCause = cause;
    windowDetail = quotedReply(reply);
    // What follows on the line is dropped, so nothing of this reply can be
    // ended: kept, its line end would pass for the start of a line that is
    // in truth the tail of one.
    reply.clear();
    replySpoilt = true;
    discardInput();
    lineStartSeen = false;
    sinceBytes.start();
}

IODeviceNew::NoReadingCause IODeviceNew::causeOf(int condition)
{
    switch (condition) {
    case ScaleProtocol::Overload:
        return ScaleOverloaded;
    case ScaleProtocol::Underload:
        return ScaleUnderloaded;
    case ScaleProtocol::Busy:
        return ScaleBusy;
    case ScaleProtocol::OutOfRange:
        return ScaleOutOfRange;
    case ScaleProtocol::Failed:
        return ScaleFailed;
    case ScaleProtocol::UnknownUnit:
        return UnitNotAccepted;
    case ScaleProtocol::Unsettled:
        return ScaleInMotion;
    case ScaleProtocol::NoWeight:
        return ScaleSentNoWeight;
    default:
        return ReplyNotUnderstood;
    }
}

void IODeviceNew::discardInput()
{
    // What is pending now, bounded by the port's read buffer; of a flood,
    // the monitor is told the newest bytes.
    const bool watched = lineWatched();
    QByteArray dropped;
    char bytes[4096];
    qint64 size = 0;
    while (bytesAvailable() > 0 && (size = read(bytes, sizeof bytes)) > 0) {
        if (watched) {
            dropped.append(bytes, int(size));
            if (dropped.size() > 2 * longestTold)
                dropped.remove(0, dropped.size() - longestTold);
        }
    }
    tellTraffic(Received, dropped.right(longestTold));
}

bool IODeviceNew::lineWatched() const
{
    static const QMetaMethod traffic = QMetaMethod::fromSignal(&IODeviceNew::lineTraffic);
    return isSignalConnected(traffic);
}

void IODeviceNew::tellTraffic(Direction direction, const QByteArray &bytes)
{
    if (!bytes.isEmpty() && lineWatched())
        emit lineTraffic(direction, bytes, localClock.now());
}

void IODeviceNew::timeoutPort()
{
    // A command without an answer is told; the scale may well be there, and
    // its next reading says so. A port that is not open is reopened as ever.
    if (command >= 0) {
        emit commandAnswered(command, false, QString());
        command = -1;
        reply.clear();
        lineStartSeen = false;
        if (isOpen())
            return;
    }
    // A scale waiting for its print key (or keeping quiet while its weight
    // holds) is quiet by right; a line refused, or begun and never ended, is
    // told and dropped, the port kept.
    if (quietIsNoFault && isOpen()) {
        if (windowCause != NoAnswer) {
            showPlaceholder(windowCause, windowDetail);
            windowCause = NoAnswer;
            windowDetail.clear();
        } else if (!reply.isEmpty() && sinceBytes.elapsed() >= replyWindow / 2) {
            showPlaceholder(ReplyNotUnderstood, quotedReply(reply));
            reply.clear();
        } else if (!lineStartSeen && !heard.isEmpty()) {
            // Bytes come, but never a line end to start a line at.
            showPlaceholder(ReplyNotUnderstood, quotedReply(heard));
        }
        heard.clear();
        return;
    }
    // Why this window brought no reading, before the reset forgets it.
    NoReadingCause cause = windowCause;
    QString detail = windowDetail;
    if (!isOpen()) {
        cause = openError() == QSerialPort::PermissionError ? PortAccessDenied : PortNotOpen;
        detail = errorString();
    } else if (cause == NoAnswer && (!reply.isEmpty() || !heard.isEmpty())) {
        // Something came, but never a whole reply: a stream without the
        // line ends its kind has leaves no reply at all, only the bytes.
        cause = phase == UnitsPhase ? UnitNotAccepted : ReplyNotUnderstood;
        detail = quotedReply(reply.isEmpty() ? heard : reply);
    }
    heard.clear();
    windowCause = NoAnswer;
    windowDetail.clear();

    // Read before the reset drops it, so that a line monitor shows it.
    if (isOpen())
        discardInput();
    reset();
    flush();
    close();
    QThread::msleep(portResetPause);
    const bool opened = open(portOpenMode);
    qCDebug(linkTrace).noquote() << QStringLiteral("timeout() reset portu: ")
                                        + QLatin1String(opened ? "true" : "false");
    // After a reset the link no longer knows what is on the other end: another
    // scale may have been plugged in, so its unit is learnt again.
    phase = firstPhase();
    reply.clear();
    lineStartSeen = false;
    sinceBytes.start();

    showPlaceholder(cause, detail);
}

void IODeviceNew::closePort()
{
    qCDebug(linkTrace) << "closePort";
    // The cycle stops too, so that no reply time-out reopens the port while
    // the device is being taken down.
    closed = true;
    stage = Stopped;
    pollTimer->stop();
    replyTimer->stop();
    periodTimer->stop();
    close();
    emit deleteNowSignal();
}
