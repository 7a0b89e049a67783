#ifndef PLOTCANVAS_H
#define PLOTCANVAS_H

#include <qwt_plot_canvas.h>

// The canvas of the real-time plot. It paints straight onto the widget, with
// no pixmap of its own: every reading redraws the contents anyway, and the
// pixmap would only add a copy. Its frame never changes, so it is drawn only
// when a paint reaches it, not at each reading, which repaints the contents.
class PlotCanvas : public QwtPlotCanvas
{
    Q_OBJECT

public:
    explicit PlotCanvas(QwtPlot *plot);

protected:
    void paintEvent(QPaintEvent *event) override;
    void drawBorder(QPainter *painter) override;

private:
    bool borderExposed;
};

#endif // PLOTCANVAS_H
