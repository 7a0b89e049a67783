#include "DemoScales.h"

#include "PortSettingsStore.h"
#include "ScaleSimulator.h"

#include <QDir>
#include <QTimer>

DemoScales::DemoScales(PortSettingsStore *store, QObject *parent)
    : QObject(parent)
{
    struct Kind
    {
        ScaleProtocol::Type type;
        double weight;
        const char *unit;
    };
    const Kind kinds[] = {{ScaleProtocol::BuiltIn, 12.345, "kg"},
                          {ScaleProtocol::Sics, 100.0, "g"},
                          {ScaleProtocol::HeaderComma, 2.5, "kg"},
                          {ScaleProtocol::Continuous, 250.0, "g"}};
    for (const Kind &kind : kinds) {
        auto *scale = new ScaleSimulator(this);
        scale->setType(kind.type);
        scale->setWeight(kind.weight);
        if (kind.type != ScaleProtocol::BuiltIn)
            scale->setUnit(kind.unit);
        // Ports of its own, never the simulator's ttySIM<n>: a setting made
        // in the demo must not follow a real simulator onto its port.
        if (!scale->startNumbered(directory(), QStringLiteral("ttyDEMO"))) {
            delete scale;
            continue;
        }
        store->addDemoPort(scale->portPath(), {kind.type, ScaleProtocol::usualSettings(kind.type)});
        scales << scale;
    }
    // Loads come and go on the two scales that tell, in turn: a few seconds
    // unsettled, then steady again.
    auto *swing = new QTimer(this);
    connect(swing, &QTimer::timeout, this, &DemoScales::settle);
    swing->start(3000);
}

QString DemoScales::directory()
{
    return QDir::tempPath() + QStringLiteral("/scaleacq-demo");
}

QStringList DemoScales::ports() const
{
    QStringList names;
    for (const ScaleSimulator *scale : scales)
        names << scale->portPath();
    return names;
}

void DemoScales::settle()
{
    ++tick;
    for (ScaleSimulator *scale : qAsConst(scales)) {
        if (scale->type() == ScaleProtocol::Sics)
            scale->setStable(tick % 2 == 0);
        else if (scale->type() == ScaleProtocol::HeaderComma)
            scale->setStable(tick % 2 == 1);
    }
}
