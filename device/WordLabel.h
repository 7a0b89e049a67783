#ifndef WORDLABEL_H
#define WORDLABEL_H

#include <QFont>
#include <QRegion>
#include <QSize>
#include <QStaticText>
#include <QString>
#include <QVector>
#include <QWidget>

// One line of plain text, left to right, rewritten often, of which most
// words stay the same from one text to the next ("Count: 7   Mean: 10.168 g
// ..."). It lays out each word once and keeps its glyphs while the word is
// shown; a new text lays out and repaints only the words that changed, and
// asks its layout again only when its width changed.
class WordLabel : public QWidget
{
    Q_OBJECT

public:
    explicit WordLabel(QWidget *parent = nullptr);

    QString text() const { return shown; }
    void setText(const QString &text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Word
    {
        QString text;
        QStaticText glyphs;
        qreal x; // from the start of the line
    };

    // Lays out the words of the text shown, keeping those that are still
    // there; gives the area of the words that changed.
    QRegion layOutWords(bool afresh);
    // Where a word is painted, its line at y.
    QRect areaOf(const Word &word, qreal y) const;
    qreal top() const;

    QString shown;
    QVector<Word> words;
    qreal width = 0;
};

#endif // WORDLABEL_H
