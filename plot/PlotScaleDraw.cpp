#include "PlotScaleDraw.h"

#include "PlotTextEngine.h"

PlotScaleDraw::PlotScaleDraw()
{
    PlotTextEngine::install();
}

QwtText PlotScaleDraw::label(double value) const
{
    return QwtText(QwtScaleDraw::label(value).text(), PlotTextEngine::Format);
}
