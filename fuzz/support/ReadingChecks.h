#ifndef READINGCHECKS_H
#define READINGCHECKS_H

// Properties of a reading that hold whatever the parser's workings: written
// from what a reading must be, not from how a kind finds it.

#include <QByteArray>
#include <QString>

#include <algorithm>

namespace ReadingChecks {

// The bytes as text, blanks and tabs taken out: a reading's value keeps the
// scale's sign and digits but not the blanks between them.
inline QString withoutBlanks(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.constData(), bytes.size()).remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
}

// Whether bytes hold value as written, blanks aside.
inline bool holdsValue(const QByteArray &bytes, const QString &value)
{
    return withoutBlanks(bytes).contains(value);
}

// Whether bytes hold value's significant digits in one run, for a kind that
// leaves its point (and dummy zeros) to be implied: 12.34 from "001234",
// 12300 from "000123" with two dummy zeros.
inline bool holdsDigitsOf(const QByteArray &bytes, const QString &value)
{
    QString digits;
    for (const QChar c : value)
        if (c.isDigit())
            digits += c;
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return withoutBlanks(bytes).contains(digits.isEmpty() ? QStringLiteral("0") : digits);
}

// A unit as a scale may write one when the operator describes the scale:
// a short word, no digits or blanks, starting with a letter or percent.
inline bool isUnitWord(const QString &units)
{
    if (units.isEmpty() || units.size() > 8 || !(units.at(0).isLetter() || units.at(0) == QLatin1Char('%')))
        return false;
    return std::none_of(units.cbegin(), units.cend(),
                        [](QChar c) { return c.isDigit() || c.isSpace() || c.unicode() < 0x20 || c.unicode() > 0x7e; });
}

// A decimal number: optional sign, digits with at most one point or comma
// between or before them; no exponent, no blank.
inline bool isPlainNumber(const QString &value)
{
    int at = value.startsWith(QLatin1Char('+')) || value.startsWith(QLatin1Char('-')) ? 1 : 0;
    int digits = 0;
    int marks = 0;
    for (; at < value.size(); ++at) {
        const QChar c = value.at(at);
        if (c.isDigit() && c.unicode() < 0x80)
            ++digits;
        else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && ++marks == 1)
            continue;
        else
            return false;
    }
    return digits > 0 && !value.endsWith(QLatin1Char('.')) && !value.endsWith(QLatin1Char(','));
}

} // namespace ReadingChecks

#endif // READINGCHECKS_H
