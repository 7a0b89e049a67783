#include "LineProtocol.h"

#include <algorithm>

namespace {

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

} // namespace

ScaleProtocol::Verdict LineProtocol::valueFromReply(const QByteArray &reply, bool,
                                                    Reading *reading) const
{
    // Line ends that trail the reply before may lead this one.
    const auto begin = std::find_if_not(reply.cbegin(), reply.cend(), isLineEnd);
    const auto end = std::find_if(begin, reply.cend(), isLineEnd);
    if (end == reply.cend())
        return end - begin > longestLine ? refused(NotUnderstood, reading) : Incomplete;
    if (!std::all_of(end, reply.cend(), isLineEnd))
        return refused(NotUnderstood, reading);
    return parseLine(QByteArray(begin, int(end - begin)), reading);
}

ScaleProtocol::Verdict LineProtocol::weighed(const QString &value, const QString &units,
                                             bool stable, Reading *reading)
{
    // Blanks may stand between the sign and the digits, nowhere else.
    QString number = value.trimmed();
    if (number.startsWith(QLatin1Char('+')) || number.startsWith(QLatin1Char('-')))
        number = number.left(1) + number.mid(1).trimmed();
    if (!isNumber(number))
        return refused(NotUnderstood, reading);
    if (!isKnownUnit(units))
        return refused(UnknownUnit, reading);
    reading->value = number;
    reading->units = units;
    reading->stable = stable;
    reading->condition = Weighed;
    return Accepted;
}

