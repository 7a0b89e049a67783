#include "SerialPort.h"

#include <QTcpSocket>
#include <QUrl>

namespace {

// How long an open waits for a network port's connection. The link opens on
// its own worker thread, at start and after each time-out (a second apart):
// a short blocking wait keeps open() meaning "the line is there", as it does
// for a serial port, so the link needs no state of its own for a connection
// under way, and it stalls only this link's thread, never a window. A
// converter on the local network accepts in milliseconds; one that does not
// answer costs this much of each reset. (A host name is looked up before it,
// by the system's resolver.)
const int connectWait = 400;

// The most input held for the link between two looks at the line: a second
// of the fastest serial line ten times over. A peer that floods the line
// is held back by the network (or the terminal) beyond it, instead of
// growing the program.
const qint64 readBufferLimit = 1024 * 1024;

} // namespace

QString PortSettings::name() const
{
    const char parityLetter = parity == QSerialPort::EvenParity    ? 'E'
                              : parity == QSerialPort::OddParity   ? 'O'
                              : parity == QSerialPort::MarkParity  ? 'M'
                              : parity == QSerialPort::SpaceParity ? 'S'
                                                                   : 'N';
    const QString stop = stopBits == QSerialPort::OneAndHalfStop ? QStringLiteral("1.5")
                                                                 : QString::number(stopBits);
    return QStringLiteral("%1 %2%3%4").arg(baudRate).arg(dataBits).arg(QLatin1Char(parityLetter)).arg(stop);
}

SerialPort::SerialPort(const QString &name, const PortSettings &settings, QueryMode mode,
                       QObject *parent)
    : QIODevice(parent)
    , name(name)
    , portSettings(settings)
    , mode(mode)
{
    if (isNetworkName(name)) {
        socket = new QTcpSocket(this);
        socket->setReadBufferSize(readBufferLimit);
        line = socket;
        // Direct: the socket lives on this object's thread and changes state
        // from its event loop, between the link's polls.
        connect(socket, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
            if (state == QAbstractSocket::UnconnectedState)
                connectionLost();
        });
        return;
    }
    port = new QSerialPort(this);
    port->setReadBufferSize(readBufferLimit);
    line = port;
    // A path (a simulator's port) is used as it is; a bare name is looked up
    // under /dev by QSerialPort.
    port->setPortName(name);
}

SerialPort::~SerialPort()
{
    close();
}

bool SerialPort::open(OpenMode openMode)
{
    if (isOpen())
        return true;
    if (socket) {
        // A new connection starts with an empty line: Truncate has nothing
        // to discard, and the line settings are the converter's.
        if (!openNetwork())
            return false;
        lastOpenError = QSerialPort::NoError;
        return QIODevice::open(openMode | QIODevice::Unbuffered);
    }
    if (!port->open(QIODevice::ReadWrite)) {
        lastOpenError = port->error();
        setErrorString(port->errorString());
        port->clearError();
        return false;
    }
    lastOpenError = QSerialPort::NoError;
    // Settings are applied to the open port; a pseudo-terminal refuses some of
    // the line ioctls, which is no reason to give the port up.
    port->setBaudRate(portSettings.baudRate);
    port->setDataBits(portSettings.dataBits);
    port->setParity(portSettings.parity);
    port->setStopBits(portSettings.stopBits);
    port->setFlowControl(portSettings.flowControl);
    // Truncate: a port opened afresh starts with an empty line. A reply that
    // came too late for the last request, and landed while the port was being
    // reset, would otherwise be taken for the answer to the next one, and
    // every reading after it would be one request behind.
    if (openMode & QIODevice::Truncate)
        port->clear(QSerialPort::Input);
    return QIODevice::open(openMode | QIODevice::Unbuffered);
}

bool SerialPort::isNetworkName(const QString &name)
{
    return name.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
}

bool SerialPort::parseNetworkName(const QString &name, QString *host, quint16 *port)
{
    if (!isNetworkName(name))
        return false;
    const QUrl url(name, QUrl::StrictMode);
    const int number = url.port();
    if (!url.isValid() || url.host().isEmpty() || number < 1 || !url.userInfo().isEmpty()
        || !(url.path().isEmpty() || url.path() == QLatin1String("/")) || url.hasQuery() || url.hasFragment())
        return false;
    if (host)
        *host = url.host();
    if (port)
        *port = quint16(number);
    return true;
}

bool SerialPort::openNetwork()
{
    QString host;
    quint16 number = 0;
    lastOpenError = QSerialPort::DeviceNotFoundError;
    if (!parseNetworkName(name, &host, &number)) {
        setErrorString(tr("%1 is not a network address of the form tcp://host:port").arg(name));
        return false;
    }
    socket->abort();
    socket->connectToHost(host, number);
    if (!socket->waitForConnected(connectWait)) {
        setErrorString(socket->errorString());
        socket->abort();
        return false;
    }
    // Requests are a few bytes each: held back to be sent together, they
    // would reach the scale late.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

// The far end closed or the network failed: the port reads as closed, like a
// pulled adapter, until the link's next reset opens it again.
void SerialPort::connectionLost()
{
    if (!isOpen())
        return;
    lastOpenError = QSerialPort::DeviceNotFoundError;
    setErrorString(socket->errorString());
    QIODevice::close();
}

void SerialPort::close()
{
    // This object first, so that closing the socket is not taken for a drop.
    if (isOpen())
        QIODevice::close();
    if (socket)
        socket->abort();
    else if (port->isOpen())
        port->close();
}

bool SerialPort::flush()
{
    if (socket)
        return socket->state() == QAbstractSocket::ConnectedState && socket->flush();
    return port->isOpen() && port->flush();
}

qint64 SerialPort::bytesAvailable() const
{
    if (!line->isOpen())
        return 0;
    return line->bytesAvailable() + QIODevice::bytesAvailable();
}

qint64 SerialPort::readData(char *data, qint64 maxSize)
{
    return line->isOpen() ? line->read(data, maxSize) : 0;
}

qint64 SerialPort::writeData(const char *data, qint64 size)
{
    if (!line->isOpen())
        return -1;
    const qint64 written = line->write(data, size);
    // Both queue output for their event loop; in polling mode a write is
    // meant to be on the line when the call returns. A socket hands it to
    // the system at once, without waiting.
    if (written > 0 && socket)
        socket->flush();
    else if (written > 0 && mode == Polling)
        port->waitForBytesWritten(portSettings.timeoutMs);
    return written;
}
