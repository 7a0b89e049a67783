#include "ScaleFinder.h"

#include "AsciiProtocol.h"
#include "IODeviceNew.h"
#include "LineProtocol.h"
#include "LinkTrace.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <vector>

namespace {

// A try ends when this long passes without a reading: a scale that answers
// does so within a cycle or two, and a silent try should not hold the search
// for the link's whole second.
const int quietLimit = 500;
// Requests follow each other quickly: a try takes its readings within a second.
const int tryPeriod = 100;
// How long the line end that starts a try is left to settle.
const int settleTime = 50;

PortSettings lineOf(qint32 baud, QSerialPort::DataBits bits, QSerialPort::Parity parity)
{
    PortSettings line;
    line.baudRate = baud;
    line.dataBits = bits;
    line.parity = parity;
    return line;
}

// The most of a try's bytes kept for its checks: a few dozen lines.
const int receivedKept = 4096;

// The whole lines in bytes (the first may be a tail, the last unended:
// both are left out).
QList<QByteArray> wholeLines(const QByteArray &bytes)
{
    QByteArray text = bytes;
    text.replace('\n', '\r');
    QList<QByteArray> lines = text.split('\r');
    if (!lines.isEmpty())
        lines.removeFirst();
    if (!lines.isEmpty())
        lines.removeLast();
    lines.removeAll(QByteArray());
    return lines;
}

bool sameSetup(const ScaleSetup &a, const ScaleSetup &b)
{
    return a.type == b.type && a.line.baudRate == b.line.baudRate && a.line.dataBits == b.line.dataBits
           && a.line.parity == b.line.parity && a.line.stopBits == b.line.stopBits
           && a.line.flowControl == b.line.flowControl;
}

} // namespace

ScaleFinder::ScaleFinder(QObject *parent)
    : ScaleFinder(usualOrder(), parent)
{
}

ScaleFinder::ScaleFinder(const QList<ScaleSetup> &tries, QObject *parent)
    : QObject(parent)
    , tries(tries)
    , worker(new QThread(this))
    , workerContext(new QObject)
{
    workerContext->moveToThread(worker);
    connect(worker, &QThread::finished, workerContext, &QObject::deleteLater);
    worker->start();
    quiet.setSingleShot(true);
    quiet.setInterval(quietLimit);
    connect(&quiet, &QTimer::timeout, this, &ScaleFinder::tryFailed);
}

ScaleFinder::~ScaleFinder()
{
    // The link goes on the thread it lives on, before that thread ends.
    QMetaObject::invokeMethod(workerContext, [this] {
        delete link;
        link = nullptr;
    }, Qt::BlockingQueuedConnection);
    worker->quit();
    worker->wait();
}

QList<ScaleSetup> ScaleFinder::usualOrder()
{
    // An Other ASCII scale is read by what the operator says of it: there is
    // nothing to try it with.
    QList<ScaleProtocol::Type> types = ScaleProtocol::types();
    types.removeAll(ScaleProtocol::Ascii);
    QList<ScaleSetup> order;
    for (ScaleProtocol::Type type : qAsConst(types))
        order << ScaleSetup {type, ScaleProtocol::usualSettings(type)};
    using S = QSerialPort;
    const qint32 speeds[] = {9600, 19200, 4800, 2400, 38400, 1200};
    const PortSettings formats[] = {lineOf(0, S::Data8, S::NoParity), lineOf(0, S::Data7, S::EvenParity),
                                    lineOf(0, S::Data7, S::OddParity)};
    for (qint32 speed : speeds) {
        for (PortSettings line : formats) {
            line.baudRate = speed;
            for (ScaleProtocol::Type type : qAsConst(types)) {
                const ScaleSetup setup {type, line};
                if (std::none_of(order.cbegin(), order.cend(),
                                 [&](const ScaleSetup &usual) { return sameSetup(usual, setup); }))
                    order << setup;
            }
        }
    }
    return order;
}

bool ScaleFinder::readsWithoutContradiction(const QByteArray &bytes, ScaleProtocol::Type type)
{
    const std::unique_ptr<ScaleProtocol> tried = ScaleProtocol::create(type);
    const auto *triedLines = dynamic_cast<const LineProtocol *>(tried.get());
    if (!triedLines)
        return true; // frames of its own, which no line kind reads
    std::vector<std::unique_ptr<ScaleProtocol>> others;
    for (ScaleProtocol::Type other : ScaleProtocol::types())
        if (other != type && other != ScaleProtocol::Continuous)
            others.push_back(ScaleProtocol::create(other));
    for (const QByteArray &line : wholeLines(bytes)) {
        ScaleProtocol::Reading mine;
        if (triedLines->parseLine(line, &mine) != ScaleProtocol::Accepted)
            continue;
        for (const auto &other : others) {
            const auto *lines = dynamic_cast<const LineProtocol *>(other.get());
            ScaleProtocol::Reading theirs;
            if (!lines || lines->parseLine(line, &theirs) != ScaleProtocol::Accepted)
                continue;
            // Another number or unit: one of the two reads a field that is
            // not the weight. Stable where the other sees a mark of motion:
            // the tried kind misses it.
            if (theirs.value.toDouble() != mine.value.toDouble() || theirs.units != mine.units
                || (mine.stable && !theirs.stable)) {
                qCDebug(linkTrace).noquote() << "find: read two ways:" << IODeviceNew::shownReply(line);
                return false;
            }
        }
    }
    return true;
}

bool ScaleFinder::proposeAscii(const QByteArray &bytes, AsciiSetup *ascii)
{
    // The reply end the lines show: CR LF, CR or LF alone, or ETX.
    AsciiSetup setup;
    if (bytes.contains("\r\n"))
        setup.lineEnd = AsciiSetup::CrLf;
    else if (bytes.contains('\r'))
        setup.lineEnd = AsciiSetup::Cr;
    else if (bytes.contains('\n'))
        setup.lineEnd = AsciiSetup::Lf;
    else if (bytes.contains('\x03'))
        setup.lineEnd = AsciiSetup::Etx;
    else
        return false;
    QByteArray text = bytes;
    text.replace('\x03', '\r');
    const QList<QByteArray> lines = wholeLines(text);
    // Enough lines to be a scale's and not noise, every one of them text with a weight in it.
    if (lines.size() < readingsToFind)
        return false;
    const AsciiProtocol reader(setup);
    for (QByteArray line : lines) {
        if (line.startsWith('\x02'))
            line.remove(0, 1);
        ScaleProtocol::Reading reading;
        if (reader.parseLine(line, &reading) != ScaleProtocol::Accepted || reading.units.isEmpty())
            return false;
    }
    *ascii = setup;
    return true;
}

void ScaleFinder::find(const QString &port)
{
    cancel();
    portName = port;
    running = true;
    listening = false;
    proposing = false;
    index = -1;
    nextTry();
}

void ScaleFinder::cancel()
{
    if (running)
        finish();
}

void ScaleFinder::startTry(const ScaleSetup &setup)
{
    tried = setup;
    readings = 0;
    received.clear();
    const int number = ++serial;
    qCDebug(linkTrace).noquote() << "find:" << ScaleProtocol::key(setup.type) << setup.line.name();
    QMetaObject::invokeMethod(workerContext, [this, number, setup, port = portName] {
        // The last try's link lets go of the port before this one opens it.
        delete link;
        link = new IODeviceNew(port, setup.line, SerialPort::Polling, setup.type);
        // Queued to this object's thread; the number tells whose link spoke.
        connect(link, &IODeviceNew::readingStable, this, [this, number] { tookReading(number); });
        connect(link, &IODeviceNew::noReading, this, [this, number] { missedReading(number); });
        connect(link, &IODeviceNew::lineTraffic, this, [this, number](int direction, const QByteArray &bytes) {
            if (direction == IODeviceNew::Received)
                tookBytes(number, bytes);
        });
        link->setRefreshRate(tryPeriod);
        const bool opened = link->open(IODeviceNew::portOpenMode);
        // The last try's request may have had no line end ("Z", ESC P): one
        // here ends it, so that the scale does not take it for the start of
        // this try's first request and leave that unanswered. A cancel byte
        // goes first, so that what it ends is never a command: the built-in
        // unit request "Z" with a line end is a SICS-style scale's zero.
        // A scale whose request starts with a line end (LF W CR) may take
        // this one for the end of its own request, begun by the last try's
        // (LF, W): its answer comes within a few milliseconds, and is
        // dropped with the rest before this try's first request.
        if (opened) {
            link->write("\x18\r\n");
            link->flush();
            QThread::msleep(settleTime);
        }
        const QString reason = opened ? QString() : link->errorString();
        QMetaObject::invokeMethod(this, [this, number, opened, reason] { linkOpened(number, opened, reason); },
                                  Qt::QueuedConnection);
    });
    quiet.start();
}

void ScaleFinder::linkOpened(int number, bool opened, const QString &reason)
{
    if (number != serial || opened)
        return;
    finish();
    emit cannotOpen(reason);
}

void ScaleFinder::tookBytes(int number, const QByteArray &bytes)
{
    if (number != serial)
        return;
    received += bytes;
    if (received.size() > receivedKept)
        received.remove(0, received.size() - receivedKept);
}

void ScaleFinder::tookReading(int number)
{
    if (number != serial)
        return;
    if (++readings < readingsToFind) {
        quiet.start();
        return;
    }
    if (!readsWithoutContradiction(received, tried.type)) {
        // Read, but not truly: another setup may read it without doubt.
        quiet.stop();
        tryFailed();
        return;
    }
    if (!listening && !ScaleProtocol::create(tried.type)->sendsUnasked()) {
        // A continuous scale's lines are read as replies by a kind that asks.
        listening = true;
        asked = tried;
        startTry({ScaleProtocol::Continuous, asked.line});
        return;
    }
    finish();
    emit found();
}

void ScaleFinder::missedReading(int number)
{
    if (number == serial)
        readings = 0; // readingsToFind in a row
}

void ScaleFinder::tryFailed()
{
    // What came unasked, whatever was asked: text lines the Other ASCII
    // scale could read, if nothing known does.
    AsciiSetup ascii;
    if (!proposing && !listening && proposeAscii(received, &ascii)) {
        proposing = true;
        proposal = ScaleSetup {ScaleProtocol::Ascii, tried.line};
        proposal.ascii = ascii;
        proposalBytes = received;
    }
    if (listening) {
        // Nothing unasked: the scale answers the kind that asked.
        finish();
        tried = asked;
        emit found();
        return;
    }
    nextTry();
}

void ScaleFinder::nextTry()
{
    if (++index >= tries.size()) {
        finish();
        if (proposing) {
            tried = proposal;
            emit asciiProposed();
        } else {
            emit notFound();
        }
        return;
    }
    startTry(tries.at(index));
    emit trying(index + 1, tries.size());
}

void ScaleFinder::finish()
{
    running = false;
    listening = false;
    quiet.stop();
    ++serial;
    QMetaObject::invokeMethod(workerContext, [this] {
        delete link;
        link = nullptr;
    });
}
