#include "VerdictLabel.h"

#include <QApplication>
#include <QEvent>

VerdictLabel::VerdictLabel(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("verdictLabel"));
    setTextFormat(Qt::PlainText); // it names the unit the limits are in
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    setMargin(4);
    paint();
}

void VerdictLabel::setLimits(const WeightLimits &limits)
{
    current = limits;
    shown = WeightLimits::NoVerdict;
    lastGiven = WeightLimits::NoVerdict;
    otherUnit = false;
    paint();
}

void VerdictLabel::setReadoutShown(bool isShown)
{
    readoutShown = isShown;
    setVisible(readoutShown && current.isSet());
}

void VerdictLabel::follow(const QString &value, const QString &units)
{
    if (!current.isSet())
        return;
    const WeightLimits::Verdict verdict = current.verdict(value, units);
    const bool inOtherUnit = !value.isEmpty() && units != current.unit;
    if (verdict == shown && inOtherUnit == otherUnit)
        return;
    if (current.beep && verdict != lastGiven
        && (verdict == WeightLimits::Under || verdict == WeightLimits::Over))
        QApplication::beep();
    if (verdict != WeightLimits::NoVerdict)
        lastGiven = verdict;
    shown = verdict;
    otherUnit = inOtherUnit;
    paint();
}

void VerdictLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        paint();
    QLabel::changeEvent(event);
}

void VerdictLabel::paint()
{
    setVisible(readoutShown && current.isSet());
    QFont font;
    if (shown == WeightLimits::NoVerdict) {
        // The palette of the window around it, and a note in its usual font.
        setPalette(QPalette());
        setAutoFillBackground(false);
        setFont(font);
        setMinimumWidth(0);
        setText(otherUnit ? current.otherUnitText() : QString());
        return;
    }
    QPalette palette;
    palette.setColor(QPalette::Window, WeightLimits::background(shown));
    palette.setColor(QPalette::WindowText, WeightLimits::ink(shown));
    setPalette(palette);
    setAutoFillBackground(true);
    font.setPointSize(20);
    font.setBold(true);
    setFont(font);
    // As wide as the widest word, so that the row does not move as it changes.
    int widest = 0;
    for (const WeightLimits::Verdict verdict : {WeightLimits::Under, WeightLimits::Ok, WeightLimits::Over})
        widest = qMax(widest, fontMetrics().horizontalAdvance(WeightLimits::word(verdict)));
    setMinimumWidth(widest + 2 * (margin() + frameWidth()) + fontMetrics().averageCharWidth());
    setText(WeightLimits::word(shown));
}
