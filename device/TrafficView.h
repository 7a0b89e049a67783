#ifndef TRAFFICVIEW_H
#define TRAFFICVIEW_H

#include "GlyphTiles.h"

#include <QAbstractScrollArea>
#include <QString>
#include <QStringList>

#include <deque>

// The lines of a line monitor, one under the other and not wrapped, in the
// view's (fixed-pitch) font. Lines come at the end and go at the start,
// several at a time; while the view shows its last line it goes on showing
// the last ones, moving what it shows by its pixels and painting only the
// lines that came, from glyphs made once per character.
// It holds the lines it is given and no others. Whole lines are selected
// with the mouse (or all of them) and copied with the copy key or the
// context menu; the selection stays on its lines as others come and go.
class TrafficView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TrafficView(QWidget *parent = nullptr);

    int lineCount() const { return int(lines.size()); }
    // The lines, each but the last followed by a line feed.
    QString toPlainText() const;
    // These lines instead of those shown; the view then shows the last ones.
    void setLines(const QStringList &text);
    // Drops the first lines and the last ones and adds others at the end,
    // all in one change of the view.
    void replace(int droppedFirst, int droppedLast, const QStringList &added);

    // The lines selected, as toPlainText() gives them; empty for none.
    QString selectedText() const;
    void selectAll();
    // To the clipboard, and to the X11 selection where there is one.
    void copySelection() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    struct Line
    {
        QString text;
        qreal width;
    };

    Line laidOut(const QString &text);
    void takeStyle();
    // The line shown at the viewport's y, within the lines held.
    int lineAt(int y) const;
    // The lines from `from` to `to`, either way round; -1 for none.
    void select(int from, int to);
    bool selected(int line) const;
    // How many whole lines the viewport has room for.
    int rows() const;
    // The scroll bars' ranges for the lines held; the first line shown.
    void adjustScrollBars(int top);

    std::deque<Line> lines;
    GlyphTiles glyphs;
    GlyphTiles selectedGlyphs;
    int anchor = -1;
    int current = -1;
    int spacing = 1; // from one line's top to the next one's
    int ascent = 0;
    // While set, a scroll bar's new value is the view's own doing, and the
    // view moves its pixels itself.
    bool adjusting = false;
};

#endif // TRAFFICVIEW_H
