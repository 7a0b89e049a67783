#include "GlyphTiles.h"

#include "RasterTarget.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstring>

namespace {

// Space to Latin Extended-B, less the C1 controls and the soft hyphen: the
// figures, signs, units and letters of the texts drawn, one glyph each.
const ushort firstTiled = 0x20;
const ushort endTiled = 0x250;

bool tileable(QChar character)
{
    const ushort code = character.unicode();
    return code >= firstTiled && code < endTiled && (code < 0x7f || code >= 0xa0) && code != 0xad;
}

// Each of the four bytes of a pixel times alpha / 255, rounded: the
// painter's own sum, so that its pixels and these agree.
inline quint32 byteMul(quint32 pixel, quint32 alpha)
{
    quint32 redBlue = (pixel & 0xff00ff) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    quint32 alphaGreen = ((pixel >> 8) & 0xff00ff) * alpha;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

// A cell's row: a few pixels, copied without a call.
inline void copyRow(quint32 *to, const quint32 *from, int width)
{
    int x = 0;
    for (; x + 4 <= width; x += 4)
        std::memcpy(to + x, from + x, 4 * sizeof(quint32));
    if (x + 2 <= width) {
        std::memcpy(to + x, from + x, 2 * sizeof(quint32));
        x += 2;
    }
    if (x < width)
        to[x] = from[x];
}

inline void blendRow(quint32 *to, const quint32 *from, int width)
{
    for (int x = 0; x < width; ++x) {
        const quint32 source = from[x];
        if (source >= 0xff000000u)
            to[x] = source;
        else if (source != 0)
            to[x] = source + byteMul(to[x], 255 - (source >> 24));
    }
}

// The image onto the target's pixels, its top left at `at` in the target:
// copied, or blended when it is premultiplied and not opaque.
void put(const RasterTarget &target, const QImage &tile, const QPoint &at, bool copy)
{
    QImage *image = target.image();
    uchar *bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    const uchar *tileBits = tile.constBits();
    const qsizetype tileStride = tile.bytesPerLine();
    const QRect area(at, tile.size());
    for (const QRect &allowed : target.clip()) {
        const QRect part = allowed & area;
        const int width = part.width();
        const uchar *from = tileBits + (part.top() - at.y()) * tileStride
            + (part.left() - at.x()) * qsizetype(sizeof(quint32));
        uchar *to = bits + part.top() * stride + part.left() * qsizetype(sizeof(quint32));
        for (int rows = part.height(); rows > 0; --rows, from += tileStride, to += stride) {
            if (copy)
                copyRow(reinterpret_cast<quint32 *>(to), reinterpret_cast<const quint32 *>(from), width);
            else
                blendRow(reinterpret_cast<quint32 *>(to), reinterpret_cast<const quint32 *>(from), width);
        }
    }
}

// The rectangle of the pixels not transparent; empty for none.
QRect inked(const QImage &image)
{
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const quint32 *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

GlyphTiles::GlyphTiles()
{
    remake();
}

void GlyphTiles::remake()
{
    resolution = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    resolution.setDotsPerMeterX(qRound(dpiX / 0.0254));
    resolution.setDotsPerMeterY(qRound(dpiY / 0.0254));
    tiles.assign(endTiled - firstTiled, Tile());
}

void GlyphTiles::setStyle(const QFont &newFont, const QColor &newColour, const QColor &newBackground,
                          const QPaintDevice *device)
{
    const int newDpiX = device->logicalDpiX();
    const int newDpiY = device->logicalDpiY();
    const QColor known = newBackground.isValid() && newBackground.alpha() == 255 ? newBackground : QColor();
    if (newFont == font && newColour == colour && known == background
        && newDpiX == dpiX && newDpiY == dpiY)
        return;
    font = newFont;
    colour = newColour;
    background = known;
    dpiX = newDpiX;
    dpiY = newDpiY;
    remake();
}

QColor GlyphTiles::filledBackground(const QWidget *widget)
{
    const QBrush brush = widget->palette().brush(widget->backgroundRole());
    return widget->autoFillBackground() && brush.style() == Qt::SolidPattern ? brush.color() : QColor();
}

bool GlyphTiles::tiled(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), tileable);
}

const GlyphTiles::Tile &GlyphTiles::tile(QChar character)
{
    Q_ASSERT(!tiles.empty());
    Tile &tile = tiles[character.unicode() - firstTiled];
    if (tile.made)
        return tile;
    tile.made = true;
    const QFontMetrics metrics(font, &resolution);
    tile.advance = QFontMetricsF(font, &resolution).horizontalAdvance(character);
    // Room for what the glyph's box leaves out of its blended edges.
    const QRect box = metrics.boundingRect(character).adjusted(-2, -2, 2, 2);
    if (box.isEmpty())
        return tile;
    QImage glyph(box.size(), QImage::Format_ARGB32_Premultiplied);
    glyph.setDotsPerMeterX(resolution.dotsPerMeterX());
    glyph.setDotsPerMeterY(resolution.dotsPerMeterY());
    glyph.fill(Qt::transparent);
    {
        QPainter painter(&glyph);
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(-box.topLeft(), QString(character));
    }
    QRect ink = inked(glyph);
    if (ink.isEmpty())
        return tile;
    if (background.isValid()) {
        // The part of the cell the glyph reaches, in the glyph's
        // coordinates: the rest of the cell is the background already. Its
        // whole columns only, so that no two cells side by side overlap.
        const QRect cell = QRect(0, -metrics.ascent(), int(tile.advance), metrics.ascent() + metrics.descent())
                               .translated(-box.topLeft())
            & ink;
        if (!cell.isEmpty()) {
            tile.cell = QImage(cell.size(), QImage::Format_ARGB32_Premultiplied);
            tile.cell.fill(background);
            QPainter painter(&tile.cell);
            painter.drawImage(-cell.topLeft(), glyph);
            painter.end();
            tile.cellOffset = box.topLeft() + cell.topLeft();
            QPainter clearing(&glyph);
            clearing.setCompositionMode(QPainter::CompositionMode_Clear);
            clearing.fillRect(cell, Qt::transparent);
        }
        ink = inked(glyph);
    }
    if (!ink.isEmpty()) {
        tile.over = glyph.copy(ink);
        tile.overOffset = box.topLeft() + ink.topLeft();
    }
    return tile;
}

qreal GlyphTiles::width(const QString &text)
{
    if (!tiled(text))
        return QFontMetricsF(font, &resolution).horizontalAdvance(text);
    qreal sum = 0;
    for (QChar character : text)
        sum += tile(character).advance;
    return sum;
}

template<typename Glyph>
void GlyphTiles::forEachGlyph(const QString &text, const QPointF &baseline, Glyph glyph)
{
    qreal x = baseline.x();
    const int y = qRound(baseline.y());
    for (QChar character : text) {
        const Tile &tile = this->tile(character);
        glyph(tile, QPoint(qRound(x), y));
        x += tile.advance;
    }
}

QRect GlyphTiles::reach(const QString &text)
{
    if (!tiled(text))
        return QFontMetrics(font, &resolution).boundingRect(text).adjusted(-2, -2, 2, 2);
    QRect area;
    forEachGlyph(text, QPointF(), [&area](const Tile &tile, const QPoint &pen) {
        if (!tile.cell.isNull())
            area |= QRect(pen + tile.cellOffset, tile.cell.size());
        if (!tile.over.isNull())
            area |= QRect(pen + tile.overOffset, tile.over.size());
    });
    return area;
}

void GlyphTiles::draw(QPainter *painter, const QPointF &baseline, const QString &text)
{
    if (!tiled(text) || painter->device()->devicePixelRatioF() != 1.0) {
        // Sharper drawn by the painter on a scaled device.
        painter->save();
        painter->setFont(font);
        painter->setPen(colour);
        painter->drawText(baseline, text);
        painter->restore();
        return;
    }
    const RasterTarget target(painter);
    // The blend below is of premultiplied pixels; an image that is not
    // premultiplied is the painter's to blend into.
    const bool direct = target.isValid() && target.image()->format() != QImage::Format_ARGB32;
    const auto place = [&](const QImage &image, const QPoint &at, bool copy) {
        if (direct)
            put(target, image, at + target.offset(), copy);
        else
            painter->drawImage(at, image);
    };
    if (background.isValid())
        forEachGlyph(text, baseline, [&place](const Tile &tile, const QPoint &pen) {
            if (!tile.cell.isNull())
                place(tile.cell, pen + tile.cellOffset, true);
        });
    forEachGlyph(text, baseline, [&place](const Tile &tile, const QPoint &pen) {
        if (!tile.over.isNull())
            place(tile.over, pen + tile.overOffset, false);
    });
}
