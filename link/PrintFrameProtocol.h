#ifndef PRINTFRAMEPROTOCOL_H
#define PRINTFRAMEPROTOCOL_H

#include "LineProtocol.h"

// A scale that prints fixed frames of 16 or 22 characters: ESC "P" asks;
// "+    123.45 g" after an optional six-character identifier ("N     " net,
// "G#    " gross...); "H" or "L" in the number's place for over- or underload.
//
// ESC "T" tares and ESC "V" zeroes, framed as the print request is. The
// scale answers neither: a while after it, the command counts as carried out.
class PrintFrameProtocol : public LineProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArrayLiteral("\x1bP"); }
    Verdict parseLine(const QByteArray &line, Reading *reading) const override;
    QByteArray tareRequest(bool) const override { return QByteArrayLiteral("\x1bT"); }
    QByteArray zeroRequest(bool) const override { return QByteArrayLiteral("\x1bV"); }
    int unconfirmedAfter() const override { return 300; }
};

#endif // PRINTFRAMEPROTOCOL_H
