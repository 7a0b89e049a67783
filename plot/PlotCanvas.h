#ifndef PLOTCANVAS_H
#define PLOTCANVAS_H

#include <qwt_plot_canvas.h>

// The canvas of the real-time plot. Every reading redraws its contents, and
// they are drawn into an image first: the curve writes its pixels straight
// into it, which is far cheaper than painting them, and the image is one
// opaque copy onto the widget. Its frame never changes, so it is drawn only
// when a paint reaches it, not at each reading, which repaints the contents.
// A canvas the image cannot stand for (a style sheet, rounded corners, a
// scaled screen) is painted directly.
class PlotCanvas : public QwtPlotCanvas
{
    Q_OBJECT

public:
    explicit PlotCanvas(QwtPlot *plot);

protected:
    void paintEvent(QPaintEvent *event) override;
    void drawBorder(QPainter *painter) override;

private:
    bool paintsThroughImage() const;

    bool borderExposed;
};

#endif // PLOTCANVAS_H
