#ifndef RANDOMPLOT_H
#define RANDOMPLOT_H

#include "IncrementalPlot.h"

class QwtPlotGrid;
class Zoomer;

// The real-time plot of one device: a fixed 1000-position horizontal axis, a
// value axis that either only ever widens to fit the readings or follows the
// readings in the window, and a zoomer with scroll bars. The caller sets
// titles for export itself (QwtPlot::setTitle, setAxisTitle) and clears them
// afterwards; live, the plot shows none.
class RandomPlot : public IncrementalPlot
{
    Q_OBJECT

public:
    static constexpr double RangeMargin = 0.1;
    // Following: the margin on each side, as a share of the readings' span,
    // and the narrowest span shown, as a share of the weight (and at least
    // MinimumSpan), so that a steady weight is a line in the middle.
    static constexpr double FollowMargin = 0.1;
    static constexpr double MinimumSpan = 0.001;
    // Pixels between the axis' ends and the canvas frame: a marker at an
    // extreme of the axis stays clear of the frame.
    static constexpr int Inset = 4;

    explicit RandomPlot(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // Grid and curve only: the canvas background and the replot are the
    // caller's, so that a record costs a single redraw.
    void applyGraphAttr(GraphAttr *attr);

    Zoomer *getZoomer() const { return zoomer; }
    bool isFollowing() const { return following; }

public slots:
    void appendMyPoint(double x, double y);
    // On: the value axis spans the readings in the window; off: the axis
    // that only widens, over every reading since the plot opened.
    void setFollowing(bool on);

private slots:
    void zoomerMoved();

private:
    void resetRange(double lower, double upper);
    bool followedRange(double *lower, double *upper) const;
    // Sets a followed axis to the readings' range; false if it was there.
    bool followReadings();
    void makeZoomer();

    QwtPlotGrid *grid;
    Zoomer *zoomer;
    double yMax;
    double yMin;
    bool following;
};

#endif // RANDOMPLOT_H
