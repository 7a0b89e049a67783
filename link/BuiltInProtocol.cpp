#include "BuiltInProtocol.h"

#include <QStringList>

#include <algorithm>

namespace {

bool isBlankOrLineEnd(char byte)
{
    return byte == ' ' || byte == '\r' || byte == '\n';
}

bool onlyBlanksAndLineEnds(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), isBlankOrLineEnd);
}

// The reply's text: the bytes before the first NUL.
QByteArray textOf(const QByteArray &reply)
{
    const int nul = reply.indexOf('\0');
    return nul < 0 ? reply : reply.left(nul);
}

bool isEnded(const QByteArray &bytes)
{
    return bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0');
}

} // namespace

ScaleProtocol::Verdict BuiltInProtocol::unitFromReply(const QByteArray &reply, bool quiet,
                                                      QString *units) const
{
    return unitOf(reply, quiet, units);
}

ScaleProtocol::Verdict BuiltInProtocol::valueFromReply(const QByteArray &reply, bool quiet,
                                                       Reading *reading) const
{
    const Verdict verdict = valueOf(reply, quiet, &reading->value);
    reading->condition = verdict == Accepted ? Weighed : NotUnderstood;
    return verdict;
}

ScaleProtocol::Verdict BuiltInProtocol::unitOf(const QByteArray &reply, bool quiet, QString *units)
{
    static const QStringList knownUnits = {QStringLiteral("kg"), QStringLiteral("kg."),
                                           QStringLiteral("szt"), QStringLiteral("g")};
    if (reply.size() < unitReplyMinimum || !(quiet || isEnded(reply)))
        return Incomplete;
    QByteArray text = textOf(reply);
    text.replace(' ', QByteArray()).replace('\r', QByteArray()).replace('\n', QByteArray());
    const QString unit = QString::fromLatin1(text);
    if (!knownUnits.contains(unit))
        return Rejected;
    *units = unit;
    return Accepted;
}

ScaleProtocol::Verdict BuiltInProtocol::valueOf(const QByteArray &reply, bool quiet, QString *sample)
{
    if (reply.size() < valueFrameSize)
        return Incomplete;
    const QByteArray frame = reply.left(valueFrameSize);
    const QByteArray beyond = reply.mid(valueFrameSize);
    // Digits past the frame: a longer number, a second frame or noise.
    if (!onlyBlanksAndLineEnds(beyond))
        return Rejected;
    if (beyond.isEmpty() && !quiet && !isEnded(frame))
        return Incomplete; // the number may go on in the next byte

    // Line ends may lead the number and follow it, never split it.
    const QByteArray text = textOf(frame);
    int from = 0;
    while (from < text.size() && isBlankOrLineEnd(text.at(from)))
        ++from;
    int to = from;
    while (to < text.size() && text.at(to) != '\r' && text.at(to) != '\n')
        ++to;
    if (!onlyBlanksAndLineEnds(text.mid(to)))
        return Rejected;
    const QString number = QString::fromLatin1(text.mid(from, to - from)).remove(QLatin1Char(' '));
    if (!isNumber(number))
        return Rejected;
    *sample = number;
    return Accepted;
}
