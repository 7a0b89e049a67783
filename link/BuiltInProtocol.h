#ifndef BUILTINPROTOCOL_H
#define BUILTINPROTOCOL_H

#include "ScaleProtocol.h"

// The program's own scale: "Z" asks for the unit, "A" for a ten-byte value
// frame. The unit is learnt once and holds for every value after it.
class BuiltInProtocol : public ScaleProtocol
{
public:
    // A unit reply is looked at once this many bytes have come, a value reply
    // is a frame of this many bytes.
    static constexpr int unitReplyMinimum = 2;
    static constexpr int valueFrameSize = 10;

    QByteArray unitRequest() const override { return QByteArrayLiteral("Z"); }
    QByteArray valueRequest() const override { return QByteArrayLiteral("A"); }
    Verdict unitFromReply(const QByteArray &reply, bool quiet, QString *units) const override;
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;

    // Accepted only for exactly "kg", "kg.", "szt" or "g" after blanks and
    // line ends are removed.
    static Verdict unitOf(const QByteArray &reply, bool quiet, QString *units);
    // Accepted only for a ten-byte frame holding one number, followed by
    // nothing but blanks and line ends: digits running past the frame, a
    // second frame or noise reject the reply rather than being cut into a
    // number. A reply is whole once a line end (or a NUL) ends its text, once
    // bytes beyond its frame have come, or once the line was quiet for a poll.
    static Verdict valueOf(const QByteArray &reply, bool quiet, QString *sample);
};

#endif // BUILTINPROTOCOL_H
