#ifndef LINEPROTOCOL_H
#define LINEPROTOCOL_H

#include "ScaleProtocol.h"

// A scale that answers each request with one line of text, ended by CR LF
// (or either alone), naming its own unit. A reply is whole at its line end;
// anything but line ends after it (a second line, noise) rejects it, so two
// replies are never read as one.
class LineProtocol : public ScaleProtocol
{
public:
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;

    // Reads one line, without its line end, into a reading: Accepted for a
    // weight, Rejected with the condition otherwise.
    virtual Verdict parseLine(const QByteArray &line, Reading *reading) const = 0;

    // The longest line any of these scales writes.
    static constexpr int longestLine = 64;

protected:
    // A weight of value (sign and digits, blanks allowed between them) in
    // units; rejected when either is not one.
    static Verdict weighed(const QString &value, const QString &units, bool stable, Reading *reading);
};

#endif // LINEPROTOCOL_H
