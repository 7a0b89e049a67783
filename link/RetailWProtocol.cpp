#include "RetailWProtocol.h"

ScaleProtocol::Verdict RetailWProtocol::valueFromReply(const QByteArray &, bool, Reading *reading) const
{
    reading->condition = NotUnderstood;
    return Rejected;
}
