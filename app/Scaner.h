#ifndef SCANER_H
#define SCANER_H

#include <QComboBox>
#include <QMutex>
#include <QStringList>

#include <memory>

class PortEnumerator;

// The port selector: a drop-down of the present serial ports that the program
// has not opened yet, rebuilt each time the operator opens it. Choosing an
// entry emits textActivated(QString) with the port name.
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
    // Every port the scales can be on, opened or not, newest first.
    QStringList serialPorts() const;

    // Whether a name denotes a port the scales can be on; see the definition
    // for what each rule leaves out.
    static bool isSerialPortName(const QString &name);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void enumeratePorts(QStringList &list) const;

    QStringList openedPorts;
    QStringList ownPorts;
    QMutex listLock;
    std::unique_ptr<PortEnumerator> enumerator;
};

#endif // SCANER_H
