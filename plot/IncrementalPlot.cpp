#include "IncrementalPlot.h"

#include "GraphAttr.h"

#include "ReadingCurve.h"
#include <qwt_symbol.h>

static QwtSymbol *createMarker(const QColor &color)
{
    return new QwtSymbol(QwtSymbol::Rect, Qt::NoBrush, QPen(color), QSize(3, 3));
}

IncrementalPlot::IncrementalPlot(QWidget *parent)
    : QwtPlot(parent)
    , curve(nullptr)
    , sampleCount(0)
{
    curve = new ReadingCurve(QStringLiteral("Test Curve"));
    curve->setStyle(QwtPlotCurve::Steps);
    curve->setSymbol(createMarker(Qt::white));
    // Each level leads up to its own marker, so the line reaching the right
    // edge is always the newest weight.
    curve->setCurveAttribute(QwtPlotCurve::Inverted, true);
    curve->setSamples(xData, yData);
    curve->attach(this);

    // Every append replots once; automatic replots would repeat that work.
    setAutoReplot(false);
}

IncrementalPlot::~IncrementalPlot()
{
    delete curve;
}

void IncrementalPlot::appendValue(double value)
{
    if (sampleCount < WindowSize) {
        xData.append(double(sampleCount));
        ++sampleCount;
        yData.append(value);
    } else {
        yData.append(value);
        yData.removeFirst();
    }

    curve->setSamples(xData, yData);
}

QVector<double> IncrementalPlot::values() const
{
    return yData;
}

void IncrementalPlot::applyCurveAttr(GraphAttr *attr)
{
    if (!attr)
        return;
    curve->setSymbol(createMarker(attr->getSymbolColor()));
    curve->setPen(QPen(attr->getCurveColor()));
    curve->setStyle(QwtPlotCurve::CurveStyle(attr->getCurveStyle()));
}
