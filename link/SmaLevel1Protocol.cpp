#include "SmaLevel1Protocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict SmaLevel1Protocol::valueFromReply(const QByteArray &reply, bool,
                                                         Reading *reading) const
{
    if (!reply.contains('\r'))
        return reply.size() >= replySize ? refused(NotUnderstood, reading) : Incomplete;
    // Every field at its place: a byte lost or added shifts the weight into
    // the unit and a digit out of the number. Nothing may follow the CR.
    static const QRegularExpression frame(QStringLiteral(
        "\\A\\n[ ZOUEIT][1-9][GTN][ M][\\x20-\\x7e]([\\x20-\\x7e]{10})([\\x20-\\x7e]{3})\\r\\z"));
    const QRegularExpressionMatch match = frame.match(QString::fromLatin1(reply.constData(), reply.size()));
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);

    // Over and under capacity, and the zero and tare errors, say so whatever
    // stands in the weight's place.
    switch (reply.at(1)) {
    case 'O':
        return refused(Overload, reading);
    case 'U':
        return refused(Underload, reading);
    case 'E':
    case 'I':
    case 'T':
        return refused(Failed, reading);
    default:
        break;
    }

    // Right-aligned: blanks before the sign and between it and the digits,
    // none after them.
    static const QRegularExpression weight(QStringLiteral("\\A *([+-]?) *([0-9]+\\.?[0-9]*|\\.[0-9]+)\\z"));
    static const QRegularExpression unit(QStringLiteral("\\A([\\x21-\\x7e]+) *\\z"));
    const QRegularExpressionMatch number = weight.match(match.captured(1));
    const QRegularExpressionMatch named = unit.match(match.captured(2));
    if (!number.hasMatch() || !named.hasMatch())
        return refused(NotUnderstood, reading);
    if (!isKnownUnit(named.captured(1)))
        return refused(UnknownUnit, reading);
    reading->value = number.captured(1) + number.captured(2);
    reading->units = named.captured(1);
    reading->stable = reply.at(4) != 'M';
    reading->condition = Weighed;
    return Accepted;
}

ScaleProtocol::CommandVerdict SmaLevel1Protocol::commandAnswer(Command, const QByteArray &reply,
                                                               int *used) const
{
    const int end = reply.indexOf('\r');
    if (end < 0 && reply.size() < replySize)
        return AnswerPending;
    *used = end < 0 ? reply.size() : end + 1;
    Reading reading;
    if (valueFromReply(reply.left(*used), true, &reading) == Accepted)
        return CommandDone;
    // A reply of the layout that says over or under capacity still answers.
    switch (reading.condition) {
    case Failed:
        return CommandRefused;
    case NotUnderstood:
        return NotAnAnswer;
    default:
        return CommandDone;
    }
}
