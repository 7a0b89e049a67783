#ifndef SICSMARKEDPROTOCOL_H
#define SICSMARKEDPROTOCOL_H

#include "SicsProtocol.h"

// A scale of the same family that marks stability after the command echo:
// "SI ?      18.5 kg" is not stable, "SI        18.5 kg" is; "^" and "v" in
// the mark's place say the load is above or below the weighing range. It
// tares and zeroes as the SICS-style scale does.
class SicsMarkedProtocol : public SicsProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("SI\r\n"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
};

#endif // SICSMARKEDPROTOCOL_H
