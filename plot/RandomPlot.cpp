#include "RandomPlot.h"

#include "GraphAttr.h"
#include "Zoomer.h"

#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>

#include <cmath>

RandomPlot::RandomPlot(QWidget *parent)
    : IncrementalPlot(parent)
    , grid(nullptr)
    , zoomer(nullptr)
    , yMax(1.0)
    , yMin(0.0)
{
    setFrameStyle(QFrame::NoFrame);
    setLineWidth(0);
    if (QwtPlotCanvas *plotCanvas = qobject_cast<QwtPlotCanvas *>(canvas()))
        plotCanvas->setLineWidth(2);
    plotLayout()->setAlignCanvasToScales(true);

    grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(Qt::gray), 0, Qt::DotLine);
    grid->attach(this);

    setCanvasBackground(QBrush(QColor(29, 100, 141)));

    // Positions, not time: the bottom axis always spans the whole window.
    setAxisScale(QwtPlot::xBottom, 0, WindowSize, 0);
    setAxisScale(QwtPlot::yLeft, yMin, yMax, 0);

    replot();

    zoomer = new Zoomer(qobject_cast<QwtPlotCanvas *>(canvas()));
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
    // drawn as it comes and leaves the range alone.
    if (!std::isfinite(y))
        return;

    if (y + RangeMargin > yMax) {
        yMax = y + RangeMargin;
        widen();
    } else if (y - RangeMargin < yMin) {
        yMin = y - RangeMargin;
        widen();
    }
}

void RandomPlot::widen()
{
    // The outgoing zoomer's layout changes (bar margins, border distances,
    // alignment) would outlive it; stepping it back to its base gives them
    // back through the same path a right click takes.
    if (zoomer->zoomRectIndex() > 0)
        zoomer->zoom(0);
    // Until the event loop deletes it, it must not answer the mouse.
    zoomer->setEnabled(false);

    setAxisScale(QwtPlot::xBottom, 0, WindowSize, 0);
    setAxisScale(QwtPlot::yLeft, yMin, yMax, 0);

    // The zoom stack holds the old range, so a new zoomer takes the new one
    // as its base.
    zoomer->deleteLater();
    zoomer = new Zoomer(qobject_cast<QwtPlotCanvas *>(canvas()));

    replot();
}
