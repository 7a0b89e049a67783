#include <QtTest>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>
#include <qwt_text.h>
#include <qwt_text_engine.h>

#include "DialogScript.h"
#include "GraphAttr.h"
#include "GraphView.h"
#include "RandomPlot.h"
#include "ReadingCurve.h"
#include "ScrollBar.h"
#include "Zoomer.h"

using Fields = QStringList; // a record: background, grid, curve and sample colour names, curve style
static const Fields start{"#102030", "#405060", "#708090", "#a0b0c0", "1"};

template <class Item = QwtPlotCurve> static Item *itemOf(const QwtPlot &plot, int rtti = QwtPlotItem::Rtti_PlotCurve)
{
    return static_cast<Item *>(plot.itemList(rtti).value(0));
}
static QRectF shownPart(const QwtPlot &plot) // positions along x, values along y
{
    const QwtInterval x = plot.axisInterval(QwtPlot::xBottom), y = plot.axisInterval(QwtPlot::yLeft);
    return QRectF(x.minValue(), y.minValue(), x.width(), y.width());
}
static QVector<int> marginsOf(const QwtPlot &plot)
{
    const QwtPlotLayout *layout = plot.plotLayout();
    return {layout->canvasMargin(0), layout->canvasMargin(1), layout->canvasMargin(2), layout->canvasMargin(3)};
}
// Readings whose pixel lies off the canvas contents, or within the marker's reach of the frame.
static QVector<double> offCanvas(const QwtPlot &plot, const QVector<double> &readings)
{
    const QRect area = plot.canvas()->contentsRect().adjusted(2, 2, -2, -2); // a 3 x 3 marker and a pixel clear
    const QwtScaleMap x = plot.canvasMap(QwtPlot::xBottom), y = plot.canvasMap(QwtPlot::yLeft);
    QVector<double> off;
    for (int i = 0; i < readings.size(); ++i)
        if (!area.contains(QPointF(x.transform(i), y.transform(readings[i])).toPoint()))
            off << readings[i];
    return off;
}
static void drag(QWidget *canvas, QPoint from, QPoint to)
{
    QTest::mousePress(canvas, Qt::LeftButton, {}, from); // QTest's move only moves the cursor, unseen offscreen
    QMouseEvent move(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
}

// A reading curve with the plot's pens painted over a blank canvas, one sample unit to a pixel.
static QImage painted(QPaintDevice *device, const QVector<QPointF> &samples, bool inverted, const QRect &canvas)
{
    ReadingCurve curve("c");
    curve.setStyle(QwtPlotCurve::Steps);
    curve.setPen(QPen(Qt::yellow));
    curve.setSymbol(new QwtSymbol(QwtSymbol::Rect, Qt::NoBrush, QPen(Qt::white), QSize(3, 3)));
    curve.setCurveAttribute(QwtPlotCurve::Inverted, inverted);
    curve.setSamples(samples);
    QwtScaleMap x, y;
    x.setScaleInterval(0, 100);
    y.setScaleInterval(0, 100);
    x.setPaintInterval(canvas.left(), canvas.left() + 100);
    y.setPaintInterval(canvas.top(), canvas.top() + 100);
    QPainter painter(device);
    painter.fillRect(QRect(0, 0, device->width(), device->height()), Qt::darkBlue);
    painter.setClipRect(canvas); // as the canvas clips to its contents
    curve.draw(&painter, x, y, canvas);
    painter.end();
    return device->devType() == QInternal::Image ? *static_cast<QImage *>(device)
                                                 : static_cast<QPixmap *>(device)->toImage();
}

struct EverythingTranslator : QTranslator { // an untranslated text stands out
    QString translate(const char *, const char *, const char *, int) const override { return "X"; }
    bool isEmpty() const override { return false; }
};

class tst_Plot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<GraphAttr *>(); }
    void plotLooksAsItsRecordSays_data()
    {
        QTest::addColumn<int>("applied"); QTest::addColumn<Fields>("look"); // records: sticks, then the default
        QTest::newRow("new plot") << 0 << Fields{"#1d648d", "#a0a0a4", "#000000", "#ffffff", "2"};
        QTest::newRow("sticks record") << 1 << Fields{"#ff0000", "#00ff00", "#0000ff", "#ffff00", "1"};
        QTest::newRow("default record after it") << 2 << Fields{"#1d648d", "#a0a0a4", "#000000", "#ffffff", "2"};
    }
    void plotLooksAsItsRecordSays()
    {
        QFETCH(int, applied);
        GraphAttr sticks(Qt::red, Qt::green, Qt::blue, Qt::yellow, 1);
        QScopedPointer<GraphAttr> standard(GraphAttr::createDefault());
        RandomPlot plot;
        for (GraphAttr *attr : QVector<GraphAttr *>{&sticks, standard.data()}.mid(0, applied)) {
            plot.setCanvasBackground(QBrush(attr->getBackgroundColor())); // as a document window does
            plot.applyGraphAttr(attr);
        }
        const QwtPlotCurve *curve = itemOf(plot);
        const QwtSymbol *marker = curve->symbol();
        const QPen grid = itemOf<QwtPlotGrid>(plot, QwtPlotItem::Rtti_PlotGrid)->majorPen();
        QTEST(Fields({plot.canvasBackground().color().name(), grid.color().name(), curve->pen().color().name(),
                      marker->pen().color().name(), QString::number(curve->style())}), "look");
        QCOMPARE(std::make_tuple(grid.style(), int(marker->style()), marker->size(), marker->brush().style()),
                 std::make_tuple(Qt::DotLine, int(QwtSymbol::Rect), QSize(3, 3), Qt::NoBrush)); // hollow squares
        // Each level leads up to its own marker: the line reaching the right edge is the newest weight.
        QVERIFY(curve->testCurveAttribute(QwtPlotCurve::Inverted));
    }
    void valueAxisWidensOnlyPastItsBounds_data()
    {
        QTest::addColumn<QVector<double>>("readings"); QTest::addColumn<QRectF>("shown");
        QTest::newRow("inside") << QVector<double>{0.5, 0.7, 0.2} << QRectF(0, 0, 1000, 1);
        QTest::newRow("just past the top") << QVector<double>{0.95} << QRectF(0, 0, 1000, 1.05);
        QTest::newRow("just above the bottom") << QVector<double>{0.05} << QRectF(0, -0.05, 1000, 1.05);
        QTest::newRow("below") << QVector<double>{-0.5} << QRectF(0, -0.6, 1000, 1.6);
        QTest::newRow("up, down, never back") << QVector<double>{5.0, -2.0, 3.0, 0.5} << QRectF(0, -2.1, 1000, 7.2);
        QTest::newRow("not a number") << QVector<double>{qQNaN(), qInf(), -qInf()} << QRectF(0, 0, 1000, 1);
    }
    void valueAxisWidensOnlyPastItsBounds()
    {
        QFETCH(QVector<double>, readings);
        RandomPlot plot;
        for (double y : readings)
            plot.appendMyPoint(0, y);
        QTEST(shownPart(plot), "shown");
        QTEST(plot.getZoomer()->zoomBase(), "shown"); // what a right click goes back to
    }
    void windowSlidesAlongWhateverTheReadingNumber()
    {
        RandomPlot plot;
        const auto reading = [](int i) { return 0.001 * (i % 700); };
        for (int i = 0; i <= 1000; ++i)
            plot.appendMyPoint(i % 2 ? -1e9 : qQNaN(), reading(i));
        const QwtPlotCurve *curve = itemOf(plot);
        QCOMPARE(int(curve->dataSize()), 1000);
        QCOMPARE(curve->sample(999), QPointF(999, reading(1000)));
        QCOMPARE(curve->sample(0), QPointF(0, reading(1)));
    }
    void everyReadingIsDrawnInsideTheCanvas_data()
    {
        QTest::addColumn<bool>("following"); QTest::addColumn<QVector<double>>("readings");
        QTest::addColumn<double>("filled"); // the least share of the canvas height the readings span
        QVector<double> steadyLoad, bothEnds, jump;
        for (int i = 0; i < 200; ++i) {
            steadyLoad << 250.0 + (i % 5 - 2) * 0.1;
            bothEnds << (i % 2 ? 100.0 : 0.0);
            jump << (i < 100 ? 10.0 : 500.0);
        }
        QTest::newRow("steady load, widening") << false << steadyLoad << 0.0;
        QTest::newRow("both ends, widening") << false << bothEnds << 0.8;
        QTest::newRow("steady load, following") << true << steadyLoad << 0.8;
        QTest::newRow("both ends, following") << true << bothEnds << 0.8;
        QTest::newRow("a jump, following") << true << jump << 0.8;
        QTest::newRow("one steady weight, following") << true << QVector<double>(50, 12.345) << 0.0;
    }
    void everyReadingIsDrawnInsideTheCanvas()
    {
        QFETCH(bool, following); QFETCH(QVector<double>, readings); QFETCH(double, filled);
        RandomPlot plot;
        plot.resize(540, 400);
        plot.show();
        plot.setFollowing(following);
        for (double y : readings)
            plot.appendMyPoint(0, y);
        QCOMPARE(offCanvas(plot, readings), QVector<double>());
        const QwtScaleMap y = plot.canvasMap(QwtPlot::yLeft);
        const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
        QVERIFY(y.transform(*low) - y.transform(*high) >= filled * plot.canvas()->contentsRect().height());
        if (following && *low == *high) // a steady weight is a line in the middle
            QVERIFY(qAbs(y.transform(*low) - plot.canvas()->contentsRect().center().y()) <= 2);
        // A reading repaints the contents through the canvas's image: the pixels the plot's items paint directly.
        QWidget *canvas = plot.canvas();
        const QRect contents = canvas->contentsRect();
        QPixmap direct(canvas->size());
        direct.fill(plot.canvasBackground().color());
        QPainter painter(&direct);
        painter.setClipRect(contents);
        plot.drawCanvas(&painter);
        painter.end();
        QCOMPARE(canvas->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(contents),
                 direct.toImage().convertToFormat(QImage::Format_RGB32).copy(contents));
    }
    // Whether written straight into an image or painted, the curve has the pixels the painter gives its
    // steps and its 3 x 3 hollow squares, readings denser than pixel columns and points off the canvas as well.
    void curveHasThePaintersPixels_data()
    {
        QTest::addColumn<QVector<QPointF>>("samples"); QTest::addColumn<bool>("inverted"); QTest::addColumn<QRect>("canvas");
        const QVector<QPointF> steps{{2, 10}, {10, 30}, {20, 5}, {30, 5}, {40, 40}, {60, 20}};
        QVector<QPointF> dense;
        for (int i = 0; i < 90; ++i)
            dense << QPointF(4 + i * 0.35, 20 + (i * 7) % 19);
        const QVector<QPointF> outside{{-10, 20}, {5, -1}, {12, 47}, {20, 48}, {30, 300}, {40, 1e7}, {50, -1e7}, {70, 10}};
        QTest::newRow("inverted steps") << steps << true << QRect(0, 0, 64, 48);
        QTest::newRow("steps") << steps << false << QRect(0, 0, 64, 48);
        QTest::newRow("readings denser than pixel columns") << dense << true << QRect(0, 0, 64, 48);
        QTest::newRow("not-a-number gaps") << QVector<QPointF>{{2, 10}, {8, qQNaN()}, {14, 30}, {qQNaN(), 20}, {30, 12}, {40, 12}}
                                           << true << QRect(0, 0, 64, 48);
        QTest::newRow("points off the canvas") << outside << true << QRect(0, 0, 64, 48);
        QTest::newRow("canvas offset") << outside + dense << false << QRect(9, 6, 50, 40);
        QTest::newRow("one reading") << QVector<QPointF>{{20, 20}} << true << QRect(0, 0, 64, 48);
        QTest::newRow("readings in one pixel") << QVector<QPointF>{{20.1, 20}, {20.2, 20.3}, {19.8, 20}} << true << QRect(0, 0, 64, 48);
    }
    void curveHasThePaintersPixels()
    {
        QFETCH(QVector<QPointF>, samples); QFETCH(bool, inverted); QFETCH(QRect, canvas);
        QImage expected(72, 56, QImage::Format_RGB32);
        QPainter painter(&expected);
        painter.fillRect(expected.rect(), Qt::darkBlue);
        painter.setClipRect(canvas);
        QPolygon line, points;
        for (const QPointF &sample : samples)
            if (!qIsNaN(sample.x() + sample.y()))
                points << canvas.topLeft() + QPoint(qRound(sample.x()), int(qBound(-1e6, std::round(sample.y()), 1e6)));
        for (int i = 0; i < points.size(); ++i) {
            if (i > 0)
                line << (inverted ? QPoint(points[i - 1].x(), points[i].y()) : QPoint(points[i].x(), points[i - 1].y()));
            line << points[i];
        }
        painter.setPen(QPen(Qt::yellow));
        painter.drawPolyline(line);
        painter.setPen(QPen(Qt::white));
        for (const QPoint &point : points)
            painter.drawRect(QRect(point - QPoint(1, 1), QSize(3, 3)));
        painter.end();
        QImage image(expected.size(), QImage::Format_RGB32);
        QCOMPARE(painted(&image, samples, inverted, canvas), expected);
        QPixmap pixmap(expected.size()); // painted through the painter
        QCOMPARE(painted(&pixmap, samples, inverted, canvas).convertToFormat(QImage::Format_RGB32), expected);
    }
    // The plot's label engine keeps the last font's margins, and a larger font after it gets its own.
    void labelMarginsFollowTheFont()
    {
        RandomPlot plot; // puts the engine of its labels in place
        QFont small, large;
        small.setPixelSize(10);
        large.setPixelSize(30);
        const QwtTextEngine *engine = QwtText::textEngine(QwtText::OtherFormat);
        QVERIFY(engine);
        double bottom[3], unused;
        int i = 0;
        for (const QFont &font : {small, large, small})
            engine->textMargins(font, "1", unused, unused, unused, bottom[i++]);
        QVERIFY2(bottom[1] > bottom[0] && bottom[2] == bottom[0], "the descent grows with the font");
    }
    // Zooming works while following; unzooming returns to the range the readings have then, and switching
    // following off brings back the axis that only widened.
    void followingZoomsAndTogglesBackToTheWideningAxis()
    {
        RandomPlot plot;
        plot.show();
        plot.setFollowing(true);
        for (double y : {250.2, 249.9, 250.0})
            plot.appendMyPoint(0, y);
        QCOMPARE(shownPart(plot), QRectF(0, 249.87, 1000, 0.36));
        plot.getZoomer()->zoom(QRectF(100, 249.95, 200, 0.1));
        plot.appendMyPoint(0, 250.3);
        QCOMPARE(shownPart(plot), QRectF(100, 249.95, 200, 0.1));
        QTest::mouseClick(plot.canvas(), Qt::RightButton, {}, plot.canvas()->contentsRect().center());
        QCOMPARE(shownPart(plot), QRectF(0, 249.86, 1000, 0.48));
        QCOMPARE(plot.getZoomer()->zoomBase(), QRectF(0, 249.86, 1000, 0.48));
        plot.setFollowing(false);
        QCOMPARE(shownPart(plot), QRectF(0, 0, 1000, 250.4));
        QCOMPARE(plot.getZoomer()->zoomBase(), QRectF(0, 0, 1000, 250.4));
    }
    void dragZoomSurvivesReadingsInRangeButNotAWidening()
    {
        RandomPlot plot;
        plot.show();
        const QVector<int> margins = marginsOf(plot);
        const QRect area = plot.canvas()->contentsRect();
        drag(plot.canvas(), area.topLeft() + QPoint(area.width() / 4, area.height() / 4), area.center());
        const QRectF zoomed = shownPart(plot);
        QVERIFY2(QRectF(200, 0.4, 400, 0.4).contains(zoomed), "zoomed to about 250 .. 550, 0.5 .. 0.75");
        // While zoomed the value axis keeps room for the label 1000, so the canvas does not jump.
        const QwtScaleDraw *draw = plot.axisWidget(QwtPlot::yLeft)->scaleDraw();
        const double label = draw->labelSize(plot.axisWidget(QwtPlot::yLeft)->font(), 1000).width();
        QCOMPARE(draw->minimumExtent(), double(int(draw->spacing() + draw->maxTickLength() + 1) + int(label)));
        for (double y : {0.9, 0.1}) // inside, by the margin exactly
            plot.appendMyPoint(0, y);
        QCOMPARE(shownPart(plot), zoomed);
        const QPointer<Zoomer> outgoing = plot.getZoomer();
        plot.appendMyPoint(0, 3.0);
        QCOMPARE(shownPart(plot), QRectF(0, 0, 1000, 3.1));
        // Nothing of the zoomed layout stays behind: no bar margins, no reserved width, the same alignment.
        QCOMPARE(marginsOf(plot), margins);
        QCOMPARE(draw->minimumExtent(), 0.0);
        QVERIFY(!plot.plotLayout()->alignCanvasToScale(QwtPlot::yLeft));
        // The outgoing zoomer goes later, through the event loop, and ignores the mouse meanwhile.
        drag(plot.canvas(), area.topLeft() + QPoint(60, 60), area.center());
        QVERIFY(outgoing && outgoing->zoomRectIndex() == 0);
        QCOMPARE(plot.getZoomer()->zoomRectIndex(), 1u);
        QTRY_VERIFY(!outgoing);
    }
    void scrollBarsShowWhilePartOfTheBaseIsHiddenAndPanIt_data()
    {
        QTest::addColumn<QRectF>("zoom"); QTest::addColumn<bool>("horizontal"); QTest::addColumn<bool>("vertical");
        QTest::newRow("whole base") << QRectF(0, 0, 1000, 1) << false << false;
        QTest::newRow("upper half") << QRectF(0, 0.5, 1000, 0.5) << false << true;
        QTest::newRow("part of the width") << QRectF(250, 0, 250, 1) << true << false;
        QTest::newRow("narrower and lower") << QRectF(250, 0.5, 250, 0.25) << true << true;
    }
    void scrollBarsShowWhilePartOfTheBaseIsHiddenAndPanIt()
    {
        QFETCH(QRectF, zoom); QFETCH(bool, horizontal); QFETCH(bool, vertical);
        RandomPlot plot;
        plot.show();
        const QVector<int> margins = marginsOf(plot);
        Zoomer *zoomer = plot.getZoomer();
        zoomer->zoom(zoom);
        ScrollBar *h = zoomer->horizontalScrollBar(), *v = zoomer->verticalScrollBar();
        QWidget *corner = zoomer->getCornerWidget();
        const auto shown = [](QWidget *widget) { return widget && widget->isVisible(); };
        QCOMPARE(QVector<bool>({shown(h), shown(v), shown(corner)}),
                 QVector<bool>({horizontal, vertical, horizontal && vertical}));
        // In margins of their own: the horizontal bar along the top, the vertical one on the right, the filler between.
        const QRect area = plot.canvas()->contentsRect();
        const int extent = plot.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int hx = horizontal ? extent : 0, vx = vertical ? extent : 0;
        if (horizontal)
            QCOMPARE(h->geometry(), QRect(area.left(), area.top(), area.width() - vx, hx));
        if (vertical)
            QCOMPARE(v->geometry(), QRect(area.right() + 1 - vx, area.top() + hx, vx, area.height() - hx));
        if (shown(corner))
            QCOMPARE(corner->geometry(), QRect(area.right() + 1 - vx, area.top(), vx, hx));
        QCOMPARE(marginsOf(plot), QVector<int>({margins[0], margins[1] + vx, margins[2], margins[3] + hx}));
        // A click in the trough pans by the zoomed extent: right, or down to lower values.
        for (QScrollBar *bar : {h, v})
            if (shown(bar))
                bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(shownPart(plot), zoom.translated(hx ? zoom.width() : 0, vx ? -zoom.height() : 0));
        for (int click = 0; click < 2; ++click) { // back to the base; a second right click changes nothing
            QTest::mouseClick(plot.canvas(), Qt::RightButton, {}, area.center());
            QCOMPARE(zoomer->zoomRectIndex(), 0u);
            QVERIFY(!shown(h) && !shown(v) && !shown(corner));
            QCOMPARE(marginsOf(plot), margins);
        }
    }
    // Each button opens the colour dialog on its own colour, and a pick comes back in its own field; the
    // style names stay untranslated and choose the style; a cancelled colour or appearance dialog changes nothing.
    void dialogSendsWhatTheOperatorChose_data()
    {
        QTest::addColumn<QString>("button"); QTest::addColumn<int>("field"); QTest::addColumn<bool>("picks");
        QTest::addColumn<bool>("ok");
        QTest::newRow("Background") << "backgroundBtn" << 0 << true << true;
        QTest::newRow("Grid") << "gridBtn" << 1 << true << true;
        QTest::newRow("Curve") << "styleBtn" << 2 << true << true;
        QTest::newRow("Sample") << "symbolBtn" << 3 << true << true;
        QTest::newRow("colour dialog cancelled") << "gridBtn" << 1 << false << true;
        QTest::newRow("appearance dialog cancelled") << "gridBtn" << 1 << true << false;
    }
    void dialogSendsWhatTheOperatorChose()
    {
        QFETCH(QString, button); QFETCH(int, field); QFETCH(bool, picks); QFETCH(bool, ok);
        EverythingTranslator translator;
        QCoreApplication::installTranslator(&translator);
        QStringList seen; // the colour dialog's first colour, the button's look, the dialog's title, the style names
        DialogScript script;
        script.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<QColorDialog *>(modal);
            if (!dialog)
                return cancel(modal);
            seen << dialog->currentColor().name();
            dialog->setCurrentColor(QColor("#fedcba"));
            picks ? dialog->accept() : dialog->reject();
        });
        GraphAttr attr{QColor(start[0]), QColor(start[1]), QColor(start[2]), QColor(start[3]), 1};
        GraphView view(&attr);
        view.show();
        QSignalSpy sent(&view, &GraphView::graphAttrChange);
        auto *colour = view.findChild<QAbstractButton *>(button);
        auto *combo = view.findChild<QComboBox *>();
        colour->click();
        seen << colour->styleSheet() << view.windowTitle() << combo->currentText();
        QTest::keyClick(combo, Qt::Key_Up);
        seen << combo->currentText();
        view.findChild<QDialogButtonBox *>()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        Fields expected = start.mid(0, 4) << "2"; // steps
        expected[field] = picks ? "#fedcba" : start[field];
        QCOMPARE(seen, QStringList({start[field], "background:" + expected[field], "X", "Sticks", "Steps"}));
        QCOMPARE(sent.count(), ok ? 1 : 0);
        QScopedPointer<GraphAttr> r(sent.value(0).value(0).value<GraphAttr *>());
        Fields record = r ? Fields{r->getBackgroundColor().name(), r->getGridColor().name(), r->getCurveColor().name(),
                                   r->getSymbolColor().name(), QString::number(r->getCurveStyle())} : Fields();
        QCOMPARE(record, ok ? expected : Fields());
    }
};

QTEST_MAIN(tst_Plot)
#include "tst_plot.moc"
