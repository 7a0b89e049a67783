#include "DemoScales.h"

#include "PortSettingsStore.h"
#include "ScaleSimulator.h"

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
        const ScaleSetup setup{kind.type, ScaleProtocol::usualSettings(kind.type)};
        scale->setExpectedSettings(setup.line);
        if (!scale->start()) {
            delete scale;
            continue;
        }
        store->setTemporary(scale->portPath(), setup);
        scales << scale;
    }
    // Loads come and go on the two scales that tell, in turn: a few seconds
    // unsettled, then steady again.
    auto *swing = new QTimer(this);
    connect(swing, &QTimer::timeout, this, &DemoScales::settle);
    swing->start(3000);
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
