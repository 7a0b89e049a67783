#ifndef ASCIIPROTOCOL_H
#define ASCIIPROTOCOL_H

#include <QRegularExpression>

#include "ScaleProtocol.h"

// A scale of any make that writes its weight as text, described by the
// operator: what to send (or nothing), where a reply ends, and how the weight
// is found in it. As strict as the known kinds: a reply is one line, two are
// never glued, and only digits make a number.
//
// Without a pattern, the weight is the one number of the line that stands
// alone (between blanks, commas, semicolons or the line's ends, its sign
// and the blanks after the sign its own) with a unit after it: after blanks
// any word, glued to it only a unit scales write ("12.5kg", never "1G"). For
// a scale that writes no unit, the unit the operator set stands in: then a
// number alone is the weight. Numbers glued to anything else, or with an
// exponent, are never read; a line with two numbers that could be the weight
// is not read either.
//
// With a pattern, its value part is read. It may hold an exponent only when
// the text of the value part names the letter itself, as in
// (?<value>[0-9.]+[eE][+-]?[0-9]+); "\S+" or "." never let one through.
class AsciiProtocol : public ScaleProtocol
{
    Q_DECLARE_TR_FUNCTIONS(AsciiProtocol)

public:
    // unit: the one the operator set for a scale that writes none.
    explicit AsciiProtocol(const AsciiSetup &setup, const QString &unit = QString());

    QByteArray valueRequest() const override { return request; }
    // The operator's own commands; whatever the scale answers is not read.
    QByteArray tareRequest(bool) const override;
    QByteArray zeroRequest(bool) const override;
    int unconfirmedAfter() const override { return 300; }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
    QByteArray leftover(const QByteArray &reply) const override;
    int quietTime() const override;
    int firstLineEnd(const QByteArray &bytes) const override;

    // Reads one line, without its line end; a leading STX is the frame's
    // start. The value keeps the scale's digits, sign and decimal point or
    // comma, less blanks (with decimal places set, the point is put in).
    // Unless accepted, why gets the rule that refused the line, in words.
    Verdict parseLine(const QByteArray &line, Reading *reading, QString *why = nullptr) const;
    // The bytes that end a reply; empty when a quiet line ends it.
    QByteArray terminator() const;

    // The bytes of a request as typed; false in ok for an unknown escape.
    static QByteArray decoded(const QString &typed, bool *ok = nullptr);
    // Whether pattern can find a weight: it compiles and names a value part.
    static bool isUsablePattern(const QString &pattern);
    // Whether typed is one byte, typed as a request is, that can end a
    // reply: anything but a digit, which would cut the numbers.
    static bool isUsableEndByte(const QString &typed);
    // Whether text can be a unit: a short word that starts with a letter (or
    // is a percentage), with no blanks or digits.
    static bool isUnitWord(const QString &text);
    // The shortest and longest quiet time that can end a reply.
    static constexpr int shortestQuiet = 20;
    static constexpr int longestQuiet = 500;
    // The longest reply looked at; past it, a reply that never ended is refused.
    static constexpr int longestLine = 128;
    // The most decimal places a scale may leave out.
    static constexpr int mostDecimals = 6;

private:
    Verdict readAlone(const QString &text, Reading *reading, QString *why) const;
    Verdict readByPattern(const QString &text, Reading *reading, QString *why) const;
    // The value with the decimal places put in, false when it has its own point.
    bool putPointIn(QString *value) const;

    AsciiSetup setup;
    QString unit;
    QByteArray request;
    QRegularExpression pattern;
    bool exponentAsked;
};

#endif // ASCIIPROTOCOL_H
