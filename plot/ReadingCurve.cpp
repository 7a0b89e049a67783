#include "ReadingCurve.h"

#include <QPainter>

#include <qwt_painter.h>
#include <qwt_scale_map.h>
#include <qwt_symbol.h>

#include <QtAlgorithms>

#include <algorithm>
#include <cmath>

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
