#ifndef INCREMENTALPLOT_H
#define INCREMENTALPLOT_H

#include <QVector>

#include <qwt_plot.h>

class GraphAttr;
class QwtPlotCurve;

// A plot of the latest readings: one curve over a window of at most
// WindowSize positions. Once the window is full the newest value is always at
// the last position and the oldest drops off the left edge.
class IncrementalPlot : public QwtPlot
{
    Q_OBJECT

public:
    static constexpr int WindowSize = 1000;

    explicit IncrementalPlot(QWidget *parent = nullptr);
    ~IncrementalPlot() override;

    // The caller replots: it knows whether the axes changed with the value.
    void appendValue(double value);
    // The values in the window, oldest first.
    QVector<double> values() const;
    void applyCurveAttr(GraphAttr *attr);

private:
    QwtPlotCurve *curve;
    QVector<double> xData;
    QVector<double> yData;
    int sampleCount;
};

#endif // INCREMENTALPLOT_H
