#ifndef PORTSETTINGSSTORE_H
#define PORTSETTINGSSTORE_H

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "CaptureFilter.h"
#include "RecordFormat.h"
#include "ScaleProtocol.h"
#include "WeightLimits.h"

class DeviceTask;

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

    // The operator's name for the scale on a port, and how a window on it
    // records; each setter says whether it was kept across restarts.
    QString scaleName(const QString &port) const;
    bool setScaleName(const QString &port, const QString &name);
    RecordFormat::Kind recordFormat(const QString &port) const;
    bool setRecordFormat(const QString &port, RecordFormat::Kind kind);
    CaptureFilter::Mode captureMode(const QString &port) const;
    bool setCaptureMode(const QString &port, CaptureFilter::Mode mode);
    double loadThreshold(const QString &port) const;
    bool setLoadThreshold(const QString &port, double change);
    // The check-weighing limits; a stored limit that is no number is unset.
    WeightLimits limits(const QString &port) const;
    bool setLimits(const QString &port, const WeightLimits &limits);
    // Gives a window opened on its port the name and recording choices kept.
    void applyTo(DeviceTask *task) const;
    // While on, nothing is written: every setup set is kept for this run only,
    // so that the demo leaves the real ports' settings as they are.
    void setDemo(bool on) { demo = on; }

private:
    QVariant value(const QString &port, const QString &key, const QVariant &fallback) const;
    bool setValue(const QString &port, const QString &key, const QVariant &value);
    static bool mayWrite();

    QHash<QString, ScaleSetup> temporary;
    // Values kept for this run only, under "port/key".
    QHash<QString, QVariant> temporaryValues;
    QStringList demoNames;
    bool demo = false;
};

#endif // PORTSETTINGSSTORE_H
