#ifndef ENQPOLLEDPROTOCOL_H
#define ENQPOLLEDPROTOCOL_H

#include "ScaleProtocol.h"

// A retail scale polled with ENQ: STX, five digits of grams without a point,
// ETX, read as kilograms with three decimals; five equal letters instead of
// the digits say it is in motion, negative or overloaded.
class EnqPolledProtocol : public ScaleProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("\\x05"); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
};

#endif // ENQPOLLEDPROTOCOL_H
