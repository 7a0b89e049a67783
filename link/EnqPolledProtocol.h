#ifndef ENQPOLLEDPROTOCOL_H
#define ENQPOLLEDPROTOCOL_H

#include "ScaleProtocol.h"

// A retail scale polled with ENQ: STX, five digits of grams without a point,
// ETX, read as kilograms with three decimals; five equal letters instead of
// the digits say it is in motion, negative or overloaded. A reply is whole
// at its ETX, and nothing may follow it.
class EnqPolledProtocol : public ScaleProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("\x05"); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;

    // STX, five characters, ETX.
    static constexpr int replySize = 7;
};

#endif // ENQPOLLEDPROTOCOL_H
