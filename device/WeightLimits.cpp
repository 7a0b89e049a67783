#include "WeightLimits.h"

#include "DeviceTask.h"

WeightLimits::Verdict WeightLimits::verdict(const QString &value, const QString &units) const
{
    if (!isSet() || units != unit)
        return NoVerdict;
    bool isNumber = false;
    const double weight = value.toDouble(&isNumber);
    if (!isNumber)
        return NoVerdict;
    if (low && weight < *low)
        return Under;
    if (high && weight > *high)
        return Over;
    return Ok;
}

QString WeightLimits::key(Verdict verdict)
{
    switch (verdict) {
    case Under:
        return QStringLiteral("under");
    case Ok:
        return QStringLiteral("ok");
    case Over:
        return QStringLiteral("over");
    default:
        return QString();
    }
}

QString WeightLimits::word(Verdict verdict)
{
    switch (verdict) {
    case Under:
        return tr("UNDER");
    case Ok:
        return tr("OK");
    case Over:
        return tr("OVER");
    default:
        return QString();
    }
}

// Amber under black, and white over dark green and dark red: each pair
// reads at a contrast of more than 7 to 1, on a light palette or a dark one.
QColor WeightLimits::background(Verdict verdict)
{
    switch (verdict) {
    case Under:
        return QColor(0xff, 0xc1, 0x07);
    case Ok:
        return QColor(0x1b, 0x5e, 0x20);
    case Over:
        return QColor(0x9b, 0x1c, 0x1c);
    default:
        return QColor();
    }
}

QColor WeightLimits::ink(Verdict verdict)
{
    if (verdict == NoVerdict)
        return QColor();
    return verdict == Under ? QColor(Qt::black) : QColor(Qt::white);
}

QString WeightLimits::otherUnitText() const
{
    return tr("limits are in %1").arg(unit);
}

QString WeightLimits::limitText(const std::optional<double> &limit)
{
    if (!limit)
        return QString();
    return QString::number(*limit, 'g', 10).replace(QLatin1Char('.'), DeviceTask::decimalPoint());
}

bool WeightLimits::operator==(const WeightLimits &other) const
{
    return low == other.low && high == other.high && unit == other.unit && beep == other.beep;
}
