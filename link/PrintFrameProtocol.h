#ifndef PRINTFRAMEPROTOCOL_H
#define PRINTFRAMEPROTOCOL_H

#include "LineProtocol.h"

// A scale that prints fixed frames of 16 or 22 characters: ESC "P" asks;
// "+    123.45 g" after an optional six-character identifier ("N     " net,
// "G#    " gross...); "H" or "L" in the number's place for over- or underload.
class PrintFrameProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("\x1bP"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
};

#endif // PRINTFRAMEPROTOCOL_H
