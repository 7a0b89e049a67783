#include "EnqPolledProtocol.h"

ScaleProtocol::Verdict EnqPolledProtocol::valueFromReply(const QByteArray &, bool, Reading *reading) const
{
    reading->condition = NotUnderstood;
    return Rejected;
}
