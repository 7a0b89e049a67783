#ifndef CONTINUOUSPROTOCOL_H
#define CONTINUOUSPROTOCOL_H

#include "LineProtocol.h"

// A scale that sends its lines unasked, in any of the line formats the link
// knows. At each sampling tick the newest whole line counts; the older ones
// are past, the one being written waits for the next tick.
class ContinuousProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArray(); }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
    QByteArray leftover(const QByteArray &reply) const override;
    // The first format that makes out the line decides it.
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
};

#endif // CONTINUOUSPROTOCOL_H
