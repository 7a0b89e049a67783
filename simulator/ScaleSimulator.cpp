#include "ScaleSimulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <cmath>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

const std::pair<speed_t, qint32> speeds[] = {
    {B50, 50},       {B75, 75},       {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},     {B300, 300},     {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},   {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};

qint32 baudOf(speed_t speed)
{
    for (const auto &entry : speeds)
        if (entry.first == speed)
            return entry.second;
    return 0;
}

// The request of each kind that asks, as its manual writes it.
QByteArray requestOf(ScaleProtocol::Type type)
{
    switch (type) {
    case ScaleProtocol::Sics:
    case ScaleProtocol::SicsMarked:
        return QByteArrayLiteral("SI\r\n");
    case ScaleProtocol::HeaderComma:
        return QByteArrayLiteral("Q\r\n");
    case ScaleProtocol::PrintFrame:
        return QByteArrayLiteral("\x1bP");
    case ScaleProtocol::ImmediatePrint:
        return QByteArrayLiteral("IP\r\n");
    case ScaleProtocol::SmaLevel1:
        return QByteArrayLiteral("\nW\r");
    case ScaleProtocol::RetailW:
        return QByteArrayLiteral("W");
    case ScaleProtocol::EtxReply:
        return QByteArrayLiteral("W\r");
    case ScaleProtocol::EnqPolled:
        return QByteArrayLiteral("\x05");
    case ScaleProtocol::BuiltIn:
    case ScaleProtocol::Continuous:
    case ScaleProtocol::Ascii:
    case ScaleProtocol::StatusStream:
        break;
    }
    return QByteArray();
}

// The kinds that send their lines unasked, at the line timer.
bool streams(ScaleProtocol::Type type)
{
    return type == ScaleProtocol::Continuous || type == ScaleProtocol::StatusStream;
}

// The hidden lock file beside a link: .ttySIM0.lock for ttySIM0.
QString lockPathOf(const QString &linkPath)
{
    const QFileInfo info(linkPath);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

// A lock that is never taken over for its age, only when its owner is gone:
// a simulator may run for days. The owner is known by its pid and its
// application name, which must stay the executable's name (the default).
std::unique_ptr<QLockFile> lockFor(const QString &linkPath)
{
    auto lock = std::make_unique<QLockFile>(lockPathOf(linkPath));
    lock->setStaleLockTime(0);
    return lock;
}

QByteArray unitOf(ScaleProtocol::Type format)
{
    return format == ScaleProtocol::SicsMarked ? QByteArrayLiteral("kg") : QByteArrayLiteral("g");
}

} // namespace

ScaleSimulator::ScaleSimulator(QObject *parent)
    : QObject(parent)
    , lineTimer(new QTimer(this))
{
    clock.start();
    lineTimer->setInterval(100);
    connect(lineTimer, &QTimer::timeout, this, &ScaleSimulator::sendLine);
}

ScaleSimulator::~ScaleSimulator()
{
    closeServer();
    closeTerminal();
    if (!link.isEmpty() && ownership)
        QFile::remove(link);
}

QString ScaleSimulator::publishDirectory()
{
    return QDir::tempPath() + QStringLiteral("/scalesim");
}

PortSettings ScaleSimulator::settingsOf(ScaleProtocol::Type type)
{
    using S = QSerialPort;
    switch (type) {
    case ScaleProtocol::BuiltIn:
    case ScaleProtocol::Sics:
    case ScaleProtocol::SicsMarked:
    case ScaleProtocol::Ascii:
    case ScaleProtocol::SmaLevel1:
        break;
    case ScaleProtocol::StatusStream:
    case ScaleProtocol::RetailW:
    case ScaleProtocol::EtxReply:
        return {9600, S::Data7, S::EvenParity, S::OneStop, S::NoFlowControl};
    case ScaleProtocol::EnqPolled:
        return {2400, S::Data8, S::NoParity, S::OneStop, S::NoFlowControl};
    case ScaleProtocol::HeaderComma:
    case ScaleProtocol::ImmediatePrint:
        return {2400, S::Data7, S::EvenParity, S::OneStop, S::NoFlowControl};
    case ScaleProtocol::PrintFrame:
        return {1200, S::Data7, S::OddParity, S::OneStop, S::NoFlowControl};
    case ScaleProtocol::Continuous:
        return {19200, S::Data8, S::NoParity, S::OneStop, S::NoFlowControl};
    }
    return {9600, S::Data8, S::NoParity, S::OneStop, S::NoFlowControl};
}

bool ScaleSimulator::start(const QString &linkPath)
{
    if (linkPath.isEmpty())
        return startNumbered(publishDirectory(), QStringLiteral("ttySIM"));
    if (!openTerminal())
        return false;
    if (own(linkPath) && publish())
        return true;
    closeTerminal();
    ownership.reset();
    return false;
}

bool ScaleSimulator::startNumbered(const QString &directory, const QString &stem)
{
    if (!openTerminal())
        return false;
    QDir().mkpath(directory);
    removeStaleLinks(directory, stem);
    // The first <stem><n> no running simulator owns; taking its lock is
    // atomic, so simulators started together never share a name.
    for (int n = 0; n < 1000; ++n) {
        if (own(directory + QLatin1Char('/') + stem + QString::number(n)) && publish())
            return true;
    }
    closeTerminal();
    ownership.reset();
    return false;
}

bool ScaleSimulator::own(const QString &linkPath)
{
    std::unique_ptr<QLockFile> lock = lockFor(linkPath);
    if (!lock->tryLock(0))
        return false;
    ownership = std::move(lock);
    link = linkPath;
    return true;
}

bool ScaleSimulator::hasLiveOwner(const QString &linkPath)
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lockFor(linkPath)->getLockInfo(&pid, &host, &application) || pid <= 0)
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
    // Its number may have gone to another program since.
    const QString running = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    return running.isEmpty() || QFileInfo(running).fileName() == QFileInfo(application).fileName();
}

// A killed simulator leaves its link behind, and once its terminal number is
// handed out again the link leads to another scale: the same scale would then
// be offered under two names.
void ScaleSimulator::removeStaleLinks(const QString &directory, const QString &stem)
{
    const QRegularExpression name(QLatin1Char('^') + QRegularExpression::escape(stem)
                                  + QStringLiteral("\\d+$"));
    const QDir dir(directory);
    for (const QString &entry : dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (!name.match(entry).hasMatch())
            continue;
        const QString path = dir.filePath(entry);
        std::unique_ptr<QLockFile> lock = lockFor(path);
        if (lock->tryLock(0))
            QFile::remove(path); // the lock goes with the unlock
    }
}

bool ScaleSimulator::publish()
{
    QFile::remove(link);
    return QFile::link(slaveName, link);
}

bool ScaleSimulator::openTerminal()
{
    masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (masterFd < 0)
        return false;
    if (grantpt(masterFd) != 0 || unlockpt(masterFd) != 0) {
        closeTerminal();
        return false;
    }
    slaveName = QString::fromLocal8Bit(ptsname(masterFd));

    // Holding the far end open keeps the terminal alive while the program has
    // its port closed, as a real line stays wired during a port reset; raw
    // mode keeps the terminal from echoing requests or mangling line ends.
    slaveFd = ::open(slaveName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (slaveFd < 0) {
        closeTerminal();
        return false;
    }
    termios mode;
    tcgetattr(slaveFd, &mode);
    cfmakeraw(&mode);
    // Whether the terminal keeps a character format other than 8N1 (a Linux
    // pseudo-terminal does not): what cannot be set cannot be compared.
    termios probe = mode;
    probe.c_cflag = (probe.c_cflag & ~CSIZE) | CS7 | PARENB;
    tcsetattr(slaveFd, TCSANOW, &probe);
    characterFormatKept = tcgetattr(slaveFd, &probe) == 0
                          && (probe.c_cflag & (CSIZE | PARENB)) == tcflag_t(CS7 | PARENB);
    cfsetispeed(&mode, B9600);
    cfsetospeed(&mode, B9600);
    tcsetattr(slaveFd, TCSANOW, &mode);

    notifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &ScaleSimulator::readRequests);
    ++generation;
    return true;
}

void ScaleSimulator::closeTerminal()
{
    delete notifier;
    notifier = nullptr;
    if (slaveFd >= 0)
        ::close(slaveFd);
    if (masterFd >= 0)
        ::close(masterFd);
    slaveFd = masterFd = -1;
    ++generation; // replies still on their way belong to the old terminal
}

bool ScaleSimulator::listen(quint16 port)
{
    serverPort = port;
    if (!openServer())
        return false;
    serverPort = server->serverPort();
    link = QStringLiteral("tcp://127.0.0.1:%1").arg(serverPort);
    return true;
}

bool ScaleSimulator::openServer()
{
    server = new QTcpServer(this);
    connect(server, &QTcpServer::newConnection, this, &ScaleSimulator::acceptConnections);
    if (server->listen(QHostAddress::LocalHost, serverPort))
        return true;
    closeServer();
    return false;
}

void ScaleSimulator::acceptConnections()
{
    while (QTcpSocket *connection = server->nextPendingConnection()) {
        connections << connection;
        connect(connection, &QTcpSocket::readyRead, this, [this, connection] {
            asker = connection;
            ++readCount;
            for (const char byte : connection->readAll()) {
                requests.append(byte);
                take(byte);
            }
        });
        connect(connection, &QTcpSocket::disconnected, this, [this, connection] {
            connections.removeOne(connection);
            connection->deleteLater();
        });
    }
}

// The connections are the server's children and go with it.
void ScaleSimulator::closeServer()
{
    for (QTcpSocket *connection : qAsConst(connections)) {
        connection->disconnect(this);
        connection->abort();
    }
    connections.clear();
    delete server;
    server = nullptr;
}

bool ScaleSimulator::isPresent() const
{
    return masterFd >= 0 || server;
}

void ScaleSimulator::vanish()
{
    if (serverPort) {
        closeServer();
        ++generation;
        return;
    }
    closeTerminal();
    QFile::remove(link);
}

bool ScaleSimulator::comeBack()
{
    if (isPresent())
        return true;
    if (serverPort)
        return openServer();
    if (openTerminal() && publish())
        return true;
    closeTerminal();
    return false;
}

void ScaleSimulator::setType(ScaleProtocol::Type type)
{
    scaleType = type;
    expected = settingsOf(type);
    pending.clear();
    if (streams(type) && lineTimer->interval() > 0)
        lineTimer->start();
    else
        lineTimer->stop();
}

void ScaleSimulator::setContinuousPeriod(int ms)
{
    lineTimer->setInterval(qMax(0, ms));
    if (ms <= 0)
        lineTimer->stop();
    else if (streams(scaleType) && !lineTimer->isActive())
        lineTimer->start();
}

void ScaleSimulator::pressPrint()
{
    if (isPresent())
        answerValue();
}

void ScaleSimulator::setIdentifier(const QByteArray &id)
{
    identifier = id.isEmpty() ? QByteArray() : id.leftJustified(6, ' ', true);
}

PortSettings ScaleSimulator::lineSettings() const
{
    PortSettings seen;
    termios mode {};
    if (slaveFd < 0 || tcgetattr(slaveFd, &mode) != 0)
        return seen;
    seen.baudRate = baudOf(cfgetospeed(&mode));
    switch (mode.c_cflag & CSIZE) {
    case CS5:
        seen.dataBits = QSerialPort::Data5;
        break;
    case CS6:
        seen.dataBits = QSerialPort::Data6;
        break;
    case CS7:
        seen.dataBits = QSerialPort::Data7;
        break;
    default:
        seen.dataBits = QSerialPort::Data8;
        break;
    }
    const bool odd = mode.c_cflag & PARODD;
    if (!(mode.c_cflag & PARENB))
        seen.parity = QSerialPort::NoParity;
    else if (mode.c_cflag & CMSPAR)
        seen.parity = odd ? QSerialPort::MarkParity : QSerialPort::SpaceParity;
    else
        seen.parity = odd ? QSerialPort::OddParity : QSerialPort::EvenParity;
    seen.stopBits = (mode.c_cflag & CSTOPB) ? QSerialPort::TwoStop : QSerialPort::OneStop;
    if (mode.c_cflag & CRTSCTS)
        seen.flowControl = QSerialPort::HardwareControl;
    else if (mode.c_iflag & (IXON | IXOFF))
        seen.flowControl = QSerialPort::SoftwareControl;
    else
        seen.flowControl = QSerialPort::NoFlowControl;
    return seen;
}

bool ScaleSimulator::lineMatches() const
{
    // The converter's serial side is set to the scale's settings.
    if (serverPort)
        return true;
    const PortSettings seen = lineSettings();
    return seen.baudRate == expected.baudRate && seen.stopBits == expected.stopBits
           && seen.flowControl == expected.flowControl
           && (!characterFormatKept
               || (seen.dataBits == expected.dataBits && seen.parity == expected.parity));
}

void ScaleSimulator::queueValueReplies(const QList<QByteArray> &replies)
{
    for (const QByteArray &reply : replies)
        scripted.enqueue(reply);
}

void ScaleSimulator::send(const QByteArray &bytes)
{
    writeNow(bytes);
}

QByteArray ScaleSimulator::valueFrame(double value)
{
    return QByteArray::number(value, 'f', 3).rightJustified(8, ' ') + "\r\n";
}

void ScaleSimulator::readRequests()
{
    char buffer[64];
    const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
    if (count <= 0)
        return;
    ++readCount;
    for (ssize_t i = 0; i < count; ++i) {
        requests.append(buffer[i]);
        take(buffer[i]);
    }
}

void ScaleSimulator::take(char byte)
{
    if (scaleType == ScaleProtocol::BuiltIn) {
        emit requestReceived(byte, clock.elapsed());
        answer(byte);
        return;
    }
    // Another kind knows a request by its whole bytes: a line request is
    // the whole line, ESC P may follow anything.
    const QByteArray asked = requestOf(scaleType);
    // Line ends between requests are not the start of one, unless the
    // kind's request starts with one (LF W CR): then a request starts there.
    const bool lineEnd = byte == '\r' || byte == '\n';
    if (lineEnd && asked.startsWith(byte)) {
        pending = QByteArray(1, byte);
        pendingSince = readCount;
        return;
    }
    if (pending.isEmpty() && lineEnd)
        return;
    if (pending.isEmpty())
        pendingSince = readCount;
    pending.append(byte);
    if (answerCommand(pending)) {
        pending.clear();
        return;
    }
    if (!asked.isEmpty() && pending.endsWith(asked)) {
        const bool whole = pending == asked || asked.at(0) == '\x1b';
        pending.clear();
        if (whole) {
            emit requestReceived(asked.at(0), clock.elapsed());
            answerValue();
        }
    } else if ((byte == '\n' && pending.size() > 1) || pending.size() > 64) {
        pending.clear(); // a line the scale does not know
    }
}

void ScaleSimulator::queueCommandReplies(const QList<QByteArray> &replies)
{
    for (const QByteArray &reply : replies)
        scriptedCommands.enqueue(reply);
}

bool ScaleSimulator::answerCommand(const QByteArray &pending)
{
    // The program writes a command at once. A "Z" that asked the built-in
    // kind for its unit, ended by the line end that starts the next try of
    // Find the scale, is no command here.
    if (pendingSince != readCount)
        return false;
    using P = ScaleProtocol;
    const bool sics = scaleType == P::Sics || scaleType == P::SicsMarked;
    bool tare = false;
    bool immediately = false;
    if (sics || scaleType == P::HeaderComma) {
        tare = pending == "T\r\n" || pending == "TI\r\n";
        immediately = pending.startsWith("TI") || pending.startsWith("ZI");
        if (!tare && pending != "Z\r\n" && !(sics && pending == "ZI\r\n"))
            return false;
        if (immediately && !sics)
            return false;
    } else if (scaleType == P::PrintFrame) {
        tare = pending.endsWith("\x1bT");
        if (!tare && !pending.endsWith("\x1bV"))
            return false;
    } else if (scaleType == P::SmaLevel1) {
        tare = pending == "\nT\r";
        if (!tare && pending != "\nZ\r")
            return false;
    } else {
        return false;
    }
    emit commandReceived(pending);
    if (silentMode || !lineMatches())
        return true;
    if (!scriptedCommands.isEmpty()) {
        writeReply(scriptedCommands.dequeue());
        return true;
    }
    if (!refusing && tare) {
        tareWeight += net();
    } else if (!refusing) {
        zeroWeight = weight;
        tareWeight = 0;
    }
    const QByteArray word = QByteArray(tare ? "T" : "Z") + (immediately ? "I" : "");
    const QByteArray unit = lineUnit.isEmpty() ? unitOf(scaleType) : lineUnit;
    if (sics && refusing)
        writeReply(word + " I\r\n");
    else if (sics && tare)
        writeReply(word + ' ' + (immediately && !stableMode ? 'D' : 'S') + ' '
                   + QByteArray::number(tareWeight, 'f', 2).rightJustified(10) + ' ' + unit + "\r\n");
    else if (sics)
        writeReply(immediately ? word + (stableMode ? " S\r\n" : " D\r\n") : QByteArray("Z A\r\n"));
    else if (scaleType == P::HeaderComma)
        writeReply(refusing ? QByteArray("EC,E11\r\n") : QByteArray("\x06"));
    else if (scaleType == P::SmaLevel1)
        writeReply(refusing ? smaLevel1Reply().replace(1, 1, tare ? "T" : "E") : smaLevel1Reply());
    return true;
}

void ScaleSimulator::answer(char request)
{
    if (request == 'Z') {
        if (!silentMode && lineMatches())
            writeReply(garbageMode ? QByteArray("#?") : unitReply);
    } else if (request == 'A') {
        answerValue();
    }
}

void ScaleSimulator::sendLine()
{
    if (isPresent())
        answerValue();
}

void ScaleSimulator::answerValue()
{
    if (silentMode || !lineMatches())
        return;
    if (!scripted.isEmpty()) {
        writeReply(scripted.dequeue());
    } else if (garbageMode) {
        QByteArray noise(10, '\0');
        for (char &byte : noise)
            byte = char(QRandomGenerator::global()->bounded(33, 127));
        noise[0] = 'x'; // never a number
        writeReply(scaleType == ScaleProtocol::BuiltIn ? noise : noise + "\r\n");
    } else {
        const QByteArray frame = scaleType == ScaleProtocol::BuiltIn ? valueFrame(weight)
                                 : scaleType == ScaleProtocol::Continuous ? weightLine(continuousFormat)
                                                                          : weightLine(scaleType);
        // A weight that wanders a little, as on a real platform.
        weight += (wander.bounded(21) - 10) / 1000.0;
        writeReply(frame);
    }
}

QByteArray ScaleSimulator::weightLine(ScaleProtocol::Type format) const
{
    const QByteArray unit = lineUnit.isEmpty() ? unitOf(format) : lineUnit;
    const QByteArray digits = QByteArray::number(std::fabs(net()), 'f', 2);
    const char sign = net() < 0 ? '-' : '+';
    const QByteArray number = net() < 0 ? '-' + digits : digits;
    const bool over = conditionMode == Overload;
    const bool under = conditionMode == Underload;
    switch (format) {
    case ScaleProtocol::BuiltIn:
        return valueFrame(net());
    case ScaleProtocol::Sics:
    case ScaleProtocol::Continuous:
        if (conditionMode == Busy)
            return "S I\r\n";
        if (over || under)
            return over ? "S +\r\n" : "S -\r\n";
        return QByteArray("S ") + (stableMode ? 'S' : 'D') + ' ' + number.rightJustified(11) + ' ' + unit
               + "\r\n";
    case ScaleProtocol::SicsMarked: {
        const char mark = over ? '^' : under ? 'v' : stableMode ? ' ' : '?';
        return QByteArray("SI ") + mark + number.rightJustified(10) + ' ' + unit + " \r\n";
    }
    case ScaleProtocol::HeaderComma: {
        if (over || under)
            return "OL," + QByteArray(9, ' ') + unit.rightJustified(3) + "\r\n";
        const bool count = unit.toLower() == "pcs";
        const QByteArray header = !stableMode ? "US" : count ? "QT" : "ST";
        return header + ',' + sign + digits.rightJustified(8, '0') + unit.rightJustified(3) + "\r\n";
    }
    case ScaleProtocol::PrintFrame: {
        const QByteArray shown = over ? QByteArray("H") : under ? QByteArray("L") : digits;
        const char shownSign = over ? '+' : under ? '-' : sign;
        return identifier + shownSign + shown.rightJustified(9) + ' ' + unit.leftJustified(3) + "\r\n";
    }
    case ScaleProtocol::ImmediatePrint:
        return number.rightJustified(10) + ' ' + unit.leftJustified(3) + (stableMode ? ' ' : '?') + "\r\n";
    case ScaleProtocol::StatusStream:
        return statusStreamFrame();
    case ScaleProtocol::SmaLevel1:
        return smaLevel1Reply();
    case ScaleProtocol::RetailW:
        return retailWReply();
    case ScaleProtocol::EtxReply:
        return etxReply();
    case ScaleProtocol::EnqPolled:
        return enqPolledReply();
    case ScaleProtocol::Ascii:
        // A make of its own: a decimal comma and a stability word at the end.
        if (over || under)
            return "W:  OL\r\n";
        return "W: " + QByteArray(number).replace('.', ',').rightJustified(10) + ' ' + unit
               + (stableMode ? " ST" : " US") + "\r\n";
    }
    return QByteArray();
}

void ScaleSimulator::writeReply(const QByteArray &reply)
{
    const quint32 sentTo = generation;
    auto writeLater = [this, sentTo](const QByteArray &bytes, int delay) {
        QTimer::singleShot(delay, this, [this, sentTo, bytes] {
            if (sentTo == generation)
                writeNow(bytes);
        });
    };
    if (splitBytes > 0 && splitBytes < reply.size()) {
        writeLater(reply.left(splitBytes), replyDelay);
        writeLater(reply.mid(splitBytes), replyDelay + splitGap);
    } else if (replyDelay > 0) {
        writeLater(reply, replyDelay);
    } else {
        writeNow(reply);
    }
}

void ScaleSimulator::writeNow(const QByteArray &bytes)
{
    if (server && !bytes.isEmpty()) {
        for (QTcpSocket *connection : qAsConst(connections))
            if (!asker || connection == asker)
                connection->write(bytes);
        emit replySent(bytes);
        return;
    }
    if (masterFd < 0 || bytes.isEmpty())
        return;
    if (::write(masterFd, bytes.constData(), size_t(bytes.size())) == bytes.size())
        emit replySent(bytes);
}

// The frames of the industrial and retail kinds, each as its layout gives it.

QByteArray ScaleSimulator::statusStreamFrame() const
{
    // The first status byte by the digits after the point, from two dummy
    // zeros to five decimals; the display counts by one (0x08) in all.
    static const char placeBytes[] = {'\x28', '\x29', '\x2a', '\x2b', '\x2c', '\x2d', '\x2e', '\x2f'};
    const double shown = std::round(std::fabs(weight) * std::pow(10.0, decimalPlaces));
    const bool outside = conditionMode == Overload || conditionMode == Underload || shown > 999999;
    int second = 0x20;
    if (weight < 0)
        second += 0x02;
    if (outside)
        second += 0x04;
    if (!stableMode)
        second += 0x08;
    if (lineUnit.toLower() != "lb")
        second += 0x10; // kilograms
    QByteArray frame("\x02");
    frame += placeBytes[decimalPlaces + 2];
    frame += char(second);
    frame += ' '; // no print request
    frame += QByteArray::number(outside ? 0 : qint64(shown)).rightJustified(6, '0');
    frame += "000000\r"; // no tare
    if (checksumOn) {
        int sum = 0;
        for (const char byte : frame)
            sum += byte;
        frame += char((128 - sum % 128) % 128);
    }
    return frame;
}

// LF, status, range, gross, motion, a blank for future use, the weight in
// ten characters, the unit in three, CR. Over and under capacity fill the
// weight's place with marks instead of digits.
QByteArray ScaleSimulator::smaLevel1Reply() const
{
    const bool over = conditionMode == Overload;
    const bool under = conditionMode == Underload;
    const QByteArray digits = QByteArray::number(net(), 'f', 3);
    const char status = over ? 'O' : under ? 'U' : digits.toDouble() == 0 ? 'Z' : ' ';
    const QByteArray shown = over ? QByteArray(10, '^') : under ? QByteArray(10, '-') : digits.rightJustified(10);
    const QByteArray unit = lineUnit.isEmpty() ? QByteArrayLiteral("lb") : lineUnit;
    return QByteArray("\n") + status + '1' + 'G' + (stableMode ? ' ' : 'M') + ' ' + shown
           + unit.leftJustified(3, ' ', true) + '\r';
}

// STX, the weight with three decimals, CR; STX, "?", a status byte, CR when
// over capacity, under zero or in motion.
QByteArray ScaleSimulator::retailWReply() const
{
    char status = 0;
    if (conditionMode == Overload)
        status = 0x02;
    else if (conditionMode == Underload)
        status = 0x04;
    else if (!stableMode)
        status = 0x01;
    if (status)
        return QByteArray("\x02?") + char(0x40 | status) + '\r';
    return '\x02' + QByteArray::number(weight, 'f', 3).rightJustified(6) + '\r';
}

// LF, the weight and its unit glued, CR, LF, two status bytes, CR, ETX. The
// first status byte has motion in bit 0 and zero in bit 1, the second under
// capacity in bit 0 and over capacity in bit 1.
QByteArray ScaleSimulator::etxReply() const
{
    const bool over = conditionMode == Overload;
    const bool under = conditionMode == Underload;
    const QByteArray digits = QByteArray::number(weight, 'f', 3);
    const char first = char(0x30 | (stableMode ? 0 : 0x01) | (digits.toDouble() == 0 ? 0x02 : 0));
    const char second = char(0x30 | (under ? 0x01 : 0) | (over ? 0x02 : 0));
    const QByteArray unit = lineUnit.isEmpty() ? QByteArrayLiteral("LB") : lineUnit;
    const QByteArray shown = over || under ? QByteArray(6, '-') : digits.rightJustified(6) + unit;
    return '\n' + shown + "\r\n" + first + second + "\r\x03";
}

QByteArray ScaleSimulator::enqPolledReply() const
{
    // Grams in five digits, or five letters for what the scale cannot weigh.
    const qint64 grams = qRound64(weight * 1000);
    QByteArray shown;
    if (conditionMode == Overload || grams > 99999)
        shown = "SSSSS";
    else if (conditionMode == Underload || grams < 0)
        shown = "NNNNN";
    else if (!stableMode)
        shown = "IIIII";
    else
        shown = QByteArray::number(grams).rightJustified(5, '0');
    return "\x02" + shown + "\x03";
}
