#ifndef GRAPHATTR_H
#define GRAPHATTR_H

#include <QColor>
#include <QObject>

// The look of a device plot, handed from the main window to every document
// window by pointer. Records are kept for the whole run, so a receiver may
// read one while applying it without owning it.
class GraphAttr : public QObject
{
    Q_OBJECT

public:
    // The argument order (background, grid, curve, symbol) is not the field
    // order; callers rely on it.
    GraphAttr(const QColor &background, const QColor &grid, const QColor &curve,
              const QColor &symbol, int style);
    explicit GraphAttr(QObject *parent);

    QColor getBackgroundColor() const { return backgroundColor; }
    QColor getSymbolColor() const { return symbolColor; }
    QColor getCurveColor() const { return curveColor; }
    QColor getGridColor() const { return gridColor; }
    int getCurveStyle() const { return curveStyle; }

    void setBackgroundColor(const QColor &color) { backgroundColor = color; }
    void setSymbolColor(const QColor &color) { symbolColor = color; }
    void setCurveColor(const QColor &color) { curveColor = color; }
    void setGridColor(const QColor &color) { gridColor = color; }
    void setCurveStyle(int style) { curveStyle = style; }

    // The record a new plot gives itself: blue canvas, gray grid, black steps
    // with white markers.
    static GraphAttr *createDefault();

private:
    QColor backgroundColor;
    QColor symbolColor;
    QColor curveColor;
    QColor gridColor;
    int curveStyle;
};

#endif // GRAPHATTR_H
