#include "PlotCanvas.h"

#include <QPaintEvent>

PlotCanvas::PlotCanvas(QwtPlot *plot)
    : QwtPlotCanvas(plot)
    , borderExposed(true)
{
    setPaintAttribute(QwtPlotCanvas::BackingStore, false);
    setPaintAttribute(QwtPlotCanvas::Opaque, true);
}

void PlotCanvas::paintEvent(QPaintEvent *event)
{
    borderExposed = !contentsRect().contains(event->region().boundingRect());
    QwtPlotCanvas::paintEvent(event);
    borderExposed = true;
}

void PlotCanvas::drawBorder(QPainter *painter)
{
    if (borderExposed)
        QwtPlotCanvas::drawBorder(painter);
}
