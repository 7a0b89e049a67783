#include "ScrollZoomer.h"

#include "ScrollBar.h"

#include <QChildEvent>
#include <QFrame>
#include <QResizeEvent>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_div.h>
#include <qwt_scale_widget.h>

// A child takes only the roles its parent set explicitly, and the plot sets
// none: a widget on the canvas would inherit the canvas colour. Marking every
// role as set gives the bars and the corner the plot's own colours.
static QPalette plotPalette(const QwtPlot *plot)
{
    QPalette palette = plot->palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            palette.setBrush(g, r, palette.brush(g, r));
        }
    }
    return palette;
}

ScrollZoomer::ScrollZoomer(QwtPlotCanvas *canvas)
    : QwtPlotZoomer(canvas, true)
    , cornerWidget(nullptr)
    , horizontal(nullptr)
    , vertical(nullptr)
    , inZoom(false)
    , savedAlignCanvas(false)
{
    if (!canvas)
        return;
    horizontal = new ScrollBarSetup;
    vertical = new ScrollBarSetup;
}

ScrollZoomer::~ScrollZoomer()
{
    // Each deletion below reaches eventFilter as a removed child of the
    // canvas, so the pointers are cleared before the objects go.
    QWidget *corner = cornerWidget;
    cornerWidget = nullptr;
    delete corner;

    ScrollBarSetup *setup = vertical;
    vertical = nullptr;
    delete setup;

    setup = horizontal;
    horizontal = nullptr;
    delete setup;
}

ScrollZoomer::ScrollBarSetup::~ScrollBarSetup()
{
    delete scrollBar;
}

ScrollBar *ScrollZoomer::horizontalScrollBar() const
{
    return horizontal ? horizontal->scrollBar : nullptr;
}

ScrollBar *ScrollZoomer::verticalScrollBar() const
{
    return vertical ? vertical->scrollBar : nullptr;
}

void ScrollZoomer::setHScrollBarMode(Qt::ScrollBarPolicy mode)
{
    if (!horizontal || horizontal->mode == mode)
        return;
    horizontal->mode = mode;
    refreshScrollBars();
}

void ScrollZoomer::setVScrollBarMode(Qt::ScrollBarPolicy mode)
{
    if (!vertical || vertical->mode == mode)
        return;
    vertical->mode = mode;
    refreshScrollBars();
}

Qt::ScrollBarPolicy ScrollZoomer::hScrollBarMode() const
{
    return horizontal ? horizontal->mode : Qt::ScrollBarAsNeeded;
}

Qt::ScrollBarPolicy ScrollZoomer::vScrollBarMode() const
{
    return vertical ? vertical->mode : Qt::ScrollBarAsNeeded;
}

void ScrollZoomer::setHScrollBarSide(ScrollBarSide side)
{
    setSide(Qt::Horizontal, side);
}

void ScrollZoomer::setVScrollBarSide(ScrollBarSide side)
{
    setSide(Qt::Vertical, side);
}

ScrollZoomer::ScrollBarSide ScrollZoomer::hScrollBarSide() const
{
    return horizontal ? horizontal->side : SideOppositeScale;
}

ScrollZoomer::ScrollBarSide ScrollZoomer::vScrollBarSide() const
{
    return vertical ? vertical->side : SideOppositeScale;
}

void ScrollZoomer::setSide(Qt::Orientation orientation, ScrollBarSide side)
{
    ScrollBarSetup *setup = setupFor(orientation);
    if (!setup || setup->side == side)
        return;

    // The bar's thickness sits in the margin of the axis it lies along; a bar
    // that changes sides while shown takes it along instead of leaving it.
    ScrollBar *bar = setup->scrollBar;
    if (bar && !bar->isHidden() && plot()) {
        QwtPlotLayout *layout = plot()->plotLayout();
        const int axis = scrollBarAxis(setup, orientation);
        bar->hide();
        layout->setCanvasMargin(layout->canvasMargin(axis) - bar->thickness(), axis);
    }
    setup->side = side;
    refreshScrollBars();
}

bool ScrollZoomer::eventFilter(QObject *object, QEvent *event)
{
    if (object && object == canvas()) {
        switch (event->type()) {
        case QEvent::Resize: {
            const QFrame *frame = qobject_cast<const QFrame *>(canvas());
            const int frameWidth = frame ? frame->frameWidth() : 0;
            const QSize size = static_cast<QResizeEvent *>(event)->size();
            QRect rect;
            rect.setCoords(frameWidth, frameWidth, size.width() - 1 - frameWidth,
                           size.height() - 1 - frameWidth);
            placeScrollBars(rect);
            break;
        }
        case QEvent::ChildRemoved: {
            const QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child == cornerWidget)
                cornerWidget = nullptr;
            else if (horizontal && child == horizontal->scrollBar)
                horizontal->scrollBar = nullptr;
            else if (vertical && child == vertical->scrollBar)
                vertical->scrollBar = nullptr;
            break;
        }
        default:
            break;
        }
    }
    return QwtPlotZoomer::eventFilter(object, event);
}

void ScrollZoomer::setCorner(QWidget *widget)
{
    if (widget == cornerWidget || !canvas())
        return;
    delete cornerWidget;
    cornerWidget = widget;
    if (cornerWidget && cornerWidget->parent() != canvas())
        cornerWidget->setParent(canvas());
    refreshScrollBars();
}

void ScrollZoomer::rescale()
{
    QwtPlot *plt = plot();
    if (plt) {
        QwtScaleWidget *xScale = plt->axisWidget(xAxis());
        QwtScaleWidget *yScale = plt->axisWidget(yAxis());
        QwtPlotLayout *layout = plt->plotLayout();

        if (zoomRectIndex() == 0 && inZoom) {
            xScale->setMinBorderDist(0, 0);
            yScale->setMinBorderDist(0, 0);
            layout->setAlignCanvasToScales(savedAlignCanvas);
            inZoom = false;
        }
        if (zoomRectIndex() > 0 && !inZoom) {
            // Fixed border distances keep the canvas from jumping while the
            // zoomed scales relabel.
            int start = 0;
            int end = 0;
            xScale->getBorderDistHint(start, end);
            xScale->setMinBorderDist(start, end);
            yScale->getBorderDistHint(start, end);
            yScale->setMinBorderDist(start, end);

            // An aligned canvas ignores its margins, and the bars need them.
            // Qwt keeps the alignment per axis; our plots set it for all axes
            // at once, so one flag is enough to put it back.
            savedAlignCanvas = true;
            for (int axis = 0; axis < QwtPlot::axisCnt; ++axis)
                savedAlignCanvas = savedAlignCanvas && layout->alignCanvasToScale(axis);
            layout->setAlignCanvasToScales(false);
            inZoom = true;
        }
    }

    QwtPlotZoomer::rescale();
    refreshScrollBars();
}

ScrollBar *ScrollZoomer::scrollBarFor(Qt::Orientation orientation)
{
    ScrollBarSetup *setup = setupFor(orientation);
    if (!setup)
        return nullptr;
    if (!setup->scrollBar) {
        ScrollBar *bar = new ScrollBar(orientation, canvas());
        bar->hide();
        connect(bar, QOverload<Qt::Orientation, double, double>::of(&ScrollBar::valueChanged),
                this, &ScrollZoomer::scrollBarMoved);
        setup->scrollBar = bar;
    }
    return setup->scrollBar;
}

void ScrollZoomer::refreshScrollBars()
{
    QWidget *canvasWidget = canvas();
    QwtPlot *plt = plot();
    if (!canvasWidget || !plt || !horizontal || !vertical)
        return;

    QwtPlotLayout *layout = plt->plotLayout();
    const QRectF base = zoomBase();
    const QRectF rect = zoomRect();

    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        ScrollBarSetup *setup = setupFor(orientation);
        const int axis = scrollBarAxis(setup, orientation);

        if (scrollBarNeeded(orientation)) {
            ScrollBar *bar = scrollBarFor(orientation);
            bar->setPalette(plotPalette(plt));
            if (orientation == Qt::Horizontal) {
                const QwtScaleDiv &div = plt->axisScaleDiv(xAxis());
                bar->setReversed(div.lowerBound() > div.upperBound());
                bar->setBase(base.left(), base.right());
                bar->moveSlider(rect.left(), rect.right());
            } else {
                // On an ordinary axis the top of the bar stands for the
                // largest values.
                const QwtScaleDiv &div = plt->axisScaleDiv(yAxis());
                bar->setReversed(div.upperBound() > div.lowerBound());
                bar->setBase(base.top(), base.bottom());
                bar->moveSlider(rect.top(), rect.bottom());
            }
            if (bar->isHidden()) {
                bar->show();
                layout->setCanvasMargin(layout->canvasMargin(axis) + bar->thickness(), axis);
            }
        } else if (setup->scrollBar && !setup->scrollBar->isHidden()) {
            setup->scrollBar->hide();
            layout->setCanvasMargin(layout->canvasMargin(axis) - setup->scrollBar->thickness(),
                                    axis);
        }
    }

    const bool bothShown = horizontal->scrollBar && !horizontal->scrollBar->isHidden()
                           && vertical->scrollBar && !vertical->scrollBar->isHidden();
    if (bothShown) {
        if (!cornerWidget) {
            cornerWidget = new QWidget(canvasWidget);
            cornerWidget->setAutoFillBackground(true);
            cornerWidget->setPalette(plotPalette(plt));
        }
        cornerWidget->show();
    } else if (cornerWidget) {
        cornerWidget->hide();
    }

    placeScrollBars(canvasWidget->contentsRect());
    plt->updateLayout();
}

void ScrollZoomer::placeScrollBars(const QRect &rect)
{
    ScrollBar *hBar = horizontalScrollBar();
    ScrollBar *vBar = verticalScrollBar();
    const bool hShown = hBar && !hBar->isHidden();
    const bool vShown = vBar && !vBar->isHidden();
    const int h = hBar ? hBar->thickness() : 0;
    const int v = vBar ? vBar->thickness() : 0;
    const int hAxis = horizontal ? scrollBarAxis(horizontal, Qt::Horizontal) : QwtPlot::xBottom;
    const int vAxis = vertical ? scrollBarAxis(vertical, Qt::Vertical) : QwtPlot::yLeft;

    if (hShown) {
        int x = rect.left();
        const int y = hAxis == QwtPlot::xTop ? rect.top() : rect.bottom() + 1 - h;
        int width = rect.width();
        if (vShown) {
            width -= v;
            if (vAxis == QwtPlot::yLeft)
                x += v;
        }
        hBar->setGeometry(x, y, width, h);
    }

    if (vShown) {
        const int x = vAxis == QwtPlot::yLeft ? rect.left() : rect.right() + 1 - v;
        int y = rect.top();
        int height = rect.height();
        if (hShown) {
            height -= h;
            if (hAxis == QwtPlot::xTop)
                y += h;
        }
        vBar->setGeometry(x, y, v, height);
    }

    if (hShown && vShown && cornerWidget)
        cornerWidget->setGeometry(vBar->x(), hBar->y(), v, h);
}

void ScrollZoomer::scrollBarMoved(Qt::Orientation o, double min, double max)
{
    Q_UNUSED(max)

    if (o == Qt::Horizontal)
        moveTo(QPointF(min, zoomRect().top()));
    else
        moveTo(QPointF(zoomRect().left(), min));

    emit zoomed(zoomRect());
}

bool ScrollZoomer::scrollBarNeeded(Qt::Orientation orientation) const
{
    const ScrollBarSetup *setup = setupFor(orientation);
    if (!setup)
        return false;
    if (setup->mode == Qt::ScrollBarAlwaysOff)
        return false;
    if (setup->mode == Qt::ScrollBarAlwaysOn)
        return true;

    const QRectF base = zoomBase();
    const QRectF rect = zoomRect();
    if (orientation == Qt::Horizontal)
        return rect.left() > base.left() || rect.left() + rect.width() < base.left() + base.width();
    return rect.top() > base.top() || rect.top() + rect.height() < base.top() + base.height();
}

int ScrollZoomer::scrollBarAxis(const ScrollBarSetup *setup, Qt::Orientation orientation) const
{
    const int axis = orientation == Qt::Horizontal ? xAxis() : yAxis();
    return setup->side == SideOppositeScale ? oppositeAxisOf(axis) : axis;
}

ScrollZoomer::ScrollBarSetup *ScrollZoomer::setupFor(Qt::Orientation orientation) const
{
    return orientation == Qt::Horizontal ? horizontal : vertical;
}

int ScrollZoomer::oppositeAxisOf(int axis)
{
    switch (axis) {
    case QwtPlot::yLeft:
        return QwtPlot::yRight;
    case QwtPlot::yRight:
        return QwtPlot::yLeft;
    case QwtPlot::xBottom:
        return QwtPlot::xTop;
    case QwtPlot::xTop:
        return QwtPlot::xBottom;
    default:
        return axis;
    }
}
