#ifndef WORDLABEL_H
#define WORDLABEL_H

#include <QFont>
#include <QLabel>
#include <QSize>
#include <QStaticText>
#include <QString>
#include <QVector>

// A label for one line of plain text rewritten often, of which most words
// stay the same from one text to the next ("Count: 7   Mean: 10.168 g ...").
// It lays out each word once and keeps its glyphs while the word is shown,
// so that a new text lays out only its new words; it asks the label for its
// size again only when the words' width changes. Other texts (several lines,
// rich text, right to left) it leaves to the label.
class WordLabel : public QLabel
{
    Q_OBJECT

public:
    explicit WordLabel(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Word
    {
        QString text;
        QStaticText glyphs;
        qreal x; // from the start of the line
    };
    // What the label's size was worked out from.
    struct Measure
    {
        qreal width;
        QFont font;
        int margin;
        int indent;
        QMargins contents;
        bool operator==(const Measure &other) const;
    };

    // Whether the words are painted here, and not by the label.
    bool paintsWords() const;
    // Brings the words up to the label's text and font, keeping those that
    // are still there.
    void layOutWords() const;
    // The label's hints, worked out again only when the words' width or the
    // label's margins changed.
    void measure() const;

    mutable QString laidOut;
    mutable QFont laidOutFont;
    mutable QVector<Word> words;
    mutable qreal wordsWidth = 0;
    mutable bool measured = false;
    mutable Measure measuredFor{};
    mutable QSize hint;
    mutable QSize minimumHint;
};

#endif // WORDLABEL_H
