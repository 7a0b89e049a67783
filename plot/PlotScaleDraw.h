#ifndef PLOTSCALEDRAW_H
#define PLOTSCALEDRAW_H

#include <qwt_scale_draw.h>

// The scale of a device plot's axis: Qwt's labels, laid out and drawn by the
// plot's text engine, which is cheaper at a followed axis' many changes.
class PlotScaleDraw : public QwtScaleDraw
{
public:
    PlotScaleDraw();

    QwtText label(double value) const override;
};

#endif // PLOTSCALEDRAW_H
