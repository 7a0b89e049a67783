#include "EtxReplyProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict EtxReplyProtocol::valueFromReply(const QByteArray &reply, bool,
                                                        Reading *reading) const
{
    // The reply is whole at its ETX only: a weight line alone is half of it,
    // and its status may yet say the weight is none.
    const int end = reply.indexOf('\x03');
    if (end < 0)
        return reply.size() >= longestReply ? refused(NotUnderstood, reading) : Incomplete;
    if (end != reply.size() - 1)
        return refused(NotUnderstood, reading);
    static const QRegularExpression layout(
        QStringLiteral("\\A\\n([\\x20-\\x7e]*)\\r\\n([\\x30-\\x3f])([\\x30-\\x3f])\\r\\x03\\z"));
    const QRegularExpressionMatch match = layout.match(QString::fromLatin1(reply.constData(), reply.size()));
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);

    const int first = match.captured(2).at(0).unicode();
    const int second = match.captured(3).at(0).unicode();
    const bool under = second & UnderCapacity;
    const bool over = second & OverCapacity;
    if (over || under)
        return refused(over && under ? OutOfRange : over ? Overload : Underload, reading);

    // The number, then its unit with no blank between.
    static const QRegularExpression weight(
        QStringLiteral("\\A *([+-]?) *([0-9]+\\.?[0-9]*|\\.[0-9]+)([A-Za-z]+) *\\z"));
    const QRegularExpressionMatch number = weight.match(match.captured(1));
    if (!number.hasMatch())
        return refused(NotUnderstood, reading);
    // These scales write every unit in capitals, grams as "G" too; a lone
    // "G" elsewhere is more often a gross mark than a unit.
    const QString unit = number.captured(3);
    if (!isKnownUnit(unit) && unit != QLatin1String("G"))
        return refused(UnknownUnit, reading);
    reading->value = number.captured(1) + number.captured(2);
    reading->units = number.captured(3);
    reading->stable = !(first & InMotion);
    reading->condition = Weighed;
    return Accepted;
}
