#include "WordLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

WordLabel::WordLabel(QWidget *parent)
    : QWidget(parent)
{
}

void WordLabel::setText(const QString &text)
{
    if (text == shown)
        return;
    shown = text;
    const qreal before = width;
    update(layOutWords(false));
    if (std::ceil(width) != std::ceil(before))
        updateGeometry();
}

QRect WordLabel::areaOf(const Word &word, qreal y) const
{
    // A pixel more each side for glyphs that reach beyond their advance.
    return QRectF(word.x - 1, y - 1, word.glyphs.size().width() + 2, word.glyphs.size().height() + 2)
        .toAlignedRect();
}

qreal WordLabel::top() const
{
    const QFontMetricsF metrics(font());
    // The line's middle on the label's, as a label centres it; a laid-out
    // word has its leading above it.
    return (height() - metrics.height()) / 2 - std::max<qreal>(0, metrics.leading());
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
    const qreal space = QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
    const qreal y = top();
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
            QStaticText glyphs = kept != old.end() ? kept->glyphs : QStaticText(word);
            if (kept != old.end()) {
                changed |= areaOf(*kept, y); // moved
                old.erase(kept);
            } else {
                glyphs.setTextFormat(Qt::PlainText);
                glyphs.prepare(QTransform(), font());
            }
            words.append({word, glyphs, x});
            changed |= areaOf(words.last(), y);
        }
        x += words.last().glyphs.size().width();
    }
    // Words gone leave their place blank.
    for (const Word &word : qAsConst(old))
        changed |= areaOf(word, y);
    width = words.isEmpty() ? 0 : x;
    return changed;
}

QSize WordLabel::sizeHint() const
{
    return QSize(int(std::ceil(width)), fontMetrics().height());
}

QSize WordLabel::minimumSizeHint() const
{
    return sizeHint();
}

void WordLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        layOutWords(true);
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}

void WordLabel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const qreal y = top();
    for (const Word &word : qAsConst(words))
        if (event->region().intersects(areaOf(word, y)))
            painter.drawStaticText(QPointF(word.x, y), word.glyphs);
}
