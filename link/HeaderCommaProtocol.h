#ifndef HEADERCOMMAPROTOCOL_H
#define HEADERCOMMAPROTOCOL_H

#include "LineProtocol.h"

// A scale that heads each frame with its state and a comma: "Q" asks;
// "ST,+00012.34  g" is stable, "US,..." not stable, "QT,..." a stable count,
// "OL,..." out of range.
class HeaderCommaProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("Q\r\n"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
};

#endif // HEADERCOMMAPROTOCOL_H
