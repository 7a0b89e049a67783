#ifndef ZOOMER_H
#define ZOOMER_H

#include "ScrollZoomer.h"

// The zoomer of the real-time plot: a red rubber band, a readable tracker
// over the dark canvas, and a value axis that keeps its width while zoomed.
class Zoomer : public ScrollZoomer
{
    Q_OBJECT

public:
    explicit Zoomer(QwtPlotCanvas *canvas);

    QwtText trackerTextF(const QPointF &pos) const override;

protected:
    void rescale() override;
};

#endif // ZOOMER_H
