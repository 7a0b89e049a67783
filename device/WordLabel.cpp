#include "WordLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

WordLabel::WordLabel(QWidget *parent)
    : QLabel(parent)
{
}

bool WordLabel::Measure::operator==(const Measure &other) const
{
    return width == other.width && font == other.font && margin == other.margin && indent == other.indent
           && contents == other.contents;
}

bool WordLabel::paintsWords() const
{
    const QString shown = text();
    return !wordWrap() && (textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(shown)))
           && !shown.contains(QLatin1Char('\n')) && !shown.isRightToLeft();
}

void WordLabel::layOutWords() const
{
    const QString shown = text();
    if (shown == laidOut && font() == laidOutFont)
        return;
    if (font() != laidOutFont)
        words.clear();
    const qreal space = QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
    QVector<Word> old;
    old.swap(words);
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
        auto kept = std::find_if(old.begin(), old.end(), [&word](const Word &w) { return w.text == word; });
        if (kept != old.end()) {
            words.append({word, kept->glyphs, x});
            old.erase(kept);
        } else {
            QStaticText glyphs(word);
            glyphs.setTextFormat(Qt::PlainText);
            glyphs.prepare(QTransform(), font());
            words.append({word, glyphs, x});
        }
        x += words.last().glyphs.size().width();
        i = end;
    }
    // The line ends with its last word, as the label measures it.
    wordsWidth = words.isEmpty() ? 0 : words.last().x + words.last().glyphs.size().width();
    laidOut = shown;
    laidOutFont = font();
}

void WordLabel::measure() const
{
    layOutWords();
    const Measure now{wordsWidth, font(), margin(), indent(), contentsMargins()};
    if (measured && now == measuredFor)
        return;
    hint = QLabel::sizeHint();
    minimumHint = QLabel::minimumSizeHint();
    measuredFor = now;
    measured = true;
}

QSize WordLabel::sizeHint() const
{
    if (!paintsWords())
        return QLabel::sizeHint();
    measure();
    return hint;
}

QSize WordLabel::minimumSizeHint() const
{
    if (!paintsWords())
        return QLabel::minimumSizeHint();
    measure();
    return minimumHint;
}

// Where the label would draw its text, and in its colour.
void WordLabel::paintEvent(QPaintEvent *event)
{
    if (!paintsWords()) {
        QLabel::paintEvent(event);
        return;
    }
    layOutWords();
    QPainter painter(this);
    drawFrame(&painter);
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    int indented = indent();
    if (indented < 0 && frameWidth())
        indented = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
    if (indented > 0) {
        if (align & Qt::AlignLeft)
            area.setLeft(area.left() + indented);
        if (align & Qt::AlignRight)
            area.setRight(area.right() - indented);
        if (align & Qt::AlignTop)
            area.setTop(area.top() + indented);
        if (align & Qt::AlignBottom)
            area.setBottom(area.bottom() - indented);
    }
    const QFontMetricsF metrics(font());
    const qreal height = metrics.ascent() + metrics.descent();
    qreal left = area.left(), top = area.top();
    if (align & Qt::AlignRight)
        left = area.left() + area.width() - wordsWidth;
    else if (align & Qt::AlignHCenter)
        left = area.left() + (area.width() - wordsWidth) / 2;
    if (align & Qt::AlignBottom)
        top = area.top() + area.height() - height;
    else if (align & Qt::AlignVCenter)
        top = area.top() + (area.height() - height) / 2;
    // A laid-out word has its leading above it.
    top -= std::max<qreal>(0, metrics.leading());
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(option.palette.color(foregroundRole()));
    for (const Word &word : qAsConst(words))
        painter.drawStaticText(QPointF(left + word.x, top), word.glyphs);
}
