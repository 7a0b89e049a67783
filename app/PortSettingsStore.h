#ifndef PORTSETTINGSSTORE_H
#define PORTSETTINGSSTORE_H

#include <QHash>
#include <QString>

#include "ScaleProtocol.h"

// The kind of scale and the line settings each port is read with, kept in the
// user's settings across restarts. A port never set is read as the built-in
// scale at 9600 8N1.
class PortSettingsStore
{
public:
    ScaleSetup setup(const QString &port) const;
    void setSetup(const QString &port, const ScaleSetup &setup);
    // For this run only, never written: the demo's simulated ports.
    void setTemporary(const QString &port, const ScaleSetup &setup);

private:
    QHash<QString, ScaleSetup> temporary;
};

#endif // PORTSETTINGSSTORE_H
