#include "ScaleSession.h"

#include "SaveSamples.h"

namespace {

// The read-out, the plot and the statistics need a number; the record keeps
// the scale's own digits, decimal comma and all.
QString asNumber(QString value)
{
    return value.replace(QLatin1Char(','), QLatin1Char('.'));
}

} // namespace

ScaleSession::ScaleSession(QObject *parent)
    : QObject(parent)
{
}

void ScaleSession::setPaused(bool on)
{
    if (on == paused)
        return;
    paused = on;
    emit changed();
}

void ScaleSession::setRecording(bool on)
{
    if (on == recording)
        return;
    recording = on;
    emit changed();
}

SaveSamples *ScaleSession::recorder() const
{
    return sampleRecorder;
}

void ScaleSession::setRecorder(SaveSamples *recorder)
{
    recorder->setParent(this);
    sampleRecorder = recorder;
}

void ScaleSession::setScaleType(ScaleProtocol::Type type)
{
    marked = CaptureFilter::marksStability(type);
}

void ScaleSession::setScaleName(const QString &scaleName)
{
    if (scaleName == name)
        return;
    name = scaleName;
    emit scaleNameChanged(name);
}

void ScaleSession::setCaptureMode(CaptureFilter::Mode mode)
{
    capture.setMode(mode);
    emit changed();
}

void ScaleSession::setLoadThreshold(double change)
{
    capture.setThreshold(change);
    emit changed();
}

void ScaleSession::resetStatistics()
{
    stats.reset();
    emit changed();
}

void ScaleSession::setLimits(const WeightLimits &limits)
{
    weightLimits = limits;
    emit limitsChanged();
}

void ScaleSession::setLot(const QString &lot)
{
    if (lot == lotName)
        return;
    lotName = lot;
    capture.restartCount();
    resetStatistics();
}

QString ScaleSession::value() const
{
    return asNumber(lastValue);
}

void ScaleSession::take(const QString &sample, const QString &units, const QDateTime &taken)
{
    // Time-out placeholders are shown, never plotted or recorded, not even
    // by a Step taken while one is on show.
    const bool placeholder = sample.contains(QLatin1String("--")) || units.contains(QLatin1String("--"));
    lastStable = nextStable;
    nextStable = true;
    lastValue = placeholder ? QString() : QString(sample).remove(QLatin1Char(' '));
    lastUnits = units;
    lastTaken = taken;
    emit readingShown(asNumber(sample), units, placeholder, lastStable);
    if (paused || placeholder) {
        capture.breakRun();
        return;
    }
    // Every reading is plotted; the capture mode picks those taken.
    plotLast();
    if (capture.takes(value(), lastStable, marked))
        takeLast(QStringLiteral("auto"));
}

// A step records the reading on show with the time it came, like its auto
// line: the file says when the scale weighed, not when a key was pressed.
void ScaleSession::step()
{
    setPaused(true);
    if (lastValue.isEmpty())
        return;
    plotLast();
    takeLast(QStringLiteral("step"));
}

void ScaleSession::plotLast()
{
    emit plotted(plottedCount++, value().toDouble());
}

void ScaleSession::takeLast(const QString &kind)
{
    const QString number = value();
    stats.add(number, lastUnits);
    const QString verdict = WeightLimits::key(weightLimits.verdict(number, lastUnits));
    const SampleRecord record{kind, lastValue, lastUnits, lastTaken, lastStable, name, lotName, verdict};
    emit taken(record);
    if (recording && sampleRecorder)
        sampleRecorder->addRecord(record);
}
