#include "AsciiProtocol.h"

#include <algorithm>

namespace {

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

const char startOfText = '\x02';

// A number as scales print one: sign, blanks between it and the digits,
// a decimal point or comma; an exponent only where asked for.
const QString numberPart = QStringLiteral("[+-]? *(?:[0-9]+(?:[.,][0-9]+)?|[.,][0-9]+)");
const QString exponentPart = QStringLiteral("(?:[eE][+-]?[0-9]+)");

ScaleProtocol::Verdict refusal(ScaleProtocol::Condition condition, ScaleProtocol::Reading *reading,
                               QString *why = nullptr, const QString &said = QString())
{
    reading->condition = condition;
    if (why)
        *why = said;
    return ScaleProtocol::Rejected;
}

// Scales write their units in ASCII; a letter with the top bit set is a
// parity bit read as data, the line set otherwise than the scale.
bool isUnitLetter(QChar c)
{
    return c.unicode() < 0x80 && c.isLetter();
}

bool isUnitCharacter(QChar c)
{
    return isUnitLetter(c) || c == QLatin1Char('%') || c == QLatin1Char('.') || c == QLatin1Char('/');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// What stands between the fields of a line: blanks, and the commas and
// semicolons of frames written field by field.
bool endsField(const QString &text, int i)
{
    return i < 0 || i >= text.size() || isBlank(text.at(i)) || text.at(i) == QLatin1Char(',')
           || text.at(i) == QLatin1Char(';');
}

bool isMark(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char(',');
}

bool isDigit(const QString &text, int i)
{
    return i >= 0 && i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
}

// A number found in a line, and how it stands there.
struct Found
{
    enum Standing { Alone, WithUnit, Glued, WithExponent };
    Standing standing = Alone;
    QString value; // sign and digits
    QString units;
    QString field; // the line's field it stands in, as the operator is shown it
};

// Every run of digits in text, with its sign, and how it stands.
QList<Found> numbersIn(const QString &text, const QString &operatorUnit)
{
    QList<Found> numbers;
    const int n = text.size();
    for (int i = 0; i < n;) {
        if (!isDigit(text, i) && !(isMark(text.at(i)) && isDigit(text, i + 1))) {
            ++i;
            continue;
        }
        int end = i;
        while (isDigit(text, end))
            ++end;
        if (end < n && isMark(text.at(end)) && isDigit(text, end + 1)) {
            ++end;
            while (isDigit(text, end))
                ++end;
        }
        // The sign is the number's, with the blanks between it and the digits.
        int start = i;
        int signAt = i;
        while (signAt > 0 && isBlank(text.at(signAt - 1)))
            --signAt;
        if (signAt > 0 && (text.at(signAt - 1) == QLatin1Char('+') || text.at(signAt - 1) == QLatin1Char('-')))
            start = signAt - 1;
        Found found;
        found.value = (start < i ? text.mid(start, 1) : QString()) + text.mid(i, end - i);
        int next = end;
        if (end < n && isMark(text.at(end)) && isDigit(text, end + 1)) {
            found.standing = Found::Glued; // "1,234.5": a point and a comma
        } else if (end < n && (text.at(end) == QLatin1Char('e') || text.at(end) == QLatin1Char('E'))) {
            int digits = end + 1;
            if (digits < n && (text.at(digits) == QLatin1Char('+') || text.at(digits) == QLatin1Char('-')))
                ++digits;
            int past = digits;
            while (isDigit(text, past))
                ++past;
            found.standing = past > digits && endsField(text, past) ? Found::WithExponent : Found::Glued;
            next = past;
        } else if (endsField(text, end)) {
            int from = end;
            while (from < n && isBlank(text.at(from)))
                ++from;
            int past = from;
            while (past < n && isUnitCharacter(text.at(past)))
                ++past;
            const QString word = text.mid(from, past - from);
            if (from > end && endsField(text, past) && AsciiProtocol::isUnitWord(word)) {
                found.standing = Found::WithUnit;
                found.units = word;
            }
        } else {
            // Glued to the number, only a unit scales write counts as one.
            int past = end;
            while (past < n && isUnitCharacter(text.at(past)))
                ++past;
            const QString word = text.mid(end, past - end);
            const bool unitGlued = !word.isEmpty() && endsField(text, past)
                                   && (ScaleProtocol::isKnownUnit(word) || word == operatorUnit);
            found.standing = unitGlued ? Found::WithUnit : Found::Glued;
            found.units = word;
        }
        if (!endsField(text, start - 1))
            found.standing = Found::Glued;
        int fieldStart = start;
        while (!endsField(text, fieldStart - 1))
            --fieldStart;
        int fieldEnd = qMax(next, end);
        while (!endsField(text, fieldEnd))
            ++fieldEnd;
        found.field = text.mid(fieldStart, fieldEnd - fieldStart);
        numbers << found;
        i = qMax(next, end);
    }
    return numbers;
}

// The text of the pattern's value part: "[0-9.]+" of "(?<value>[0-9.]+) kg".
QString valuePartOf(const QString &pattern)
{
    static const QRegularExpression opening(QStringLiteral("\\(\\?(?:<value>|P<value>|'value')"));
    const QRegularExpressionMatch match = opening.match(pattern);
    if (!match.hasMatch())
        return QString();
    int depth = 1;
    bool inClass = false;
    for (int i = match.capturedEnd(); i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\\'))
            ++i;
        else if (inClass)
            inClass = c != QLatin1Char(']');
        else if (c == QLatin1Char('['))
            inClass = true;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth == 0)
            return pattern.mid(match.capturedEnd(), i - match.capturedEnd());
    }
    return QString();
}

// Whether a pattern's part names the letter of an exponent itself (\e is ESC).
bool namesExponent(const QString &part)
{
    for (int i = 0; i < part.size(); ++i) {
        if (part.at(i) == QLatin1Char('\\'))
            ++i;
        else if (part.at(i) == QLatin1Char('e') || part.at(i) == QLatin1Char('E'))
            return true;
    }
    return false;
}

} // namespace

AsciiProtocol::AsciiProtocol(const AsciiSetup &setup, const QString &unit)
    : setup(setup)
    , unit(unit.trimmed())
    , request(decoded(setup.request))
    , pattern(setup.pattern)
    , exponentAsked(namesExponent(valuePartOf(setup.pattern)))
{
}

int AsciiProtocol::quietTime() const
{
    return setup.lineEnd == AsciiSetup::Quiet ? qBound(shortestQuiet, setup.quietMs, longestQuiet) : 0;
}

int AsciiProtocol::firstLineEnd(const QByteArray &bytes) const
{
    const QByteArray end = terminator();
    if (end.size() == 1 && !isLineEnd(end.at(0)))
        return bytes.indexOf(end.at(0));
    return ScaleProtocol::firstLineEnd(bytes);
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
        return isUsableEndByte(setup.endByte) ? decoded(setup.endByte) : QByteArray();
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
    // A byte that cannot end a reply ends none (the store and the dialog never set one).
    if (end.isEmpty() && setup.lineEnd != AsciiSetup::Quiet)
        return refusal(NotUnderstood, reading);
    QByteArray line;
    if (end.isEmpty()) {
        if (!quiet)
            return reply.size() - start > longestLine ? refusal(NotUnderstood, reading) : Incomplete;
        line = reply.mid(start);
    } else {
        const int first = reply.indexOf(end, start);
        if (first < 0)
            return reply.size() - start > longestLine ? refusal(NotUnderstood, reading) : Incomplete;
        if (sendsUnasked()) {
            // The newest whole line counts; the older ones are past.
            const int last = reply.lastIndexOf(end);
            const int from = last > 0 ? reply.lastIndexOf(end, last - 1) : -1;
            line = from < start ? reply.mid(start, last - start) : reply.mid(from + end.size(), last - from - end.size());
        } else {
            // Anything but line ends after the reply is a second one, or noise.
            if (!std::all_of(reply.cbegin() + first + end.size(), reply.cend(), isLineEnd))
                return refusal(NotUnderstood, reading);
            line = reply.mid(start, first - start);
        }
    }
    // Line ends of another kind around it are the scale's, inside it they glue two lines.
    while (line.endsWith('\r') || line.endsWith('\n'))
        line.chop(1);
    while (line.startsWith('\r') || line.startsWith('\n'))
        line.remove(0, 1);
    if (line.contains('\r') || line.contains('\n'))
        return refusal(NotUnderstood, reading);
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

ScaleProtocol::Verdict AsciiProtocol::parseLine(const QByteArray &line, Reading *reading, QString *why) const
{
    const QByteArray frame = line.startsWith(startOfText) ? line.mid(1) : line;
    const QString text = QString::fromLatin1(frame.constData(), frame.size());
    if (why)
        why->clear();
    if (!setup.overloadText.isEmpty() && text.contains(setup.overloadText))
        return refusal(Overload, reading);
    if (!setup.noWeightText.isEmpty() && text.contains(setup.noWeightText))
        return refusal(NoWeight, reading);
    reading->stable = setup.unstableText.isEmpty() || !text.contains(setup.unstableText);
    const Verdict verdict = setup.pattern.isEmpty() ? readAlone(text, reading, why)
                                                    : readByPattern(text, reading, why);
    if (verdict != Accepted)
        return verdict;
    reading->value.remove(QLatin1Char(' '));
    if (setup.decimals > 0 && !putPointIn(&reading->value))
        return refusal(NotUnderstood, reading, why,
                       tr("%1 has a decimal point of its own, but decimal places are set").arg(reading->value));
    if (reading->units.isEmpty())
        reading->units = unit;
    reading->condition = Weighed;
    return Accepted;
}

ScaleProtocol::Verdict AsciiProtocol::readAlone(const QString &text, Reading *reading, QString *why) const
{
    const QList<Found> numbers = numbersIn(text, unit);
    QList<Found> weights;
    for (const Found &number : numbers)
        if (number.standing == Found::WithUnit || (number.standing == Found::Alone && !unit.isEmpty()))
            weights << number;
    if (weights.size() == 1) {
        reading->value = weights.first().value;
        reading->units = weights.first().units;
        return Accepted;
    }
    if (weights.size() > 1)
        return refusal(NotUnderstood, reading, why,
                       tr("two numbers could be the weight: %1 and %2")
                           .arg(weights.at(0).value, weights.at(1).value));
    // The reason most likely the one the operator looks for.
    for (Found::Standing standing : {Found::WithExponent, Found::Glued, Found::Alone}) {
        const auto found = std::find_if(numbers.cbegin(), numbers.cend(),
                                        [standing](const Found &number) { return number.standing == standing; });
        if (found == numbers.cend())
            continue;
        if (standing == Found::WithExponent)
            return refusal(NotUnderstood, reading, why,
                           tr("the number %1 has an exponent, read only by a pattern that asks for one")
                               .arg(found->field));
        if (standing == Found::Glued)
            return refusal(NotUnderstood, reading, why,
                           tr("the number is glued to other characters: %1").arg(found->field));
        return refusal(NotUnderstood, reading, why,
                       tr("the number %1 has no unit after it, and no unit is set for the scale")
                           .arg(found->value));
    }
    return refusal(NotUnderstood, reading, why, tr("no number stands alone with a unit after it"));
}

ScaleProtocol::Verdict AsciiProtocol::readByPattern(const QString &text, Reading *reading, QString *why) const
{
    if (!pattern.isValid() || !pattern.namedCaptureGroups().contains(QStringLiteral("value")))
        return refusal(NotUnderstood, reading, why, tr("the pattern cannot be used"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return refusal(NotUnderstood, reading, why, tr("the pattern does not match"));
    const QString value = match.captured(QStringLiteral("value")).trimmed();
    const QString units = match.captured(QStringLiteral("unit")).trimmed();
    if (pattern.namedCaptureGroups().contains(QStringLiteral("stable"))) {
        const QString mark = match.captured(QStringLiteral("stable"));
        reading->stable = setup.unstableText.isEmpty() ? !mark.isEmpty() : !mark.contains(setup.unstableText);
    }
    static const QRegularExpression plainNumber(QStringLiteral("\\A%1\\z").arg(numberPart));
    static const QRegularExpression withExponent(QStringLiteral("\\A%1%2\\z").arg(numberPart, exponentPart));
    if (!plainNumber.match(value).hasMatch()) {
        if (!withExponent.match(value).hasMatch())
            return refusal(NotUnderstood, reading, why, tr("the pattern's value is not a number: %1").arg(value));
        if (!exponentAsked)
            return refusal(NotUnderstood, reading, why,
                           tr("the number %1 has an exponent, read only by a pattern that asks for one").arg(value));
    }
    if (!units.isEmpty() && !isUnitWord(units))
        return refusal(UnknownUnit, reading, why, tr("the unit is not a word: %1").arg(units));
    reading->value = value;
    reading->units = units;
    return Accepted;
}

bool AsciiProtocol::putPointIn(QString *value) const
{
    const bool signed_ = value->startsWith(QLatin1Char('+')) || value->startsWith(QLatin1Char('-'));
    const QString sign = signed_ ? value->left(1) : QString();
    QString digits = value->mid(sign.size());
    if (digits.isEmpty() || !std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c.isDigit(); }))
        return false;
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    digits = digits.rightJustified(setup.decimals + 1, QLatin1Char('0'));
    *value = sign + digits.insert(digits.size() - setup.decimals, QLatin1Char('.'));
    return true;
}

// A command typed with a byte that cannot be sent is no command.
QByteArray AsciiProtocol::tareRequest(bool) const
{
    bool ok = false;
    const QByteArray bytes = decoded(setup.tareCommand, &ok);
    return ok ? bytes : QByteArray();
}

QByteArray AsciiProtocol::zeroRequest(bool) const
{
    bool ok = false;
    const QByteArray bytes = decoded(setup.zeroCommand, &ok);
    return ok ? bytes : QByteArray();
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

bool AsciiProtocol::isUsableEndByte(const QString &typed)
{
    bool ok = false;
    const QByteArray bytes = decoded(typed, &ok);
    return ok && bytes.size() == 1 && !(bytes.at(0) >= '0' && bytes.at(0) <= '9');
}

bool AsciiProtocol::isUnitWord(const QString &text)
{
    return !text.isEmpty() && text.size() <= 8 && (isUnitLetter(text.at(0)) || text.at(0) == QLatin1Char('%'))
           && std::all_of(text.cbegin(), text.cend(), isUnitCharacter);
}
