#ifndef SERIALPORT_H
#define SERIALPORT_H

#include <QIODevice>
#include <QSerialPort>

class QTcpSocket;

// Line settings of one port, kept as a plain record so that the link states
// them in one place.
struct PortSettings
{
    qint32 baudRate = 9600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
    int timeoutMs = 10; // longest wait of a synchronous write

    // The settings as the operator knows them: "9600 8N1".
    QString name() const;
};

// The serial port as the scale link sees it: a sequential QIODevice opened by
// name with fixed settings, read and written by synchronous calls. QSerialPort
// does the work underneath; the differences between the two live here only.
//
// A name tcp://host:port is a raw TCP connection instead (a serial-to-Ethernet
// converter): read and written the same way, line settings left to the
// converter. A dropped connection reads like a pulled adapter: nothing comes
// until the port is closed and opened again.
class SerialPort : public QIODevice
{
    Q_OBJECT

public:
    enum QueryMode { Polling, EventDriven };

    SerialPort(const QString &name, const PortSettings &settings, QueryMode mode,
               QObject *parent = nullptr);
    ~SerialPort() override;

    QString portName() const { return name; }
    // Whether the name is a network address (tcp://...), well formed or not.
    static bool isNetworkName(const QString &name);
    // Host and port of a well-formed tcp://host:port; false otherwise.
    static bool parseNetworkName(const QString &name, QString *host = nullptr, quint16 *port = nullptr);
    const PortSettings &settings() const { return portSettings; }
    QueryMode queryMode() const { return mode; }

    // Accepts any open mode a caller asks for (the link asks for read-write,
    // truncate, unbuffered); QSerialPort itself only takes ReadWrite, and
    // Truncate here discards input left waiting on the line.
    bool open(OpenMode openMode) override;
    // Why the last open failed (NoError once one succeeded); errorString()
    // has the system's words for it. A network port that cannot be reached,
    // or whose connection dropped, gives DeviceNotFoundError and the
    // socket's words.
    QSerialPort::SerialPortError openError() const { return lastOpenError; }
    void close() override;
    // Pushes pending output to the line.
    bool flush();

    bool isSequential() const override { return true; }
    // The port is opened unbuffered, so this object holds no input of its
    // own to discard; QIODevice's default would try to seek a serial line.
    bool reset() override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool openNetwork();
    void connectionLost();

    QString name;
    QSerialPort *port = nullptr;   // a serial line ...
    QTcpSocket *socket = nullptr;  // ... or a network one
    QIODevice *line;               // whichever of the two
    PortSettings portSettings;
    QueryMode mode;
    QSerialPort::SerialPortError lastOpenError = QSerialPort::NoError;
};

#endif // SERIALPORT_H
