#include "Zoomer.h"

#include <QPen>

#include <qwt_plot.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

Zoomer::Zoomer(QwtPlotCanvas *canvas)
    : ScrollZoomer(canvas)
{
    setRubberBandPen(QPen(QColor(Qt::red)));
}

QwtText Zoomer::trackerTextF(const QPointF &pos) const
{
    QwtText text = ScrollZoomer::trackerTextF(pos);
    // Its own colours on the canvas, whatever the palette's text colour.
    text.setBackgroundBrush(QBrush(Qt::white));
    text.setColor(Qt::black);
    return text;
}

void Zoomer::rescale()
{
    if (QwtPlot *plt = plot()) {
        QwtScaleWidget *scaleWidget = plt->axisWidget(yAxis());
        QwtScaleDraw *scaleDraw = scaleWidget->scaleDraw();

        // Zoomed labels have more digits; reserving room for a four-digit
        // label stops the canvas from shifting sideways at every zoom step.
        double minExtent = 0.0;
        if (zoomRectIndex() > 0) {
            minExtent = int(scaleDraw->spacing() + scaleDraw->maxTickLength() + 1);
            minExtent = int(minExtent + scaleDraw->labelSize(scaleWidget->font(), 1000).width());
        }
        scaleDraw->setMinimumExtent(minExtent);
    }

    ScrollZoomer::rescale();
}
