#ifndef STATUSSTREAMPROTOCOL_H
#define STATUSSTREAMPROTOCOL_H

#include "ScaleProtocol.h"

// The standard continuous output of industrial indicators, unasked, about
// ten frames a second: STX, three status bytes, six digits of weight and six
// of tare, CR, and optionally a checksum byte.
//
// The frames have a fixed length and are read by position from an STX. The
// byte after a frame's CR tells whether the scale sends checksums: the next
// frame's STX (0x02) or a checksum byte. A checksum may itself be 0x02; the
// byte after it then is an STX, while the byte after an STX is a status byte,
// which never is. A frame is whole once that is known, or once the line has
// been quiet for a poll after its CR (a scale that sends on its print key).
class StatusStreamProtocol : public ScaleProtocol
{
public:
    QByteArray valueRequest() const override { return QByteArray(); }
    // The newest whole frame counts; every frame before it must be one of
    // the layout too, or the line is not in step.
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
    // The frame being written; a frame that has come up to its CR is past.
    QByteArray leftover(const QByteArray &reply) const override;
    // The byte before the first STX known for one, or the last byte of a
    // frame that fills the bytes from their start: the end of what may be a
    // tail.
    int firstLineEnd(const QByteArray &bytes) const override;

    // One frame, STX through CR, without its checksum.
    static constexpr int frameSize = 17;

    // Reads one frame of frameSize bytes; NotUnderstood when it is none of
    // the layout.
    static Verdict readFrame(const char *frame, Reading *reading);
    // The checksum the frame's first frameSize bytes call for.
    static char checksumOf(const char *frame);

private:
    // Where the frame that starts at start ends (its last byte, the checksum
    // if it has one); the frame's CR has come.
    static int endOf(const QByteArray &bytes, int start);
    // Whether the byte at i is an STX beyond doubt: a 0x02 not followed by
    // another.
    static bool isFrameStart(const QByteArray &bytes, int i);
};

#endif // STATUSSTREAMPROTOCOL_H
