#ifndef ETXREPLYPROTOCOL_H
#define ETXREPLYPROTOCOL_H

#include "ScaleProtocol.h"

// A point-of-sale scale asked with W CR: LF, the weight and its unit, CR, LF,
// two status bytes, CR, ETX. One reply, one reading.
class EtxReplyProtocol : public ScaleProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("W\\r"); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
};

#endif // ETXREPLYPROTOCOL_H
