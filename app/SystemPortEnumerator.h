#ifndef SYSTEMPORTENUMERATOR_H
#define SYSTEMPORTENUMERATOR_H

#include "PortEnumerator.h"

#include <QString>

// The serial ports the toolkit finds ("COM3" on Windows, "ttyUSB0" on Linux),
// followed on Unix by the ports the scale simulator publishes.
class SystemPortEnumerator : public PortEnumerator
{
public:
    // The simulator's directory is a parameter so that tests can publish
    // their own links; the default is where the simulator puts them.
    explicit SystemPortEnumerator(const QString &simulatorDirectory = defaultSimulatorDirectory());

    QStringList ports() const override;

    static QString defaultSimulatorDirectory();

private:
    QStringList simulatorPorts() const;

    QString simulatorDirectory;
};

#endif // SYSTEMPORTENUMERATOR_H
