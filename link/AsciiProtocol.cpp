#include "AsciiProtocol.h"

#include <algorithm>

namespace {

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

// A number as scales print one: sign, blanks between it and the digits,
// a decimal point or comma. No exponent, no "nan" or "inf".
const QString numberPart = QStringLiteral("[+-]? *(?:[0-9]+(?:[.,][0-9]+)?|[.,][0-9]+)");

ScaleProtocol::Verdict refused(ScaleProtocol::Condition condition, ScaleProtocol::Reading *reading)
{
    reading->condition = condition;
    return ScaleProtocol::Rejected;
}

bool isUnitCharacter(QChar c)
{
    return c.isLetter() || c == QLatin1Char('%') || c == QLatin1Char('.') || c == QLatin1Char('/');
}

// A unit: a word that starts with a letter (or is a percentage).
bool isUnit(const QString &text)
{
    return !text.isEmpty() && text.size() <= 8 && (text.at(0).isLetter() || text.at(0) == QLatin1Char('%'))
           && std::all_of(text.cbegin(), text.cend(), isUnitCharacter);
}

} // namespace

AsciiProtocol::AsciiProtocol(const AsciiSetup &setup, const QString &unit)
    : setup(setup)
    , unit(unit)
    , request(decoded(setup.request))
    , pattern(setup.pattern)
{
}

int AsciiProtocol::quietTime() const
{
    return setup.lineEnd == AsciiSetup::Quiet ? qBound(shortestQuiet, setup.quietMs, longestQuiet) : 0;
}

QByteArray AsciiProtocol::terminator() const
{
    switch (setup.lineEnd) {
    case AsciiSetup::Cr:
        return QByteArrayLiteral("\r");
    case AsciiSetup::Lf:
        return QByteArrayLiteral("\n");
    case AsciiSetup::CrLf:
        return QByteArrayLiteral("\r\n");
    case AsciiSetup::Etx:
        return QByteArrayLiteral("\x03");
    case AsciiSetup::OtherByte:
        return decoded(setup.endByte).left(1);
    case AsciiSetup::Quiet:
        break;
    }
    return QByteArray();
}

ScaleProtocol::Verdict AsciiProtocol::valueFromReply(const QByteArray &reply, bool quiet,
                                                     Reading *reading) const
{
    // Line ends that trailed the last reply may lead this one.
    const int start = int(std::find_if_not(reply.cbegin(), reply.cend(), isLineEnd) - reply.cbegin());
    const QByteArray end = terminator();
    QByteArray line;
    if (end.isEmpty()) {
        if (!quiet)
            return reply.size() - start > longestLine ? refused(NotUnderstood, reading) : Incomplete;
        line = reply.mid(start);
    } else {
        const int first = reply.indexOf(end, start);
        if (first < 0)
            return reply.size() - start > longestLine ? refused(NotUnderstood, reading) : Incomplete;
        if (sendsUnasked()) {
            // The newest whole line counts; the older ones are past.
            const int last = reply.lastIndexOf(end);
            const int from = last > 0 ? reply.lastIndexOf(end, last - 1) : -1;
            line = from < start ? reply.mid(start, last - start) : reply.mid(from + end.size(), last - from - end.size());
        } else {
            // Anything but line ends after the reply is a second one, or noise.
            if (!std::all_of(reply.cbegin() + first + end.size(), reply.cend(), isLineEnd))
                return refused(NotUnderstood, reading);
            line = reply.mid(start, first - start);
        }
    }
    // Line ends of another kind around it are the scale's, inside it they glue two lines.
    while (line.endsWith('\r') || line.endsWith('\n'))
        line.chop(1);
    while (line.startsWith('\r') || line.startsWith('\n'))
        line.remove(0, 1);
    if (line.contains('\r') || line.contains('\n'))
        return refused(NotUnderstood, reading);
    if (line.isEmpty())
        return Incomplete;
    return parseLine(line, reading);
}

QByteArray AsciiProtocol::leftover(const QByteArray &reply) const
{
    const QByteArray end = terminator();
    if (end.isEmpty() || !sendsUnasked())
        return QByteArray();
    return reply.mid(reply.lastIndexOf(end) + end.size());
}

ScaleProtocol::Verdict AsciiProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    const QString text = QString::fromLatin1(line.constData(), line.size());
    if (!setup.overloadText.isEmpty() && text.contains(setup.overloadText))
        return refused(Overload, reading);

    QString value;
    QString units;
    bool stable = setup.unstableText.isEmpty() || !text.contains(setup.unstableText);
    if (setup.pattern.isEmpty()) {
        // The first number that stands on its own (no digit or decimal mark
        // glued before or after it), and the word right after it.
        static const QRegularExpression firstNumber(QStringLiteral("(?<![0-9])(?<![0-9][.,])(%1)(?![.,]?[0-9])")
                                                        .arg(numberPart));
        const QRegularExpressionMatch match = firstNumber.match(text);
        if (!match.hasMatch())
            return refused(NotUnderstood, reading);
        value = match.captured(1);
        int i = match.capturedEnd(1);
        while (i < text.size() && text.at(i) == QLatin1Char(' '))
            ++i;
        const int unitStart = i;
        while (i < text.size() && isUnitCharacter(text.at(i)))
            ++i;
        units = text.mid(unitStart, i - unitStart);
        // "12.5e3": a number the scale does not write, not a unit "e".
        if (i < text.size() && text.at(i).isDigit())
            return refused(NotUnderstood, reading);
        if (!units.isEmpty() && !isUnit(units))
            units.clear(); // a mark such as "?" after the number
    } else {
        const QRegularExpressionMatch match = pattern.match(text);
        if (!pattern.isValid() || !match.hasMatch())
            return refused(NotUnderstood, reading);
        value = match.captured(QStringLiteral("value")).trimmed();
        units = match.captured(QStringLiteral("unit")).trimmed();
        if (pattern.namedCaptureGroups().contains(QStringLiteral("stable"))) {
            const QString mark = match.captured(QStringLiteral("stable"));
            stable = setup.unstableText.isEmpty() ? !mark.isEmpty() : !mark.contains(setup.unstableText);
        }
        static const QRegularExpression wholeNumber(QStringLiteral("\\A%1\\z").arg(numberPart));
        if (!wholeNumber.match(value).hasMatch())
            return refused(NotUnderstood, reading);
        if (!units.isEmpty() && !isUnit(units))
            return refused(UnknownUnit, reading);
    }
    reading->value = value.remove(QLatin1Char(' '));
    reading->units = units;
    reading->stable = stable;
    reading->condition = Weighed;
    return Accepted;
}

QByteArray AsciiProtocol::decoded(const QString &typed, bool *ok)
{
    QByteArray bytes;
    bool good = true;
    for (int i = 0; i < typed.size(); ++i) {
        const QChar c = typed.at(i);
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
            good = false;
        } else if (c != QLatin1Char('\\')) {
            bytes += char(c.unicode());
        } else if (i + 1 < typed.size()) {
            const QChar escape = typed.at(++i);
            if (escape == QLatin1Char('r'))
                bytes += '\r';
            else if (escape == QLatin1Char('n'))
                bytes += '\n';
            else if (escape == QLatin1Char('t'))
                bytes += '\t';
            else if (escape == QLatin1Char('\\'))
                bytes += '\\';
            else if (escape == QLatin1Char('x') && i + 2 < typed.size()) {
                bool hex = false;
                const int byte = typed.mid(i + 1, 2).toInt(&hex, 16);
                good = good && hex && typed.at(i + 1).isLetterOrNumber() && typed.at(i + 2).isLetterOrNumber();
                bytes += char(byte);
                i += 2;
            } else
                good = false;
        } else {
            good = false;
        }
    }
    if (ok)
        *ok = good;
    return good ? bytes : QByteArray();
}

bool AsciiProtocol::isUsablePattern(const QString &text)
{
    const QRegularExpression expression(text);
    return expression.isValid() && expression.namedCaptureGroups().contains(QStringLiteral("value"));
}
