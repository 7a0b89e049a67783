#include "ReadingCurve.h"

#include "RasterTarget.h"

#include <QImage>
#include <QPainter>

#include <qwt_painter.h>
#include <qwt_scale_map.h>
#include <qwt_symbol.h>

#include <QtAlgorithms>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

namespace {

// Appends a corner of a polyline, merging it with the last one when the two
// run on in the same direction along the same row or column.
void extend(QPolygon &line, const QPoint &point)
{
    const int n = line.size();
    if (n > 0 && line.at(n - 1) == point)
        return;
    if (n > 1) {
        const QPoint &a = line.at(n - 2);
        const QPoint &b = line.at(n - 1);
        const bool row = a.y() == b.y() && b.y() == point.y()
                         && (b.x() - a.x() >= 0) == (point.x() - b.x() >= 0);
        const bool column = a.x() == b.x() && b.x() == point.x()
                            && (b.y() - a.y() >= 0) == (point.y() - b.y() >= 0);
        if (row || column) {
            line[n - 1] = point;
            return;
        }
    }
    line.append(point);
}

// A pen the raster engine draws as lines one pixel wide, reaching both ends,
// in one opaque colour.
bool onePixel(const QPen &pen)
{
    return pen.style() == Qt::SolidLine && pen.brush().style() == Qt::SolidPattern
           && pen.color().alpha() == 255 && (pen.widthF() == 0.0 || pen.widthF() == 1.0)
           && pen.capStyle() == Qt::SquareCap;
}

// Pixels of one colour written into an image's 32-bit rows, inside a
// rectangle of them.
struct Raster
{
    uchar *bits;
    int stride;
    QRect clip;
    quint32 colour;
};

// The pixels from x0 to x1 in row y, both ends included.
void fillRow(const Raster &raster, int y, int x0, int x1)
{
    if (x0 > x1)
        std::swap(x0, x1);
    if (y < raster.clip.top() || y > raster.clip.bottom())
        return;
    x0 = std::max(x0, raster.clip.left());
    x1 = std::min(x1, raster.clip.right());
    if (x0 <= x1)
        std::fill_n(reinterpret_cast<quint32 *>(raster.bits + qptrdiff(y) * raster.stride) + x0,
                    x1 - x0 + 1, raster.colour);
}

// The pixels from y0 to y1 in column x, both ends included.
void fillColumn(const Raster &raster, int x, int y0, int y1)
{
    if (y0 > y1)
        std::swap(y0, y1);
    if (x < raster.clip.left() || x > raster.clip.right())
        return;
    y0 = std::max(y0, raster.clip.top());
    y1 = std::min(y1, raster.clip.bottom());
    // Followed readings rise over much of the canvas height: eight rows a turn.
    const quint32 colour = raster.colour;
    const qptrdiff step = raster.stride / 4;
    quint32 *pixel = reinterpret_cast<quint32 *>(raster.bits + qptrdiff(y0) * raster.stride) + x;
    int rows = y1 - y0 + 1;
    for (; rows >= 8; rows -= 8, pixel += 8 * step) {
        pixel[0] = colour;
        pixel[step] = colour;
        pixel[2 * step] = colour;
        pixel[3 * step] = colour;
        pixel[4 * step] = colour;
        pixel[5 * step] = colour;
        pixel[6 * step] = colour;
        pixel[7 * step] = colour;
    }
    for (; rows > 0; --rows, pixel += step)
        *pixel = colour;
}

} // namespace

ReadingCurve::ReadingCurve(const QString &title)
    : QwtPlotCurve(title)
{
}

QVector<QPoint> ReadingCurve::pixels(const QwtScaleMap &xMap, const QwtScaleMap &yMap, int from,
                                     int to) const
{
    QVector<QPoint> points;
    points.reserve(to - from + 1);
    for (int i = from; i <= to; ++i) {
        const QPointF sample = data()->sample(size_t(i));
        const double x = xMap.transform(sample.x());
        const double y = yMap.transform(sample.y());
        // Far outside the canvas a pixel is clipped anyway; clamping keeps
        // the integer conversion defined.
        if (std::isfinite(x) && std::isfinite(y))
            points.append(QPoint(qRound(qBound(-1e6, x, 1e6)), qRound(qBound(-1e6, y, 1e6))));
    }
    return points;
}

void ReadingCurve::drawSteps(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                             const QRectF &canvasRect, int from, int to) const
{
    if (!QwtPainter::roundingAlignment(painter)) {
        QwtPlotCurve::drawSteps(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    const QVector<QPoint> points = pixels(xMap, yMap, from, to);
    if (points.isEmpty())
        return;
    // Inverted steps rise first and then run on: each level leads up to its
    // own reading.
    const bool inverted = testCurveAttribute(QwtPlotCurve::Inverted);
    QPolygon line;
    line.append(points.first());
    for (int i = 1; i < points.size(); ++i) {
        const QPoint &last = points.at(i - 1);
        const QPoint &next = points.at(i);
        extend(line, inverted ? QPoint(last.x(), next.y()) : QPoint(next.x(), last.y()));
        extend(line, next);
    }
    painter->drawPolyline(line);
}

void ReadingCurve::drawSymbols(QPainter *painter, const QwtSymbol &symbol, const QwtScaleMap &xMap,
                               const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                               int to) const
{
    if (!QwtPainter::roundingAlignment(painter) || symbol.style() != QwtSymbol::Rect
        || symbol.brush().style() != Qt::NoBrush) {
        QwtPlotCurve::drawSymbols(painter, symbol, xMap, yMap, canvasRect, from, to);
        return;
    }
    // The hollow squares of a full window overlap: their pixels are gathered
    // row by row first, and each run of them is filled once. The raster
    // engine fills a run much faster than it strokes a square.
    const QSize size = symbol.size();
    const QRect area = canvasRect.toAlignedRect();
    if (area.isEmpty())
        return;
    const int words = (area.width() + 63) / 64;
    QVector<quint64> rows(words * area.height(), 0);
    const auto mark = [&](int x, int y, int length) {
        x -= area.left();
        y -= area.top();
        if (y < 0 || y >= area.height())
            return;
        for (int end = std::min(x + length, area.width()), at = std::max(x, 0); at < end; ++at)
            rows[y * words + at / 64] |= quint64(1) << (at % 64);
    };
    // A cosmetic pen draws a square one pixel wider and higher than its size.
    const int w = size.width() + 1;
    const int h = size.height() + 1;
    QPoint last(INT_MIN, INT_MIN);
    for (const QPoint &point : pixels(xMap, yMap, from, to)) {
        if (point == last)
            continue;
        last = point;
        const int left = point.x() - size.width() / 2;
        const int top = point.y() - size.height() / 2;
        mark(left, top, w);
        mark(left, top + h - 1, w);
        for (int y = top + 1; y < top + h - 1; ++y) {
            mark(left, y, 1);
            mark(left + w - 1, y, 1);
        }
    }
    QVector<QRect> runs;
    for (int y = 0; y < area.height(); ++y) {
        const quint64 *row = rows.constData() + y * words;
        int x = 0;
        while (x < area.width()) {
            const quint64 word = row[x / 64] >> (x % 64);
            if (!word) {
                x = (x / 64 + 1) * 64;
                continue;
            }
            x += qCountTrailingZeroBits(word);
            int end = x;
            while (end < area.width() && (row[end / 64] >> (end % 64) & 1))
                ++end;
            runs.append(QRect(area.left() + x, area.top() + y, end - x, 1));
            x = end;
        }
    }
    painter->setPen(Qt::NoPen);
    painter->setBrush(symbol.pen().color());
    painter->drawRects(runs);
}

void ReadingCurve::drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                              const QRectF &canvasRect, int from, int to) const
{
    const QwtSymbol *marker = symbol();
    const bool marked = marker && marker->style() != QwtSymbol::NoSymbol;
    const int count = int(dataSize());
    QPoint offset;
    QRect bounds;
    QImage *image = nullptr;
    if (count > 0 && style() == QwtPlotCurve::Steps && brush().style() == Qt::NoBrush
        && onePixel(pen())
        && (!marked
            || (marker->style() == QwtSymbol::Rect && marker->brush().style() == Qt::NoBrush
                && onePixel(marker->pen()) && !marker->size().isEmpty())))
    {
        const RasterTarget target(painter);
        // The steps are written within a rectangle.
        if (target.isValid() && target.clip().rectCount() <= 1
            && !painter->testRenderHint(QPainter::Antialiasing)) {
            image = target.image();
            offset = target.offset();
            bounds = target.clip().boundingRect();
        }
    }
    if (!image) {
        QwtPlotCurve::drawSeries(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    if (to < 0)
        to = count - 1;
    from = qBound(0, from, count - 1);
    to = qBound(0, to, count - 1);
    if (from > to)
        std::swap(from, to);
    QVector<QPoint> points = pixels(xMap, yMap, from, to);
    for (QPoint &point : points)
        point += offset;
    const Raster steps{image->bits(), image->bytesPerLine(), bounds, pen().color().rgba()};

    // A polyline that never leaves its first pixel draws nothing.
    if (std::adjacent_find(points.cbegin(), points.cend(), std::not_equal_to<QPoint>())
        != points.cend()) {
        // Where readings outnumber pixel columns, the rises within a column
        // overlap: each column's run is gathered and written once.
        int column = INT_MIN;
        int low = 0;
        int high = -1;
        const auto rise = [&](int x, int y0, int y1) {
            if (y0 > y1)
                std::swap(y0, y1);
            if (x == column && y0 <= high + 1 && y1 >= low - 1) {
                low = std::min(low, y0);
                high = std::max(high, y1);
                return;
            }
            fillColumn(steps, column, low, high);
            column = x;
            low = y0;
            high = y1;
        };
        const bool inverted = testCurveAttribute(QwtPlotCurve::Inverted);
        for (int i = 1; i < points.size(); ++i) {
            const QPoint &last = points.at(i - 1);
            const QPoint &next = points.at(i);
            if (inverted) {
                rise(last.x(), last.y(), next.y());
                fillRow(steps, next.y(), last.x(), next.x());
            } else {
                fillRow(steps, last.y(), last.x(), next.x());
                rise(next.x(), last.y(), next.y());
            }
        }
        fillColumn(steps, column, low, high);
    }
    if (!marked)
        return;

    // As drawn by the symbol, a square's outline reaches one pixel past its
    // size to the right and below; the markers stay inside the canvas.
    const Raster squares{steps.bits, steps.stride,
                         bounds & canvasRect.toAlignedRect().translated(offset),
                         marker->pen().color().rgba()};
    const QSize size = marker->size();
    QPoint last(INT_MIN, INT_MIN);
    for (const QPoint &point : qAsConst(points)) {
        if (point == last)
            continue;
        last = point;
        const int left = point.x() - size.width() / 2;
        const int top = point.y() - size.height() / 2;
        const int right = left + size.width();
        const int bottom = top + size.height();
        fillRow(squares, top, left, right);
        fillRow(squares, bottom, left, right);
        if (bottom - top > 1) {
            fillColumn(squares, left, top + 1, bottom - 1);
            fillColumn(squares, right, top + 1, bottom - 1);
        }
    }
}
