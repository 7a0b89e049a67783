#ifndef HEADERCOMMAPROTOCOL_H
#define HEADERCOMMAPROTOCOL_H

#include "LineProtocol.h"

// A scale that heads each frame with its state and a comma: "Q" asks;
// "ST,+00012.34  g" is stable, "US,..." not stable, "QT,..." a stable count,
// "OL,..." out of range.
//
// "T" tares and "Z" zeroes. A scale set to acknowledge answers ACK, or an
// error frame ("EC,E11") when it cannot; one set not to answers nothing, so
// a quiet line after a while counts as carried out.
class HeaderCommaProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("Q\r\n"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
    QByteArray tareRequest(bool) const override { return QByteArrayLiteral("T\r\n"); }
    QByteArray zeroRequest(bool) const override { return QByteArrayLiteral("Z\r\n"); }
    CommandVerdict commandAnswer(Command command, const QByteArray &reply, int *used) const override;
    int unconfirmedAfter() const override { return 300; }
};

#endif // HEADERCOMMAPROTOCOL_H
