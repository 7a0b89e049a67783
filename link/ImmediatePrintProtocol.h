#ifndef IMMEDIATEPRINTPROTOCOL_H
#define IMMEDIATEPRINTPROTOCOL_H

#include "LineProtocol.h"

// A scale that prints the weight at once: "IP" asks; "     12.34 g  ?" ends
// in "?" while the weight is not stable.
class ImmediatePrintProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("IP\r\n"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
};

#endif // IMMEDIATEPRINTPROTOCOL_H
