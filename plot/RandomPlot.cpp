#include "RandomPlot.h"

#include "GraphAttr.h"
#include "PlotCanvas.h"
#include "PlotScaleDraw.h"
#include "Zoomer.h"

#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>

#include <algorithm>
#include <cmath>

RandomPlot::RandomPlot(QWidget *parent)
    : IncrementalPlot(parent)
    , grid(nullptr)
    , zoomer(nullptr)
    , yMax(1.0)
    , yMin(0.0)
    , following(false)
{
    setFrameStyle(QFrame::NoFrame);
    setLineWidth(0);
    // Opaque, in the window's colour it showed through: when a followed axis
    // needs another width, the moved axes and canvas repaint the plot alone,
    // not the document window's frame and title under it.
    setAutoFillBackground(true);
    auto *plotCanvas = new PlotCanvas(this);
    plotCanvas->setLineWidth(2);
    setCanvas(plotCanvas);
    setAxisScaleDraw(QwtPlot::yLeft, new PlotScaleDraw);
    setAxisScaleDraw(QwtPlot::xBottom, new PlotScaleDraw);
    // Unaligned, the axis' ends sit the canvas margin inside the frame.
    plotLayout()->setAlignCanvasToScales(false);
    plotLayout()->setCanvasMargin(Inset);

    grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(Qt::gray), 0, Qt::DotLine);
    grid->attach(this);

    setCanvasBackground(QBrush(QColor(29, 100, 141)));

    // Positions, not time: the bottom axis always spans the whole window.
    setAxisScale(QwtPlot::xBottom, 0, WindowSize, 0);
    setAxisScale(QwtPlot::yLeft, yMin, yMax, 0);

    replot();

    makeZoomer();
}

QSize RandomPlot::sizeHint() const
{
    return QSize(540, 400);
}

void RandomPlot::applyGraphAttr(GraphAttr *attr)
{
    if (!attr)
        return;
    grid->setMajorPen(QPen(QBrush(attr->getGridColor()), 0, Qt::DotLine));
    applyCurveAttr(attr);
}

void RandomPlot::appendMyPoint(double x, double y)
{
    // The reading number is the caller's; the window decides the position.
    Q_UNUSED(x)

    appendValue(y);

    // An infinite reading would make the axis infinite; like a NaN it is
    // drawn as it comes and leaves the range alone. The widening range is
    // kept while following, for the moment following is switched off.
    bool widened = false;
    if (std::isfinite(y)) {
        if (y + RangeMargin > yMax) {
            yMax = y + RangeMargin;
            widened = true;
        } else if (y - RangeMargin < yMin) {
            yMin = y - RangeMargin;
            widened = true;
        }
    }

    if (following) {
        // While zoomed the operator's view stays; unzooming finds the range.
        if (zoomer->zoomRectIndex() == 0 && followReadings())
            return;
    } else if (widened) {
        resetRange(yMin, yMax);
        return;
    }
    // The axes are as they were: the canvas alone is redrawn.
    static_cast<QwtPlotCanvas *>(canvas())->replot();
}

void RandomPlot::setFollowing(bool on)
{
    if (on == following)
        return;
    following = on;
    double lower = yMin;
    double upper = yMax;
    if (following && !followedRange(&lower, &upper)) {
        lower = yMin;
        upper = yMax;
    }
    resetRange(lower, upper);
}

bool RandomPlot::followedRange(double *lower, double *upper) const
{
    double low = qInf();
    double high = -qInf();
    for (const double value : values()) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (low > high)
        return false;
    const double narrowest = std::max(MinimumSpan, MinimumSpan * std::max(std::fabs(low), std::fabs(high)));
    if (high - low < narrowest) {
        const double middle = low / 2 + high / 2;
        low = middle - narrowest / 2;
        high = middle + narrowest / 2;
    }
    const double margin = FollowMargin * (high - low);
    *lower = low - margin;
    *upper = high + margin;
    return true;
}

void RandomPlot::resetRange(double lower, double upper)
{
    // The outgoing zoomer's layout changes (bar margins, border distances,
    // alignment) would outlive it; stepping it back to its base gives them
    // back through the same path a right click takes.
    if (zoomer->zoomRectIndex() > 0)
        zoomer->zoom(0);
    // Until the event loop deletes it, it must not answer the mouse.
    zoomer->setEnabled(false);

    setAxisScale(QwtPlot::xBottom, 0, WindowSize, 0);
    setAxisScale(QwtPlot::yLeft, lower, upper, 0);

    // The zoom stack holds the old range, so a new zoomer takes the new one
    // as its base.
    zoomer->deleteLater();
    makeZoomer();

    replot();
}

void RandomPlot::makeZoomer()
{
    zoomer = new Zoomer(static_cast<QwtPlotCanvas *>(canvas()));
    connect(zoomer, &Zoomer::zoomed, this, &RandomPlot::zoomerMoved);
}

// Back at the base after a zoom, a followed axis takes the readings' range
// as it is now, not as it was when the zoom began.
void RandomPlot::zoomerMoved()
{
    if (following && sender() == zoomer && zoomer->zoomRectIndex() == 0)
        followReadings();
}

bool RandomPlot::followReadings()
{
    double lower = 0;
    double upper = 0;
    const QwtInterval shown = axisInterval(QwtPlot::yLeft);
    if (!followedRange(&lower, &upper) || (lower == shown.minValue() && upper == shown.maxValue()))
        return false;
    setAxisScale(QwtPlot::yLeft, lower, upper, 0);
    replot();
    zoomer->setZoomBase(false);
    return true;
}
