#ifndef WEIGHTLIMITS_H
#define WEIGHTLIMITS_H

#include <QColor>
#include <QCoreApplication>
#include <QString>

#include <optional>

// A window's check-weighing limits: a low and a high weight in one unit,
// either of them unset. A reading in that unit is under, within or over
// them; one equal to a limit is within. A reading in any other unit gets no
// verdict, since grams are not compared with kilograms.
class WeightLimits
{
    Q_DECLARE_TR_FUNCTIONS(WeightLimits)

public:
    enum Verdict { NoVerdict, Under, Ok, Over };

    std::optional<double> low;
    std::optional<double> high;
    QString unit;
    // A beep when the verdict turns to under or over.
    bool beep = false;

    bool isSet() const { return low.has_value() || high.has_value(); }
    // value: a number with a decimal point, as the read-out takes it.
    Verdict verdict(const QString &value, const QString &units) const;

    // "under", "ok", "over", or empty: what a record carries.
    static QString key(Verdict verdict);
    // The word under the read-out, in the program's language.
    static QString word(Verdict verdict);
    // The word's background and its text, of high contrast to each other
    // whatever the palette around them; none for NoVerdict.
    static QColor background(Verdict verdict);
    static QColor ink(Verdict verdict);
    // Said in place of a verdict when the reading is in another unit.
    QString otherUnitText() const;
    // A limit as the program's language writes it; empty when unset.
    static QString limitText(const std::optional<double> &limit);

    bool operator==(const WeightLimits &other) const;
    bool operator!=(const WeightLimits &other) const { return !(*this == other); }
};

#endif // WEIGHTLIMITS_H
