#ifndef WORDLABEL_H
#define WORDLABEL_H

#include "GlyphTiles.h"

#include <QRegion>
#include <QSize>
#include <QString>
#include <QVector>
#include <QWidget>

// One line of plain text, left to right, rewritten often, of which most
// words stay the same from one text to the next ("Count: 7   Mean: 10.168 g
// ..."). A new text lays out and repaints only the words that changed, from
// glyphs made once per character. It asks for the room of the widest text
// it has shown since its font or language changed, so that figures that
// lose a digit and gain it back do not lay out the windows around it again.
// It fills itself with its background, which its glyphs are made on.
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
        qreal x; // from the start of the line
        qreal width;
        QRect reach; // of its glyphs, from its start on the baseline
    };

    // Lays out the words of the text shown, keeping those that are still
    // there; gives the area of the words that changed.
    QRegion layOutWords(bool afresh);
    // Where a word is painted.
    QRect areaOf(const Word &word) const;
    int baseline() const;
    void takeStyle();

    QString shown;
    QVector<Word> words;
    GlyphTiles glyphs;
    qreal width = 0;
    qreal widest = 0;
};

#endif // WORDLABEL_H
