#include "PlotTextEngine.h"

void PlotTextEngine::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // Qwt owns the engine from here.
    QwtText::setTextEngine(Format, new PlotTextEngine);
}

void PlotTextEngine::textMargins(const QFont &font, const QString &text, double &left,
                                 double &right, double &top, double &bottom) const
{
    if (!known || font != lastFont) {
        QwtPlainTextEngine::textMargins(font, text, lastMargins[0], lastMargins[1], lastMargins[2],
                                        lastMargins[3]);
        lastFont = font;
        known = true;
    }
    left = lastMargins[0];
    right = lastMargins[1];
    top = lastMargins[2];
    bottom = lastMargins[3];
}
