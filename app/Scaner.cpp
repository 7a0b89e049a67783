#include "Scaner.h"

#include "AppTrace.h"
#include "PortEnumerator.h"
#include "SerialPort.h"

#include <QAbstractItemView>
#include <QDebug>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMutexLocker>
#include <QWheelEvent>

namespace {

// Addresses typed in a run that the drop-down keeps offering.
const int recentLimit = 8;

} // namespace

Scaner::Scaner(QWidget *parent)
    : Scaner(PortEnumerator::createDefault(), parent)
{
}

Scaner::Scaner(std::unique_ptr<PortEnumerator> enumerator, QWidget *parent)
    : QComboBox(parent)
    , enumerator(std::move(enumerator))
{
    // "port" is a label, not a port: it is never offered once the drop-down
    // has been opened, so it stays untranslated like "none".
    addItem(QStringLiteral("port"));
    insertSeparator(1);
    setMinimumWidth(70);
    // Wide enough for a whole usual port name (ttyUSB0, /dev/ttyACM1, ...).
    setMinimumContentsLength(14);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Editable for network addresses. Only Enter opens what is typed: the box
    // itself would also open a listed port whose name the text matches when
    // the text loses focus, and would insert the text as an entry.
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    disconnect(lineEdit(), SIGNAL(editingFinished()), this, nullptr);
}

Scaner::~Scaner() = default;

void Scaner::setPortEnumerator(std::unique_ptr<PortEnumerator> newEnumerator)
{
    enumerator = std::move(newEnumerator);
}

void Scaner::showPopup()
{
    qCDebug(appTrace) << "get ports";
    refreshPorts();
    // An editable box's list is only as wide as the box: long names (a
    // simulator's path, an address) would be cut off.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + view()->frameWidth() * 2);
    QComboBox::showPopup();
}

void Scaner::hidePopup()
{
    qCDebug(appTrace) << "hide ports";
    QComboBox::hidePopup();
    update();
}

// A closed box holds the list built at its last opening, which may name a port
// opened since; choosing from it would open that port twice. So the wheel does
// nothing and the keys that would pick an entry open a fresh drop-down instead.
void Scaner::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

void Scaner::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        showPopup();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openTyped();
        return;
    default:
        break;
    }
    // Letters, Home and End edit the text; they choose nothing.
    QComboBox::keyPressEvent(event);
}

void Scaner::openTyped()
{
    const QString typed = currentText().trimmed();
    QString port = networkPortName(typed);
    // A listed port's name typed out opens it as choosing it would.
    if (port.isEmpty() && serialPorts().contains(typed))
        port = typed;
    if (port.isEmpty()) {
        QMessageBox::information(this, QString(),
                                 tr("Type a network port as tcp://host:port, for example "
                                    "tcp://192.168.1.50:4001, and press Enter."));
        return;
    }
    if (openedPorts.contains(port)) {
        QMessageBox box(QMessageBox::Information, QString(), tr("%1 is open in a window already.").arg(port),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    if (SerialPort::isNetworkName(port)) {
        recentAddresses.removeOne(port);
        recentAddresses.prepend(port);
        while (recentAddresses.size() > recentLimit)
            recentAddresses.removeLast();
    }
    setEditText(port);
    emit textActivated(port);
}

QString Scaner::networkPortName(const QString &typed)
{
    QString host;
    quint16 port = 0;
    if (!SerialPort::parseNetworkName(typed, &host, &port))
        return QString();
    // An IPv6 address keeps its brackets.
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("tcp://%1:%2").arg(host.toLower()).arg(port);
}

void Scaner::addOpenedCOM(const QString &port)
{
    openedPorts.prepend(port);
}

void Scaner::removeOpenedCOM(const QString &port)
{
    openedPorts.removeOne(port);
}

void Scaner::refreshPorts()
{
    QMutexLocker locker(&listLock);
    clear();

    QStringList present;
    enumeratePorts(present);

    QStringList offered;
    for (const QString &name : qAsConst(present)) {
        if (isSerialPortName(name) && !openedPorts.contains(name, Qt::CaseSensitive))
            offered.prepend(name);
    }
    for (const QString &address : qAsConst(recentAddresses))
        if (!openedPorts.contains(address))
            offered.append(address);

    if (offered.isEmpty())
        addItem(QStringLiteral("none"));
    else
        addItems(offered);
}

QStringList Scaner::serialPorts() const
{
    QStringList present;
    enumeratePorts(present);
    QStringList ports;
    for (const QString &name : qAsConst(present))
        if (isSerialPortName(name))
            ports.prepend(name);
    return ports + recentAddresses;
}

void Scaner::enumeratePorts(QStringList &list) const
{
    if (enumerator)
        list.append(enumerator->ports());
    list.append(ownPorts);
}

bool Scaner::isSerialPortName(const QString &name)
{
    // Windows names: the Ports device class also holds the parallel ports
    // (LPT1, ...); only names with "COM" are serial.
    if (name.contains(QLatin1String("COM"), Qt::CaseSensitive))
        return true;

    // Linux names, bare ("ttyUSB0") or as a path ("/tmp/scalesim/ttySIM0"):
    // serial lines are "tty" followed by a driver name in capitals (ttyS,
    // ttyUSB, ttyACM, ttyAMA, the simulator's ttySIM, the demo's ttyDEMO). This leaves out the
    // virtual consoles and the controlling terminal (tty, tty1, ...), the
    // lower-case kernel pseudo-devices (ttyprintk), pseudo-terminal slaves
    // (pts/N), Bluetooth links (rfcomm0) and the parallel ports (lp0, parport0).
    const QString base = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    return base.size() > 3 && base.startsWith(QLatin1String("tty"))
           && base.at(3) >= QLatin1Char('A') && base.at(3) <= QLatin1Char('Z');
}
