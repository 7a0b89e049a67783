#include "RetailWProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict RetailWProtocol::valueFromReply(const QByteArray &reply, bool,
                                                       Reading *reading) const
{
    const int end = reply.indexOf('\r');
    if (end < 0)
        return reply.size() >= longestReply ? refused(NotUnderstood, reading) : Incomplete;
    // One reply, from its STX to its CR: bytes before it are the tail of
    // another, bytes after it the start of one.
    if (end != reply.size() - 1 || !reply.startsWith('\x02'))
        return refused(NotUnderstood, reading);
    const QByteArray body = reply.mid(1, end - 1);

    if (body.startsWith('?')) {
        // Bit 7 set is a parity bit read as data: the line is set wrong.
        const uchar status = body.size() == 2 ? uchar(body.at(1)) : 0;
        if ((status & 0xc0) != 0x40)
            return refused(NotUnderstood, reading);
        const bool over = status & OverCapacity;
        const bool under = status & UnderZero;
        if (over || under)
            return refused(over && under ? OutOfRange : over ? Overload : Underload, reading);
        return refused(status & InMotion ? Unsettled : NoWeight, reading);
    }

    // One number with its point: the scale leaves no decimals to be implied,
    // and digits without a point could be grams or a slipped frame alike.
    static const QRegularExpression weight(QStringLiteral("\\A *([+-]?) *([0-9]*\\.[0-9]+) *\\z"));
    const QRegularExpressionMatch number = weight.match(QString::fromLatin1(body.constData(), body.size()));
    if (!number.hasMatch())
        return refused(NotUnderstood, reading);
    reading->value = number.captured(1) + number.captured(2);
    reading->units = unit;
    reading->stable = true;
    reading->condition = Weighed;
    return Accepted;
}
