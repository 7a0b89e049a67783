#include "SerialPort.h"

SerialPort::SerialPort(const QString &name, const PortSettings &settings, QueryMode mode,
                       QObject *parent)
    : QIODevice(parent)
    , port(new QSerialPort(this))
    , portSettings(settings)
    , mode(mode)
{
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

void SerialPort::close()
{
    if (port->isOpen())
        port->close();
    if (isOpen())
        QIODevice::close();
}

bool SerialPort::flush()
{
    return port->isOpen() && port->flush();
}

qint64 SerialPort::bytesAvailable() const
{
    if (!port->isOpen())
        return 0;
    return port->bytesAvailable() + QIODevice::bytesAvailable();
}

qint64 SerialPort::readData(char *data, qint64 maxSize)
{
    return port->read(data, maxSize);
}

qint64 SerialPort::writeData(const char *data, qint64 size)
{
    const qint64 written = port->write(data, size);
    // QSerialPort queues output for its event loop; in polling mode a write is
    // meant to be on the line when the call returns.
    if (written > 0 && mode == Polling)
        port->waitForBytesWritten(portSettings.timeoutMs);
    return written;
}
