#include "PlotCanvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <qwt_plot.h>

namespace {

// Every canvas paints its contents into the same pixels: the canvases paint
// one after another on the GUI thread, and each fills the part it uses.
QImage &sharedPixels(const QSize &size)
{
    static QImage pixels;
    if (pixels.width() < size.width() || pixels.height() < size.height())
        pixels = QImage(size.expandedTo(pixels.size()), QImage::Format_RGB32);
    return pixels;
}

} // namespace

PlotCanvas::PlotCanvas(QwtPlot *plot)
    : QwtPlotCanvas(plot)
    , borderExposed(true)
{
    setPaintAttribute(QwtPlotCanvas::BackingStore, false);
    setPaintAttribute(QwtPlotCanvas::Opaque, true);
}

void PlotCanvas::paintEvent(QPaintEvent *event)
{
    const QRect area = contentsRect();
    const bool exposed = !area.contains(event->region().boundingRect());
    if (area.isEmpty() || !paintsThroughImage()) {
        borderExposed = exposed;
        QwtPlotCanvas::paintEvent(event);
        borderExposed = true;
        return;
    }
    QImage &pixels = sharedPixels(area.size());
    QImage contents(pixels.bits(), area.width(), area.height(), pixels.bytesPerLine(),
                    QImage::Format_RGB32);
    const QColor background = palette().color(backgroundRole());
    contents.fill(background);
    QPainter painter(&contents);
    painter.translate(-area.topLeft());
    painter.setClipRect(area);
    plot()->drawCanvas(&painter);
    painter.end();

    // In the order of a direct paint: the background, the contents, the frame.
    QPainter screen(this);
    screen.setClipRegion(event->region());
    if (exposed)
        screen.fillRect(rect(), background);
    screen.drawImage(area.topLeft(), contents);
    if (exposed)
        QwtPlotCanvas::drawBorder(&screen);
}

void PlotCanvas::drawBorder(QPainter *painter)
{
    if (borderExposed)
        QwtPlotCanvas::drawBorder(painter);
}

// The image holds the contents as a direct paint leaves them: an opaque
// background of one colour, the items clipped to the contents, one image
// pixel to a screen pixel.
bool PlotCanvas::paintsThroughImage() const
{
    const QBrush background = palette().brush(backgroundRole());
    return autoFillBackground() && background.style() == Qt::SolidPattern
           && background.color().alpha() == 255 && !testAttribute(Qt::WA_StyledBackground)
           && borderRadius() == 0.0 && devicePixelRatioF() == 1.0
           && !(hasFocus() && focusIndicator() == QwtPlotCanvas::CanvasFocusIndicator);
}
