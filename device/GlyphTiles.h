#ifndef GLYPHTILES_H
#define GLYPHTILES_H

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

#include <vector>

class QPaintDevice;
class QPainter;
class QWidget;

// Text drawn from an image of each character, made once per font and
// colour: laying out a line is adding up advances, and drawing it is
// copying a few small images straight into the pixels painted, where the
// painter would shape the text and blend each glyph through its clip. On an
// opaque background of a known colour each character is its cell (its
// advance wide, from its ascent to its descent) with the glyph on that
// background, copied (as far as the glyph reaches: the widget has filled
// the rest with its background), and what the glyph reaches outside the
// cell blended over its neighbours after; on any other, the glyph is
// blended. For lines of figures and Latin letters rewritten at every
// reading. A text with any other character is the painter's, whole. There
// is no kerning: each character stands at the whole pixel nearest to where
// the advances before it end.
class GlyphTiles
{
public:
    GlyphTiles();

    // Text in this font and colour on this background (any colour not
    // opaque: an unknown one), for this device's resolution; the images
    // made so far go when any of these changes.
    void setStyle(const QFont &font, const QColor &colour, const QColor &background,
                  const QPaintDevice *device);
    // The colour the widget fills itself with before it is painted; none
    // where it does not fill itself, or not with one colour.
    static QColor filledBackground(const QWidget *widget);

    qreal width(const QString &text);
    // The pixels the text is drawn on, from its baseline's start.
    QRect reach(const QString &text);
    // The text, its baseline starting at the point.
    void draw(QPainter *painter, const QPointF &baseline, const QString &text);

private:
    struct Tile
    {
        // Opaque: the part of the cell the glyph reaches, on the
        // background; null for a blank or on an unknown background.
        QImage cell;
        QPoint cellOffset; // of its top left from the pen on the baseline
        // Premultiplied: the glyph's pixels outside its cell, or all of them
        // on an unknown background; null where there are none.
        QImage over;
        QPoint overOffset; // of its top left from the pen on the baseline
        qreal advance = 0;
        bool made = false;
    };

    // The measures and images for the style set.
    void remake();
    static bool tiled(const QString &text);
    // Calls glyph(tile, pen) for each character, the pen on whole pixels.
    template<typename Glyph>
    void forEachGlyph(const QString &text, const QPointF &baseline, Glyph glyph);
    const Tile &tile(QChar character);

    QFont font;
    QColor colour;
    QColor background;
    int dpiX = 96;
    int dpiY = 96;
    // A pixel at the device's resolution, for the font's measures.
    QImage resolution;
    std::vector<Tile> tiles;
};

#endif // GLYPHTILES_H
