#include "EtxReplyProtocol.h"

ScaleProtocol::Verdict EtxReplyProtocol::valueFromReply(const QByteArray &, bool, Reading *reading) const
{
    reading->condition = NotUnderstood;
    return Rejected;
}
