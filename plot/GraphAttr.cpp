#include "GraphAttr.h"

GraphAttr::GraphAttr(const QColor &background, const QColor &grid, const QColor &curve,
                     const QColor &symbol, int style)
    : QObject(nullptr)
    , backgroundColor(background)
    , symbolColor(symbol)
    , curveColor(curve)
    , gridColor(grid)
    , curveStyle(style)
{
}

// Colours stay invalid; the style is steps, the style every plot starts with.
GraphAttr::GraphAttr(QObject *parent)
    : QObject(parent)
    , curveStyle(2)
{
}

GraphAttr *GraphAttr::createDefault()
{
    return new GraphAttr(QColor(29, 100, 141), Qt::gray, Qt::black, Qt::white, 2);
}
