#ifndef SICSPROTOCOL_H
#define SICSPROTOCOL_H

#include "LineProtocol.h"

// A scale of the SICS-style command set: "SI" asks for the weight now;
// "S S      100.00 g" is stable, "S D ..." not yet; "S I" (busy), "S +" and
// "S -" (over- and underload) carry no weight.
class SicsProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("SI\r\n"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
};

#endif // SICSPROTOCOL_H
