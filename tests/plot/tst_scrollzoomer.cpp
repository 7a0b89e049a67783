#include <QtTest>

#include <qwt_plot_canvas.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_widget.h>

#include "CanvasMouse.h"
#include "RandomPlot.h"
#include "ScrollBar.h"
#include "Zoomer.h"

class tst_ScrollZoomer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<Qt::Orientation>(); }
    void sliderTicksStandForTheShownInterval();
    void barsAndCornerAppearOnlyWhilePartOfTheBaseIsHidden();
    void pageStepsPanByTheZoomedWidth();
};

static QVector<int> marginsOf(const QwtPlot &plot)
{
    QVector<int> margins;
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis)
        margins.append(plot.plotLayout()->canvasMargin(axis));
    return margins;
}

static void showPlot(RandomPlot &plot)
{
    plot.resize(plot.sizeHint());
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
}

void tst_ScrollZoomer::sliderTicksStandForTheShownInterval()
{
    ScrollBar horizontal(Qt::Horizontal);
    QSignalSpy moved(&horizontal, QOverload<Qt::Orientation, double, double>::of(
                                      &ScrollBar::valueChanged));
    horizontal.setBase(0, 1000);
    horizontal.moveSlider(250, 500);
    QCOMPARE(horizontal.pageStep(), 250000);
    QCOMPARE(horizontal.minimum(), 125000);
    QCOMPARE(horizontal.maximum(), 875000);
    QCOMPARE(horizontal.singleStep(), 1250);
    QCOMPARE(horizontal.value(), 375000);
    QCOMPARE(horizontal.sliderMin(), 250.0);
    QCOMPARE(horizontal.sliderMax(), 500.0);
    // Setting the slider from the zoom state must never pan the zoomer.
    QCOMPARE(moved.count(), 0);

    // A vertical bar has its largest values at the top.
    ScrollBar vertical(0, 1, Qt::Vertical);
    QVERIFY(vertical.isReversed());
    vertical.moveSlider(0.5, 0.75);
    QCOMPARE(vertical.value(), 375000);
    QCOMPARE(vertical.sliderMin(), 0.5);
    QCOMPARE(vertical.sliderMax(), 0.75);

    // Turning the direction round keeps the slider where it is, so it now
    // stands for the mirrored interval.
    vertical.setReversed(false);
    QCOMPARE(vertical.value(), 375000);
    QCOMPARE(vertical.sliderMin(), 0.25);
    QCOMPARE(vertical.sliderMax(), 0.5);

    // A new base keeps the slider's share of the bar.
    horizontal.setBase(0, 2000);
    QCOMPARE(horizontal.sliderMin(), 500.0);
    QCOMPARE(horizontal.sliderMax(), 1000.0);

    // Less than a two-hundredth of the base still steps by one tick.
    horizontal.moveSlider(0, 0.1);
    QCOMPARE(horizontal.singleStep(), 1);
    QCOMPARE(moved.count(), 0);
}

void tst_ScrollZoomer::barsAndCornerAppearOnlyWhilePartOfTheBaseIsHidden()
{
    RandomPlot plot;
    showPlot(plot);
    Zoomer *zoomer = plot.getZoomer();
    QWidget *canvas = plot.canvas();
    const QVector<int> unzoomedMargins = marginsOf(plot);
    QVERIFY(!zoomer->horizontalScrollBar());
    QVERIFY(!zoomer->verticalScrollBar());

    // Full width, part of the height: only the vertical bar, on the right.
    zoomer->zoom(QRectF(0, 0.25, 1000, 0.5));
    ScrollBar *vertical = zoomer->verticalScrollBar();
    QVERIFY(vertical && !vertical->isHidden());
    QVERIFY(!zoomer->horizontalScrollBar() || zoomer->horizontalScrollBar()->isHidden());
    QVERIFY(!zoomer->getCornerWidget() || zoomer->getCornerWidget()->isHidden());
    const int v = vertical->thickness();
    QVector<int> expected = unzoomedMargins;
    expected[QwtPlot::yRight] += v;
    QCOMPARE(marginsOf(plot), expected);
    QRect area = canvas->contentsRect();
    QCOMPARE(vertical->geometry(), QRect(area.right() + 1 - v, area.top(), v, area.height()));

    // Narrower and lower: both bars, the horizontal one along the top, and
    // the corner filled where they meet.
    zoomer->zoom(QRectF(250, 0.5, 250, 0.25));
    ScrollBar *horizontal = zoomer->horizontalScrollBar();
    QVERIFY(horizontal && !horizontal->isHidden());
    const int h = horizontal->thickness();
    expected[QwtPlot::xTop] += h;
    QCOMPARE(marginsOf(plot), expected);
    area = canvas->contentsRect();
    QCOMPARE(horizontal->geometry(), QRect(area.left(), area.top(), area.width() - v, h));
    QCOMPARE(vertical->geometry(),
             QRect(area.right() + 1 - v, area.top() + h, v, area.height() - h));
    QWidget *corner = zoomer->getCornerWidget();
    QVERIFY(corner && !corner->isHidden());
    QCOMPARE(corner->geometry(), QRect(vertical->x(), horizontal->y(), v, h));
    // The filler matches the bars, not the canvas it sits on.
    QCOMPARE(corner->palette().color(QPalette::Window), plot.palette().color(QPalette::Window));

    // A resize of the plot carries the bars along with the canvas.
    plot.resize(700, 500);
    QTRY_COMPARE(horizontal->width(), canvas->contentsRect().width() - v);
    QCOMPARE(vertical->x(), canvas->contentsRect().right() + 1 - v);

    // A right click returns to the base and gives the margins back.
    const QPoint inside = canvas->contentsRect().center();
    for (int click = 0; click < 2; ++click) {
        CanvasMouse::click(canvas, Qt::RightButton, inside);
        QCOMPARE(zoomer->zoomRectIndex(), 0u);
        QVERIFY(horizontal->isHidden());
        QVERIFY(vertical->isHidden());
        QVERIFY(corner->isHidden());
        QCOMPARE(marginsOf(plot), unzoomedMargins);
        QVERIFY(plot.plotLayout()->alignCanvasToScale(QwtPlot::yLeft));
    }
}

void tst_ScrollZoomer::pageStepsPanByTheZoomedWidth()
{
    RandomPlot plot;
    showPlot(plot);
    Zoomer *zoomer = plot.getZoomer();
    zoomer->zoom(QRectF(250, 0.5, 250, 0.25));
    QSignalSpy zoomed(zoomer, &QwtPlotZoomer::zoomed);

    // A click in the trough, as the operator would page to the right.
    zoomer->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(zoomer->zoomRect(), QRectF(500, 0.5, 250, 0.25));
    QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).interval(), QwtInterval(500, 750));
    QCOMPARE(zoomed.count(), 1);

    // Paging down on the vertical bar shows lower values.
    zoomer->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(zoomer->zoomRect(), QRectF(500, 0.25, 250, 0.25));

    // Never past the zoom base: the last page stops at its edge.
    zoomer->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    zoomer->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(zoomer->zoomRect(), QRectF(750, 0.25, 250, 0.25));
    QCOMPARE(zoomer->horizontalScrollBar()->value(), zoomer->horizontalScrollBar()->maximum());
}

QTEST_MAIN(tst_ScrollZoomer)
#include "tst_scrollzoomer.moc"
