#include "TrafficView.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
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
    setFocusPolicy(Qt::StrongFocus); // for the copy key
}

void TrafficView::takeStyle()
{
    QWidget *area = viewport();
    glyphs.setStyle(font(), palette().color(QPalette::Text), GlyphTiles::filledBackground(area), area);
    // Selected lines are painted on the highlight, filled first.
    selectedGlyphs.setStyle(font(), palette().color(QPalette::HighlightedText),
                            palette().color(QPalette::Highlight), area);
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
    anchor = current = -1;
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
    // The selection stays on its lines, what is left of them.
    if (anchor >= 0) {
        anchor -= droppedFirst;
        current -= droppedFirst;
        if (std::max(anchor, current) < 0 || lineCount() == 0)
            anchor = current = -1;
        else {
            anchor = qBound(0, anchor, lineCount() - 1);
            current = qBound(0, current, lineCount() - 1);
        }
    }
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
        const int y = margin + (i - top) * spacing;
        if (selected(i)) {
            painter.fillRect(QRect(0, y, viewport()->width(), spacing), palette().color(QPalette::Highlight));
            selectedGlyphs.draw(&painter, QPoint(x, y + ascent), line.text);
        } else {
            glyphs.draw(&painter, QPoint(x, y + ascent), line.text);
        }
    }
}

int TrafficView::lineAt(int y) const
{
    return qBound(0, verticalScrollBar()->value() + rowsIn(y - margin, spacing), std::max(0, lineCount() - 1));
}

bool TrafficView::selected(int line) const
{
    return anchor >= 0 && line >= std::min(anchor, current) && line <= std::max(anchor, current);
}

void TrafficView::select(int from, int to)
{
    if (from == anchor && to == current)
        return;
    anchor = from;
    current = to;
    viewport()->update();
}

QString TrafficView::selectedText() const
{
    if (anchor < 0)
        return QString();
    QStringList text;
    for (int i = std::min(anchor, current); i <= std::max(anchor, current); ++i)
        text << lines[size_t(i)].text;
    return text.join(QLatin1Char('\n'));
}

void TrafficView::selectAll()
{
    if (lineCount() > 0)
        select(0, lineCount() - 1);
}

void TrafficView::copySelection() const
{
    if (anchor < 0)
        return;
    const QString text = selectedText();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    if (clipboard->supportsSelection())
        clipboard->setText(text, QClipboard::Selection);
}

void TrafficView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && lineCount() > 0) {
        const int line = lineAt(event->pos().y());
        select(event->modifiers() & Qt::ShiftModifier && anchor >= 0 ? anchor : line, line);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void TrafficView::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) && anchor >= 0)
        select(anchor, lineAt(event->pos().y()));
    QAbstractScrollArea::mouseMoveEvent(event);
}

void TrafficView::mouseReleaseEvent(QMouseEvent *event)
{
    // As X11 applications do, a selection made is the selection to paste.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::LeftButton && anchor >= 0 && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void TrafficView::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        copySelection();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TrafficView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(tr("&Copy"), this, &TrafficView::copySelection);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(anchor >= 0);
    QAction *allAction = menu.addAction(tr("Select &all"), this, &TrafficView::selectAll);
    allAction->setShortcut(QKeySequence::SelectAll);
    allAction->setEnabled(lineCount() > 0);
    menu.exec(event->globalPos());
}
