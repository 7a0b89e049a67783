#ifndef ETXREPLYPROTOCOL_H
#define ETXREPLYPROTOCOL_H

#include "ScaleProtocol.h"

// A point-of-sale scale asked with W CR: LF, the weight and its unit, CR, LF,
// two status bytes, CR, ETX. One reply, one reading.
class EtxReplyProtocol : public ScaleProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("W\r"); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;

    // The bits that carry meaning in the two status bytes (0x30 to 0x3f).
    enum FirstStatusBit { InMotion = 0x01, AtZero = 0x02 };
    enum SecondStatusBit { UnderCapacity = 0x01, OverCapacity = 0x02 };
    // The longest reply taken, up to and with its ETX.
    static constexpr int longestReply = 32;
};

#endif // ETXREPLYPROTOCOL_H
