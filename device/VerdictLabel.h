#ifndef VERDICTLABEL_H
#define VERDICTLABEL_H

#include <QLabel>

#include "WeightLimits.h"

// The verdict beside the read-out: the word on its colour, so that an
// operator who cannot tell red from green reads it too. It says so when the
// reading is in another unit than the limits, and is hidden while the
// window has no limits or hides its read-out.
class VerdictLabel : public QLabel
{
    Q_OBJECT

public:
    explicit VerdictLabel(QWidget *parent = nullptr);

    const WeightLimits &limits() const { return current; }
    void setLimits(const WeightLimits &limits);
    void setReadoutShown(bool shown);
    // The reading on show, a number with a decimal point, or empty for a
    // placeholder. Only a change of the verdict repaints the word.
    void follow(const QString &value, const QString &units);
    WeightLimits::Verdict verdict() const { return shown; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void paint();

    WeightLimits current;
    WeightLimits::Verdict shown = WeightLimits::NoVerdict;
    // The last verdict given, kept over placeholders: the beep is for a
    // reading that turns under or over, not for one that comes back so.
    WeightLimits::Verdict lastGiven = WeightLimits::NoVerdict;
    bool otherUnit = false;
    bool readoutShown = true;
};

#endif // VERDICTLABEL_H
