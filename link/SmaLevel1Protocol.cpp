#include "SmaLevel1Protocol.h"

ScaleProtocol::Verdict SmaLevel1Protocol::valueFromReply(const QByteArray &, bool, Reading *reading) const
{
    reading->condition = NotUnderstood;
    return Rejected;
}
