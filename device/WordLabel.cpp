#include "WordLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QtMath>

#include <algorithm>
#include <cmath>

WordLabel::WordLabel(QWidget *parent)
    : QWidget(parent)
{
    // Opaque, so that a new text repaints the label alone and not the
    // windows and their frames under it.
    setAutoFillBackground(true);
    takeStyle();
}

void WordLabel::takeStyle()
{
    glyphs.setStyle(font(), palette().color(foregroundRole()), GlyphTiles::filledBackground(this), this);
}

void WordLabel::setText(const QString &text)
{
    if (text == shown)
        return;
    shown = text;
    update(layOutWords(false));
    if (std::ceil(width) > std::ceil(widest)) {
        widest = width;
        updateGeometry();
    }
}

QRect WordLabel::areaOf(const Word &word) const
{
    // Its advances and where its glyphs reach beyond them (a pixel more
    // each side: the glyphs stand on the pixels nearest to their places).
    const QRect advances = QRectF(word.x, 0, word.width, height()).toAlignedRect();
    const QRect reach(qFloor(word.x) + word.reach.left() - 1, 0, word.reach.width() + 3, height());
    return advances | reach;
}

int WordLabel::baseline() const
{
    // The line's middle on the label's, as a label centres it.
    const QFontMetrics metrics(font());
    return (height() - metrics.height()) / 2 + metrics.ascent();
}

QRegion WordLabel::layOutWords(bool afresh)
{
    QVector<Word> old;
    old.swap(words);
    // Each changed word on its own: the words between two changed ones
    // (the count and the deviation at either end) are not painted again.
    QRegion changed;
    if (afresh) {
        old.clear();
        changed = rect();
    }
    const qreal space = glyphs.width(QStringLiteral(" "));
    qreal x = 0;
    for (int i = 0; i < shown.size();) {
        if (shown.at(i) == QLatin1Char(' ')) {
            x += space;
            ++i;
            continue;
        }
        int end = i;
        while (end < shown.size() && shown.at(end) != QLatin1Char(' '))
            ++end;
        const QString word = shown.mid(i, end - i);
        i = end;
        auto kept = std::find_if(old.begin(), old.end(), [&word](const Word &w) { return w.text == word; });
        if (kept != old.end() && kept->x == x) {
            words.append(*kept);
            old.erase(kept);
        } else {
            if (kept != old.end()) {
                changed |= areaOf(*kept); // moved
                old.erase(kept);
            }
            words.append({word, x, glyphs.width(word), glyphs.reach(word)});
            changed |= areaOf(words.last());
        }
        x += words.last().width;
    }
    // Words gone leave their place blank.
    for (const Word &word : qAsConst(old))
        changed |= areaOf(word);
    width = words.isEmpty() ? 0 : x;
    return changed;
}

QSize WordLabel::sizeHint() const
{
    return QSize(int(std::ceil(std::max(width, widest))), fontMetrics().height());
}

QSize WordLabel::minimumSizeHint() const
{
    return sizeHint();
}

void WordLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        takeStyle();
        layOutWords(true);
        if (event->type() == QEvent::FontChange) {
            widest = width;
            updateGeometry();
        }
        update();
    } else if (event->type() == QEvent::LanguageChange) {
        // The texts to come are of another language: their own room.
        widest = width;
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

void WordLabel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const int y = baseline();
    for (const Word &word : qAsConst(words))
        if (event->region().intersects(areaOf(word)))
            glyphs.draw(&painter, QPointF(word.x, y), word.text);
}
