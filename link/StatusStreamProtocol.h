#ifndef STATUSSTREAMPROTOCOL_H
#define STATUSSTREAMPROTOCOL_H

#include "ScaleProtocol.h"

// The standard continuous output of industrial indicators, unasked, about
// ten frames a second: STX, three status bytes, six digits of weight and six
// of tare, CR, and optionally a checksum byte.
class StatusStreamProtocol : public ScaleProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArray(); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
};

#endif // STATUSSTREAMPROTOCOL_H
