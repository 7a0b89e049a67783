#ifndef SCALESESSION_H
#define SCALESESSION_H

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include "CaptureFilter.h"
#include "ReadingStatistics.h"
#include "SampleRecord.h"
#include "ScaleProtocol.h"
#include "WeightLimits.h"

class SaveSamples;

// What one opened scale is doing, without a widget: paused, running or
// stepping, recording or not, which readings it takes, their statistics,
// the check-weighing limits and the lot. It takes each reading the link
// accepts and says with its signals what is shown, plotted and recorded;
// the recorder it is given writes the records while recording is on.
// Lives on the GUI thread, as the views that listen to it.
class ScaleSession : public QObject
{
    Q_OBJECT

public:
    explicit ScaleSession(QObject *parent = nullptr);

    // A new session is paused: readings are shown, not plotted or taken.
    void pause() { setPaused(true); }
    void go() { setPaused(false); }
    // Takes the reading on show and pauses. The operator chose it, so no
    // capture mode leaves it out.
    void step();
    bool isPaused() const { return paused; }
    bool isRecording() const { return recording; }
    void setRecording(bool on);
    // The recorder becomes a child of the session.
    SaveSamples *recorder() const;
    void setRecorder(SaveSamples *recorder);

    // The kind of scale read: whether its replies say a weight is stable.
    void setScaleType(ScaleProtocol::Type type);
    // The operator's name for the scale, in each record.
    QString scaleName() const { return name; }
    void setScaleName(const QString &scaleName);
    CaptureFilter::Mode captureMode() const { return capture.mode(); }
    void setCaptureMode(CaptureFilter::Mode mode);
    double loadThreshold() const { return capture.threshold(); }
    void setLoadThreshold(double change);
    int loadsRecorded() const { return capture.loads(); }
    // The statistics of the readings taken, recorded or not.
    const ReadingStatistics &statistics() const { return stats; }
    void resetStatistics();
    const WeightLimits &limits() const { return weightLimits; }
    void setLimits(const WeightLimits &limits);
    // The lot or batch the readings are taken for: a new one starts the
    // statistics and the load count again.
    QString lot() const { return lotName; }
    void setLot(const QString &lot);

    // The reading on show as the scale sent it, less blanks, and its unit;
    // both empty while nothing has come or a placeholder is on show.
    QString reading() const { return lastValue; }
    QString readingUnit() const { return lastValue.isEmpty() ? QString() : lastUnits; }
    // The reading as a number with a decimal point, as the read-out, the
    // plot and the limits take it; empty as reading() is.
    QString value() const;
    // The unit of the last thing the scale sent, a placeholder's included.
    QString units() const { return lastUnits; }
    // Whether the scale called the reading on show stable.
    bool isStable() const { return lastStable; }
    // The readings plotted so far.
    int readings() const { return plottedCount; }

public slots:
    // Whether the next reading is one the scale calls stable; a reading
    // not told of is.
    void setStable(bool stable) { nextStable = stable; }
    // A reading the link accepted at taken, or a time-out placeholder
    // ("--" in it): the placeholder is shown, never plotted or taken.
    void take(const QString &sample, const QString &units, const QDateTime &taken);

signals:
    // What the read-out shows: the reading as a number, or a placeholder.
    void readingShown(const QString &value, const QString &units, bool placeholder, bool stable);
    // A reading plotted as point number index.
    void plotted(int index, double value);
    // A reading taken as a record, whether recording is on or off; the
    // statistics and the load count include it.
    void taken(const SampleRecord &record);
    void limitsChanged();
    void scaleNameChanged(QString scaleName);
    // A mode, the capture mode or its threshold, the lot, or the statistics
    // changed otherwise than by a reading taken.
    void changed();

private:
    void setPaused(bool on);
    void plotLast();
    void takeLast(const QString &kind);

    bool paused = true;
    bool recording = false;
    QPointer<SaveSamples> sampleRecorder;
    bool marked = false;
    QString name;
    CaptureFilter capture;
    ReadingStatistics stats;
    WeightLimits weightLimits;
    QString lotName;
    // The last reading as the scale sent it, less blanks, for Step: the
    // read-out's number would round it to six digits.
    QString lastValue;
    QString lastUnits;
    // When the link accepted the last reading: its records carry that time,
    // however late the GUI thread comes to them.
    QDateTime lastTaken;
    bool lastStable = true;
    bool nextStable = true;
    int plottedCount = 0;
};

#endif // SCALESESSION_H
