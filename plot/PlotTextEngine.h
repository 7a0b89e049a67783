#ifndef PLOTTEXTENGINE_H
#define PLOTTEXTENGINE_H

#include <QFont>

#include <qwt_text.h>
#include <qwt_text_engine.h>

// Qwt's plain text engine, keeping the margins of the last font it was asked
// about. Scale labels are laid out and drawn to their ink, and Qwt finds a
// font's margins through a text key of the whole font each time: a followed
// axis, which moves at many readings, asked that dozens of times a reading.
// The margins depend on the font alone, not on the text. The engine has a
// text format of its own, so Qwt's stays in place for every other text.
class PlotTextEngine : public QwtPlainTextEngine
{
public:
    static constexpr QwtText::TextFormat Format = QwtText::OtherFormat;

    // Registers the engine for its format; once is enough.
    static void install();

    void textMargins(const QFont &font, const QString &text, double &left, double &right,
                     double &top, double &bottom) const override;

private:
    mutable bool known = false;
    mutable QFont lastFont;
    mutable double lastMargins[4] = {0, 0, 0, 0}; // left, right, top, bottom
};

#endif // PLOTTEXTENGINE_H
