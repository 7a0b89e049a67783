#include "EnqPolledProtocol.h"

#include <algorithm>

namespace {

const char stx = '\x02';
const char etx = '\x03';

} // namespace

ScaleProtocol::Verdict EnqPolledProtocol::valueFromReply(const QByteArray &reply, bool,
                                                         Reading *reading) const
{
    if (reply.isEmpty())
        return Incomplete;
    if (reply.at(0) != stx)
        return refused(NotUnderstood, reading);
    const int end = reply.indexOf(etx);
    if (end < 0)
        return reply.size() >= replySize ? refused(NotUnderstood, reading) : Incomplete;
    // A shorter field, or anything after the ETX (a second reply, noise).
    if (end != replySize - 1 || reply.size() != replySize)
        return refused(NotUnderstood, reading);

    const QByteArray field = reply.mid(1, replySize - 2);
    if (std::all_of(field.cbegin(), field.cend(), [](char byte) { return byte >= '0' && byte <= '9'; })) {
        // Grams, read as kilograms: leading zeros dropped, one kept before
        // the point.
        QByteArray kilos = field.left(2);
        if (kilos.startsWith('0'))
            kilos.remove(0, 1);
        reading->value = QString::fromLatin1(kilos + '.' + field.right(3));
        reading->units = QStringLiteral("kg");
        reading->stable = true;
        reading->condition = Weighed;
        return Accepted;
    }
    if (field.count(field.at(0)) != field.size())
        return refused(NotUnderstood, reading);
    switch (field.at(0)) {
    case 'I':
        return refused(Unsettled, reading);
    case 'N':
        return refused(Underload, reading);
    case 'S':
        return refused(Overload, reading);
    default:
        break;
    }
    return refused(NotUnderstood, reading);
}
