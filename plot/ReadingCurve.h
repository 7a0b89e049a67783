#ifndef READINGCURVE_H
#define READINGCURVE_H

#include <qwt_plot_curve.h>

class QImage;

// The curve of a device plot. A full window holds more readings than the
// canvas has pixel columns, so on screen the steps and the square markers are
// drawn once per pixel they reach rather than once per reading; vector
// exports get every reading as it is. Painted into an image (the canvas
// paints its contents into one), one-pixel steps and hollow square markers
// are written straight into its pixels: the same pixels the painter would
// fill, at a cost that hardly grows with how many of them the curve reaches.
class ReadingCurve : public QwtPlotCurve
{
public:
    explicit ReadingCurve(const QString &title);

protected:
    void drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override;
    void drawSteps(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;
    void drawSymbols(QPainter *painter, const QwtSymbol &symbol, const QwtScaleMap &xMap,
                     const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                     int to) const override;

private:
    // The readings from..to in whole pixels; a NaN is left out.
    QVector<QPoint> pixels(const QwtScaleMap &xMap, const QwtScaleMap &yMap, int from, int to) const;
};

#endif // READINGCURVE_H
