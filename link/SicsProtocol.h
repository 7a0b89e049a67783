#ifndef SICSPROTOCOL_H
#define SICSPROTOCOL_H

#include "LineProtocol.h"

// A scale of the SICS-style command set: "SI" asks for the weight now;
// "S S      100.00 g" is stable, "S D ..." not yet; "S I" (busy), "S +" and
// "S -" (over- and underload) carry no weight.
//
// "T" tares once the load is stable and answers "T S <tare> <unit>"; "Z"
// zeroes and answers "Z A". "TI" and "ZI" do it at once, stable or not
// ("TI S ..." / "TI D ...", "ZI S" / "ZI D"); they are sent while the scale
// is in motion, as "T" and "Z" would wait for it to settle past the reply
// time-out. "T I" (cannot now), "T +" / "T -" (beyond the range) and the
// errors "ES", "ET", "EL" refuse.
class SicsProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("SI\r\n"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
    QByteArray tareRequest(bool inMotion) const override;
    QByteArray zeroRequest(bool inMotion) const override;
    CommandVerdict commandAnswer(Command command, const QByteArray &reply, int *used) const override;
};

#endif // SICSPROTOCOL_H
