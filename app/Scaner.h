#ifndef SCANER_H
#define SCANER_H

#include <QComboBox>
#include <QMutex>
#include <QStringList>

#include <memory>

class PortEnumerator;

// The port selector: a drop-down of the present serial ports that the program
// has not opened yet, rebuilt each time the operator opens it. Choosing an
// entry emits textActivated(QString) with the port name. A network port is
// typed in (tcp://host:port, then Enter) and offered from then on, for this
// run, among the recent addresses.
class Scaner : public QComboBox
{
    Q_OBJECT

public:
    // Lists the ports of the system the program runs on.
    explicit Scaner(QWidget *parent = nullptr);
    // Lists the ports the given enumeration reports; the box takes it over.
    explicit Scaner(std::unique_ptr<PortEnumerator> enumerator, QWidget *parent = nullptr);
    ~Scaner() override;

    void setPortEnumerator(std::unique_ptr<PortEnumerator> enumerator);
    // Ports the program provides itself (the demo's), offered beside the
    // system's.
    void setOwnPorts(const QStringList &ports) { ownPorts = ports; }

    void showPopup() override;
    void hidePopup() override;

    void addOpenedCOM(const QString &port);
    void removeOpenedCOM(const QString &port);

    void refreshPorts();
    // Every port the scales can be on, opened or not: the serial ones newest
    // first, then the network addresses typed in this run, last typed first.
    QStringList serialPorts() const;

    // Whether a name denotes a port the scales can be on; see the definition
    // for what each rule leaves out.
    static bool isSerialPortName(const QString &name);
    // tcp://host:port written one way for one address (host in lower case),
    // or empty for a name that is not one.
    static QString networkPortName(const QString &typed);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void enumeratePorts(QStringList &list) const;
    // Opens the port typed in the box, if it is one that can be opened.
    void openTyped();

    QStringList openedPorts;
    QStringList recentAddresses;
    QStringList ownPorts;
    QMutex listLock;
    std::unique_ptr<PortEnumerator> enumerator;
};

#endif // SCANER_H
