#include "ScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

#include <cmath>

ScrollBar::ScrollBar(QWidget *parent)
    : QScrollBar(parent)
{
    init();
}

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
    init();
}

ScrollBar::ScrollBar(double minBase, double maxBase, Qt::Orientation orientation,
                     QWidget *parent)
    : QScrollBar(orientation, parent)
{
    init();
    setBase(minBase, maxBase);
    moveSlider(minBase, maxBase);
}

void ScrollBar::init()
{
    // A vertical bar has its slider at the top for the largest values.
    reversed = orientation() == Qt::Vertical;
    baseMin = 0.0;
    baseMax = 1.0;
    baseTicks = 1000000;

    moveSlider(baseMin, baseMax);

    connect(this, QOverload<int>::of(&QScrollBar::sliderMoved),
            this, &ScrollBar::catchSliderMoved);
    connect(this, QOverload<int>::of(&QScrollBar::valueChanged),
            this, &ScrollBar::catchValueChanged);
}

void ScrollBar::setReversed(bool on)
{
    if (reversed == on)
        return;
    reversed = on;
    moveSlider(sliderMin(), sliderMax());
}

void ScrollBar::setBase(double min, double max)
{
    if (min == baseMin && max == baseMax)
        return;
    baseMin = min;
    baseMax = max;
    moveSlider(sliderMin(), sliderMax());
}

void ScrollBar::moveSlider(double min, double max)
{
    const double baseWidth = baseMax - baseMin;
    // An empty base would divide by zero; let the slider fill the bar instead.
    const double share = baseWidth != 0.0 ? (max - min) / baseWidth : 1.0;
    const int sliderTicks = int(std::lround(share * baseTicks));

    // Setting the slider from the zoom state must not pan the zoomer back.
    const QSignalBlocker blocker(this);

    setRange(sliderTicks / 2, baseTicks - sliderTicks / 2);
    setSingleStep(qMax(1, sliderTicks / 200));
    setPageStep(sliderTicks);

    int tick = valueToTick(min + (max - min) * 0.5);
    if (reversed)
        tick = baseTicks - tick;
    setSliderPosition(tick);
}

double ScrollBar::sliderMin() const
{
    double min = 0.0;
    double max = 0.0;
    sliderSpan(value(), min, max);
    return min;
}

double ScrollBar::sliderMax() const
{
    double min = 0.0;
    double max = 0.0;
    sliderSpan(value(), min, max);
    return max;
}

int ScrollBar::thickness() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, &option, this);
}

void ScrollBar::sliderSpan(int value, double &min, double &max) const
{
    if (reversed)
        value = baseTicks - value;
    const int page = pageStep();
    min = tickToValue(value - page / 2);
    max = tickToValue(value + page / 2);
}

int ScrollBar::valueToTick(double value) const
{
    const double baseWidth = baseMax - baseMin;
    if (baseWidth == 0.0)
        return 0;
    return int((value - baseMin) / baseWidth * baseTicks);
}

double ScrollBar::tickToValue(int tick) const
{
    return baseMin + (baseMax - baseMin) * tick / baseTicks;
}

void ScrollBar::catchValueChanged(int value)
{
    double min = 0.0;
    double max = 0.0;
    sliderSpan(value, min, max);
    emit valueChanged(orientation(), min, max);
}

void ScrollBar::catchSliderMoved(int value)
{
    double min = 0.0;
    double max = 0.0;
    sliderSpan(value, min, max);
    emit sliderMoved(orientation(), min, max);
}
