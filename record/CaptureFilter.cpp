#include "CaptureFilter.h"

#include <QtMath>

void CaptureFilter::setMode(Mode mode)
{
    current = mode;
    reference = 0;
    breakRun();
}

void CaptureFilter::breakRun()
{
    previous.clear();
    equalRun = 0;
}

bool CaptureFilter::takes(const QString &value, bool stable, bool marked)
{
    switch (current) {
    case StableOnly:
        return stable;
    case OnePerLoad:
        return settledLoad(value, stable, marked);
    default:
        return true;
    }
}

// A settled weight that differs from the last one by more than the threshold
// is a new load, unless the scale has only been emptied: taking the piece
// off is no piece.
bool CaptureFilter::settledLoad(const QString &value, bool stable, bool marked)
{
    equalRun = value == previous ? equalRun + 1 : 1;
    previous = value;
    if (!stable || (!marked && equalRun < settleCount))
        return false;
    const double weight = value.toDouble();
    if (qAbs(weight - reference) <= minimumChange)
        return false;
    reference = weight;
    if (qAbs(weight) <= minimumChange)
        return false;
    ++loadCount;
    return true;
}

// The kinds whose every reply says whether the weight is stable; a
// continuous scale may send lines of any kind, with or without the mark.
bool CaptureFilter::marksStability(ScaleProtocol::Type type)
{
    return type == ScaleProtocol::Sics || type == ScaleProtocol::SicsMarked
           || type == ScaleProtocol::HeaderComma || type == ScaleProtocol::ImmediatePrint;
}

QString CaptureFilter::key(Mode mode)
{
    switch (mode) {
    case StableOnly:
        return QStringLiteral("stable");
    case OnePerLoad:
        return QStringLiteral("per-load");
    default:
        return QStringLiteral("every");
    }
}

CaptureFilter::Mode CaptureFilter::fromKey(const QString &key)
{
    for (Mode mode : {StableOnly, OnePerLoad})
        if (CaptureFilter::key(mode) == key)
            return mode;
    return EveryReading;
}

QString CaptureFilter::name(Mode mode)
{
    switch (mode) {
    case StableOnly:
        return tr("Only stable readings");
    case OnePerLoad:
        return tr("One record per load");
    default:
        return tr("Every reading");
    }
}
