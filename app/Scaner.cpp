#include "Scaner.h"

#include "AppTrace.h"
#include "PortEnumerator.h"

#include <QDebug>
#include <QKeyEvent>
#include <QMutexLocker>
#include <QWheelEvent>

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
    case Qt::Key_Home:
    case Qt::Key_End:
        showPopup();
        return;
    default:
        break;
    }
    // Typed letters would search the stale entries.
    if (!event->text().isEmpty() && event->text().at(0).isPrint()
        && event->key() != Qt::Key_Space) {
        showPopup();
        return;
    }
    QComboBox::keyPressEvent(event);
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
    return ports;
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
