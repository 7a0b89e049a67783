#ifndef CAPTUREFILTER_H
#define CAPTUREFILTER_H

#include <QCoreApplication>
#include <QString>

#include "ScaleProtocol.h"

// Which of the readings a running window takes as records: every one, the
// ones the scale calls stable, or one per load placed on the scale.
class CaptureFilter
{
    Q_DECLARE_TR_FUNCTIONS(CaptureFilter)

public:
    enum Mode { EveryReading, StableOnly, OnePerLoad };

    // Equal readings in a row that make a settled weight on a scale whose
    // replies carry no stability mark.
    static constexpr int settleCount = 3;
    static constexpr double defaultThreshold = 0.1;

    Mode mode() const { return current; }
    // A new mode starts afresh: the next settled load is recorded.
    void setMode(Mode mode);
    double threshold() const { return minimumChange; }
    void setThreshold(double change) { minimumChange = change; }
    // Loads recorded since the window opened or the count restarted.
    int loads() const { return loadCount; }
    // A new lot counts from none; the load on the scale stays the one
    // weighed, so it is not counted again.
    void restartCount() { loadCount = 0; }

    // Whether a reading is taken. marked: the scale's kind says in each
    // reply whether the weight is stable; otherwise it has settled only
    // after settleCount equal readings.
    bool takes(const QString &value, bool stable, bool marked);
    // A time-out or a pause: the readings before it are not followed on by
    // the next one.
    void breakRun();

    static bool marksStability(ScaleProtocol::Type type);
    // The names stored in the settings, and the operator's.
    static QString key(Mode mode);
    static Mode fromKey(const QString &key);
    static QString name(Mode mode);

private:
    bool settledLoad(const QString &value, bool stable, bool marked);

    Mode current = EveryReading;
    double minimumChange = defaultThreshold;
    int loadCount = 0;
    QString previous;
    int equalRun = 0;
    // The settled weight the next load must differ from; an empty scale first.
    double reference = 0;
};

#endif // CAPTUREFILTER_H
