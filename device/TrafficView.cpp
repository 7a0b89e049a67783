#include "TrafficView.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Room left of the lines and above the first one.
const int margin = 4;

// Rounded down, also below zero.
int rowsIn(int pixels, int spacing)
{
    return pixels >= 0 ? pixels / spacing : -((spacing - 1 - pixels) / spacing);
}

} // namespace

TrafficView::TrafficView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    takeStyle();
    horizontalScrollBar()->setSingleStep(20);
}

void TrafficView::takeStyle()
{
    // The viewport fills itself with its background before it is painted.
    QWidget *area = viewport();
    const QBrush background = area->palette().brush(area->backgroundRole());
    glyphs.setStyle(font(), palette().color(QPalette::Text),
                    area->autoFillBackground() && background.style() == Qt::SolidPattern ? background.color()
                                                                                          : QColor(),
                    area);
    const QFontMetrics metrics(font());
    spacing = std::max(1, metrics.lineSpacing());
    ascent = metrics.ascent();
    for (Line &line : lines)
        line = laidOut(line.text);
}

TrafficView::Line TrafficView::laidOut(const QString &text)
{
    return Line{text, glyphs.width(text)};
}

QString TrafficView::toPlainText() const
{
    QStringList text;
    for (const Line &line : lines)
        text << line.text;
    return text.join(QLatin1Char('\n'));
}

int TrafficView::rows() const
{
    return std::max(1, (viewport()->height() - margin) / spacing);
}

void TrafficView::adjustScrollBars(int top)
{
    adjusting = true;
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, std::max(0, lineCount() - rows()));
    bar->setPageStep(rows());
    bar->setValue(top);
    qreal widest = 0;
    for (const Line &line : lines)
        widest = std::max(widest, line.width);
    bar = horizontalScrollBar();
    bar->setRange(0, std::max(0, int(std::ceil(widest)) + 2 * margin - viewport()->width()));
    bar->setPageStep(viewport()->width());
    adjusting = false;
}

void TrafficView::setLines(const QStringList &text)
{
    lines.clear();
    for (const QString &line : text)
        lines.push_back(laidOut(line));
    adjustScrollBars(INT_MAX);
    viewport()->update();
}

void TrafficView::replace(int droppedFirst, int droppedLast, const QStringList &added)
{
    QScrollBar *bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    droppedFirst = std::min(droppedFirst, lineCount());
    lines.erase(lines.begin(), lines.begin() + droppedFirst);
    droppedLast = std::min(droppedLast, lineCount());
    lines.erase(lines.end() - droppedLast, lines.end());
    const int firstChanged = lineCount();
    for (const QString &line : added)
        lines.push_back(laidOut(line));
    // The line that was at the top, if it is still there, stays on show
    // unless the view follows the last lines.
    const int oldTop = bar->value() - droppedFirst;
    adjustScrollBars(following ? INT_MAX : std::max(0, oldTop));
    const int moved = oldTop - bar->value();
    if (oldTop < 0 || std::abs(moved) > rows()) {
        viewport()->update();
        return;
    }
    if (moved != 0)
        viewport()->scroll(0, moved * spacing);
    const int changedAt = margin + (firstChanged - bar->value()) * spacing;
    if (changedAt < viewport()->height())
        viewport()->update(0, changedAt, viewport()->width(), viewport()->height() - changedAt);
}

void TrafficView::scrollContentsBy(int dx, int dy)
{
    if (!adjusting)
        viewport()->scroll(dx, dy * spacing);
}

void TrafficView::resizeEvent(QResizeEvent *event)
{
    QScrollBar *bar = verticalScrollBar();
    adjustScrollBars(bar->value() == bar->maximum() ? INT_MAX : bar->value());
    QAbstractScrollArea::resizeEvent(event);
}

void TrafficView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        takeStyle();
        QScrollBar *bar = verticalScrollBar();
        adjustScrollBars(bar->value() == bar->maximum() ? INT_MAX : bar->value());
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

// Every line with a pixel in the area, also those partly above or below the
// whole rows shown, so that pixels moved and pixels painted agree.
void TrafficView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const int top = verticalScrollBar()->value();
    const QRect area = event->rect();
    const int first = std::max(0, top + rowsIn(area.top() - margin, spacing));
    const int last = std::min(lineCount() - 1, top + rowsIn(area.bottom() - margin, spacing));
    const int x = margin - horizontalScrollBar()->value();
    for (int i = first; i <= last; ++i) {
        const Line &line = lines[size_t(i)];
        glyphs.draw(&painter, QPoint(x, margin + (i - top) * spacing + ascent), line.text);
    }
}
