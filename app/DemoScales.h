#ifndef DEMOSCALES_H
#define DEMOSCALES_H

#include <QList>
#include <QObject>

class PortSettingsStore;
class ScaleSimulator;

// Simulated scales of four kinds, inside the program, for a first look
// without a scale. Their ports (ttyDEMO<n> in a folder of their own) are
// offered in the drop-down like any other, each already set to its kind and
// line settings for this run only.
class DemoScales : public QObject
{
    Q_OBJECT

public:
    DemoScales(PortSettingsStore *store, QObject *parent = nullptr);

    QStringList ports() const;
    // Where the demo publishes its ports.
    static QString directory();

private:
    void settle();

    QList<ScaleSimulator *> scales;
    int tick = 0;
};

#endif // DEMOSCALES_H
