#include <QtTest>

#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>

#include <cmath>
#include <limits>

#include "CanvasMouse.h"
#include "GraphAttr.h"
#include "RandomPlot.h"
#include "ScrollBar.h"
#include "Zoomer.h"

#define COMPARE_AXIS(plot, axis, lower, upper)                                                  \
    do {                                                                                       \
        const QwtInterval range = (plot).axisScaleDiv(axis).interval();                        \
        QCOMPARE(range.minValue(), double(lower));                                             \
        QCOMPARE(range.maxValue(), double(upper));                                             \
    } while (false)

class tst_RandomPlot : public QObject
{
    Q_OBJECT

private slots:
    void defaultRecordLeavesANewPlotLookingTheSame();
    void valueAxisWidensOnlyPastItsBounds();
    void windowSlidesAlongAndIgnoresTheReadingNumber();
    void dragZoomSurvivesReadingsInRangeButNotAWidening();
    void wideningWhileZoomedLeavesNoStaleMargins();
};

static QwtPlotCurve *curveOf(const QwtPlot &plot)
{
    return static_cast<QwtPlotCurve *>(plot.itemList(QwtPlotItem::Rtti_PlotCurve).value(0));
}

static void showPlot(RandomPlot &plot)
{
    plot.resize(plot.sizeHint());
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
}

// A few readings that stay inside the initial 0 .. 1 range.
static void feed(RandomPlot &plot, int count)
{
    for (int i = 0; i < count; ++i)
        plot.appendMyPoint(i, 0.5 + 0.3 * std::sin(i * 0.1));
}

static QRect canvasArea(const QwtPlot &plot)
{
    return plot.canvas()->contentsRect();
}

void tst_RandomPlot::defaultRecordLeavesANewPlotLookingTheSame()
{
    RandomPlot plot;
    showPlot(plot);
    feed(plot, 60);
    COMPARE_AXIS(plot, QwtPlot::xBottom, 0, 1000);
    COMPARE_AXIS(plot, QwtPlot::yLeft, 0, 1);

    const QImage before = plot.grab().toImage();
    const QPoint onCanvas = plot.canvas()->geometry().topLeft() + QPoint(30, 30);
    QCOMPARE(before.pixelColor(onCanvas), QColor(29, 100, 141));

    QScopedPointer<GraphAttr> attr(GraphAttr::createDefault());
    plot.setCanvasBackground(QBrush(attr->getBackgroundColor()));
    plot.applyGraphAttr(attr.data());
    plot.replot();
    QCOMPARE(plot.grab().toImage(), before);

    attr->setCurveStyle(QwtPlotCurve::Sticks);
    plot.applyGraphAttr(attr.data());
    QCOMPARE(curveOf(plot)->style(), QwtPlotCurve::Sticks);
}

void tst_RandomPlot::valueAxisWidensOnlyPastItsBounds()
{
    RandomPlot plot;
    for (double y : {0.5, 0.7, 0.2})
        plot.appendMyPoint(0, y);
    COMPARE_AXIS(plot, QwtPlot::yLeft, 0, 1);

    plot.appendMyPoint(0, 5.0);
    COMPARE_AXIS(plot, QwtPlot::yLeft, 0, 5.1);
    plot.appendMyPoint(0, -2.0);
    COMPARE_AXIS(plot, QwtPlot::yLeft, -2.1, 5.1);
    plot.appendMyPoint(0, 3.0);
    plot.appendMyPoint(0, std::numeric_limits<double>::quiet_NaN());
    plot.appendMyPoint(0, std::numeric_limits<double>::infinity());
    plot.appendMyPoint(0, -std::numeric_limits<double>::infinity());
    COMPARE_AXIS(plot, QwtPlot::yLeft, -2.1, 5.1);
    COMPARE_AXIS(plot, QwtPlot::xBottom, 0, 1000);

    RandomPlot nearTop;
    nearTop.appendMyPoint(0, 0.95);
    COMPARE_AXIS(nearTop, QwtPlot::yLeft, 0, 1.05);
}

void tst_RandomPlot::windowSlidesAlongAndIgnoresTheReadingNumber()
{
    RandomPlot counted;
    RandomPlot numberedOddly;
    const auto reading = [](int i) { return i == 0 ? 0.123 : 0.2 + (i % 70) * 0.01; };

    for (int i = 0; i < 1000; ++i) {
        counted.appendMyPoint(i, reading(i));
        numberedOddly.appendMyPoint(i % 2 ? -1e9 : std::nan(""), reading(i));
    }
    const QwtPlotCurve *curve = curveOf(counted);
    QCOMPARE(int(curve->dataSize()), 1000);
    QCOMPARE(curve->sample(999), QPointF(999, reading(999)));
    QCOMPARE(curve->sample(0).y(), 0.123);

    counted.appendMyPoint(1000, reading(1000));
    numberedOddly.appendMyPoint(7, reading(1000));
    QCOMPARE(int(curve->dataSize()), 1000);
    QCOMPARE(curve->sample(999), QPointF(999, reading(1000)));
    QCOMPARE(curve->sample(0), QPointF(0, reading(1)));

    const QwtPlotCurve *other = curveOf(numberedOddly);
    QCOMPARE(int(other->dataSize()), 1000);
    for (int i = 0; i < 1000; ++i)
        QCOMPARE(other->sample(i), curve->sample(i));
}

void tst_RandomPlot::dragZoomSurvivesReadingsInRangeButNotAWidening()
{
    RandomPlot plot;
    showPlot(plot);
    feed(plot, 100);

    const QRect area = canvasArea(plot);
    CanvasMouse::drag(plot.canvas(), area.topLeft() + QPoint(area.width() / 4, area.height() / 4),
                      area.center());
    const QwtInterval x = plot.axisScaleDiv(QwtPlot::xBottom).interval();
    const QwtInterval y = plot.axisScaleDiv(QwtPlot::yLeft).interval();
    QVERIFY(x.minValue() > 200 && x.maxValue() < 550);
    QVERIFY(y.minValue() > 0.4 && y.maxValue() < 0.8);

    plot.appendMyPoint(101, 0.1);
    QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).interval(), x);
    QCOMPARE(plot.axisScaleDiv(QwtPlot::yLeft).interval(), y);

    plot.appendMyPoint(102, 3.0);
    COMPARE_AXIS(plot, QwtPlot::xBottom, 0, 1000);
    COMPARE_AXIS(plot, QwtPlot::yLeft, 0, 3.1);
    QCOMPARE(plot.getZoomer()->zoomRectIndex(), 0u);
    QCOMPARE(plot.getZoomer()->zoomBase(), QRectF(0, 0, 1000, 3.1));
}

// The look after a widening must not depend on whether the operator had
// zoomed in: a twin that was never zoomed is the reference.
void tst_RandomPlot::wideningWhileZoomedLeavesNoStaleMargins()
{
    RandomPlot zoomed;
    RandomPlot twin;
    showPlot(zoomed);
    showPlot(twin);
    feed(zoomed, 50);
    feed(twin, 50);

    const QRect area = canvasArea(zoomed);
    CanvasMouse::drag(zoomed.canvas(), area.topLeft() + QPoint(60, 60), area.center());
    QCOMPARE(zoomed.getZoomer()->zoomRectIndex(), 1u);
    QVERIFY(zoomed.plotLayout()->canvasMargin(QwtPlot::yRight)
            > twin.plotLayout()->canvasMargin(QwtPlot::yRight));

    const QPointer<Zoomer> outgoing = zoomed.getZoomer();
    zoomed.appendMyPoint(50, 2.0);
    twin.appendMyPoint(50, 2.0);

    // Checked before the event loop deletes the outgoing zoomer: nothing
    // stale may show even for a moment.
    for (const ScrollBar *bar : zoomed.canvas()->findChildren<ScrollBar *>())
        QVERIFY(bar->isHidden());
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis) {
        QCOMPARE(zoomed.plotLayout()->canvasMargin(axis), twin.plotLayout()->canvasMargin(axis));
        QVERIFY(zoomed.plotLayout()->alignCanvasToScale(axis));
    }
    int start = -1;
    int end = -1;
    zoomed.axisWidget(QwtPlot::yLeft)->getMinBorderDist(start, end);
    QCOMPARE(start + end, 0);
    QCOMPARE(zoomed.axisWidget(QwtPlot::yLeft)->scaleDraw()->minimumExtent(), 0.0);
    QCOMPARE(zoomed.canvas()->geometry(), twin.canvas()->geometry());

    // Until it is gone, the outgoing zoomer must not take part in a drag.
    CanvasMouse::drag(zoomed.canvas(), area.topLeft() + QPoint(60, 60), area.center());
    QCOMPARE(zoomed.getZoomer()->zoomRectIndex(), 1u);
    QVERIFY(outgoing);
    QCOMPARE(outgoing->zoomRectIndex(), 0u);

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!outgoing);
    QCOMPARE(zoomed.canvas()->findChildren<Zoomer *>().size(), 1);
}

QTEST_MAIN(tst_RandomPlot)
#include "tst_randomplot.moc"
