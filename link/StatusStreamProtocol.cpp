#include "StatusStreamProtocol.h"

ScaleProtocol::Verdict StatusStreamProtocol::valueFromReply(const QByteArray &, bool, Reading *reading) const
{
    reading->condition = NotUnderstood;
    return Rejected;
}
