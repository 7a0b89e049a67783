#ifndef SMALEVEL1PROTOCOL_H
#define SMALEVEL1PROTOCOL_H

#include "ScaleProtocol.h"

// The SMA level 1 request: LF W CR asks; LF, status, range, gross/tare/net,
// motion, a reserved character, the weight in ten characters and the unit
// in three, CR.
//
// LF T CR tares and LF Z CR zeroes; the scale answers each with a reply of
// the same layout, whose status says a tare or zero error ("T", "E", "I").
class SmaLevel1Protocol : public ScaleProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("\nW\r"); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
    QByteArray tareRequest(bool) const override { return QByteArrayLiteral("\nT\r"); }
    QByteArray zeroRequest(bool) const override { return QByteArrayLiteral("\nZ\r"); }
    CommandVerdict commandAnswer(Command command, const QByteArray &reply, int *used) const override;

    // LF, eighteen characters, CR: every reply has this length.
    static constexpr int replySize = 20;
};

#endif // SMALEVEL1PROTOCOL_H
