#ifndef RANDOMPLOT_H
#define RANDOMPLOT_H

#include "IncrementalPlot.h"

class QwtPlotGrid;
class Zoomer;

// The real-time plot of one device: a fixed 1000-position horizontal axis, a
// value axis that only ever widens to fit the readings, and a zoomer with
// scroll bars. The caller sets titles for export itself (QwtPlot::setTitle,
// setAxisTitle) and clears them afterwards; live, the plot shows none.
class RandomPlot : public IncrementalPlot
{
    Q_OBJECT

public:
    static constexpr double RangeMargin = 0.1;

    explicit RandomPlot(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // Grid and curve only: the canvas background and the replot are the
    // caller's, so that a record costs a single redraw.
    void applyGraphAttr(GraphAttr *attr);

    Zoomer *getZoomer() const { return zoomer; }

public slots:
    void appendMyPoint(double x, double y);

private:
    void widen();

    QwtPlotGrid *grid;
    Zoomer *zoomer;
    double yMax;
    double yMin;
};

#endif // RANDOMPLOT_H
