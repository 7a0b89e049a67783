#ifndef PORTSETTINGSSTORE_H
#define PORTSETTINGSSTORE_H

#include <QHash>
#include <QString>
#include <QStringList>

#include "ScaleProtocol.h"

// The kind of scale and the line settings each port is read with, kept in the
// user's settings across restarts. A port never set is read as the built-in
// scale at 9600 8N1. A stored value the dialog does not offer is never put on
// the line: the kind's usual value is used in its place.
class PortSettingsStore
{
public:
    // The speeds a port can be set to.
    static QList<qint32> baudRates();

    // ignored, when given, gets "key=value" for each stored entry left out.
    ScaleSetup setup(const QString &port, QStringList *ignored = nullptr) const;
    // Keeps the setup across restarts; false when it could not be written, and
    // then it is kept for this run only.
    bool setSetup(const QString &port, const ScaleSetup &setup);
    // Where the settings are written.
    static QString fileName();

    // For this run only, never written.
    void setTemporary(const QString &port, const ScaleSetup &setup) { temporary.insert(port, setup); }
    // A port the demo provides, with its setup for this run; never written.
    void addDemoPort(const QString &port, const ScaleSetup &setup);
    QStringList demoPorts() const { return demoNames; }
    // While on, nothing is written: every setup set is kept for this run only,
    // so that the demo leaves the real ports' settings as they are.
    void setDemo(bool on) { demo = on; }

private:
    QHash<QString, ScaleSetup> temporary;
    QStringList demoNames;
    bool demo = false;
};

#endif // PORTSETTINGSSTORE_H
