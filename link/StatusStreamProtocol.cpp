#include "StatusStreamProtocol.h"

namespace {

const char stx = '\x02';
const char cr = '\r';

// Where the fields sit in a frame.
const int statusA = 1; // decimal place, display increment
const int statusB = 2; // net, sign, out of range, motion, unit
const int statusC = 3; // print request
const int weightAt = 4;
const int tareAt = 10;
const int fieldSize = 6;
const int crAt = 16;

// Bits of the status bytes.
const uchar alwaysSet = 0x20;   // in all three
const uchar alwaysClear = 0x40; // in the first
const uchar negative = 0x02;
const uchar outOfRange = 0x04;
const uchar inMotion = 0x08;
const uchar kilograms = 0x10;

bool isDigit(char byte)
{
    return byte >= '0' && byte <= '9';
}

} // namespace

ScaleProtocol::Verdict StatusStreamProtocol::valueFromReply(const QByteArray &reply, bool quiet,
                                                            Reading *reading) const
{
    // Every byte is part of a frame, so a frame that is not whole yet is
    // never longer than one frame and its checksum: nothing grows unjudged.
    Reading newest;
    bool found = false;
    for (int start = 0; start < reply.size();) {
        if (reply.at(start) != stx)
            return refused(NotUnderstood, reading);
        if (reply.size() - start < frameSize)
            break;
        const char *frame = reply.constData() + start;
        if (frame[crAt] != cr)
            return refused(NotUnderstood, reading);
        Reading read;
        if (readFrame(frame, &read) == Rejected && read.condition == NotUnderstood)
            return refused(NotUnderstood, reading);
        // Whole once the byte after the CR says whether a checksum follows,
        // or once the line is quiet after it.
        const int after = start + frameSize;
        const int beyond = reply.size() - after;
        const bool whole = beyond >= 2
                           || (beyond == 1 && (reply.at(after) != stx || (quiet && checksumOf(frame) == stx)))
                           || (beyond == 0 && quiet);
        if (!whole)
            break;
        const int end = endOf(reply, start);
        if (end == after && reply.at(after) != checksumOf(frame))
            return refused(NotUnderstood, reading);
        newest = read;
        found = true;
        start = end + 1;
    }
    if (!found)
        return Incomplete;
    *reading = newest;
    return newest.condition == Weighed ? Accepted : Rejected;
}

QByteArray StatusStreamProtocol::leftover(const QByteArray &reply) const
{
    int start = 0;
    while (start < reply.size() && reply.at(start) == stx && reply.size() - start >= frameSize
           && reply.at(start + crAt) == cr)
        start = endOf(reply, start) + 1;
    return reply.mid(start);
}

int StatusStreamProtocol::firstLineEnd(const QByteArray &bytes) const
{
    for (int i = 1; i < bytes.size(); ++i)
        if (isFrameStart(bytes, i))
            return i - 1;
    // A scale writes each frame at once, so a read may hold exactly one:
    // it is dropped whole and the next one read.
    if (isFrameStart(bytes, 0) && (bytes.size() == frameSize || bytes.size() == frameSize + 1)
        && bytes.at(crAt) == cr)
        return endOf(bytes, 0);
    return -1;
}

ScaleProtocol::Verdict StatusStreamProtocol::readFrame(const char *frame, Reading *reading)
{
    // A byte with its top bit set is a parity bit read as data: the line is
    // set to other settings than the scale's.
    for (int i = statusA; i < crAt; ++i)
        if (uchar(frame[i]) >= 0x80)
            return refused(NotUnderstood, reading);
    const uchar a = uchar(frame[statusA]);
    const uchar b = uchar(frame[statusB]);
    const uchar c = uchar(frame[statusC]);
    if (!(a & alwaysSet) || (a & alwaysClear) || !(b & alwaysSet) || !(c & alwaysSet))
        return refused(NotUnderstood, reading);
    if (((a >> 3) & 0x03) == 0) // the display increment: x1, x2 or x5
        return refused(NotUnderstood, reading);

    // The place of the point the digits leave out: two and one dummy zeros
    // after them, none, then one to five decimals.
    const int place = a & 0x07;
    const int decimals = qMax(0, place - 2);
    const int dummyZeros = qMax(0, 2 - place);
    const QByteArray weight(frame + weightAt, fieldSize);
    const QByteArray tare(frame + tareAt, fieldSize);
    for (const char byte : tare)
        if (!isDigit(byte) && byte != ' ')
            return refused(NotUnderstood, reading);
    // Blanks may lead the whole part only: a blank after the point is no
    // digit anyone reads.
    int blanks = 0;
    while (blanks < fieldSize && weight.at(blanks) == ' ')
        ++blanks;
    if (blanks == fieldSize || blanks > fieldSize - decimals)
        return refused(NotUnderstood, reading);
    for (int i = blanks; i < fieldSize; ++i)
        if (!isDigit(weight.at(i)))
            return refused(NotUnderstood, reading);
    if (b & outOfRange) {
        return refused(OutOfRange, reading);
    }

    // Leading zeros dropped, one kept before the point; the decimals and the
    // dummy zeros as the scale means them.
    QByteArray whole = weight.mid(blanks, fieldSize - decimals - blanks);
    while (whole.startsWith('0'))
        whole.remove(0, 1);
    QByteArray value = whole.isEmpty() ? QByteArray("0") : whole + QByteArray(dummyZeros, '0');
    if (decimals > 0)
        value += '.' + weight.right(decimals);
    if (b & negative)
        value.prepend('-');
    reading->value = QString::fromLatin1(value);
    reading->units = QLatin1String(b & kilograms ? "kg" : "lb");
    reading->stable = !(b & inMotion);
    reading->condition = Weighed;
    return Accepted;
}

char StatusStreamProtocol::checksumOf(const char *frame)
{
    uint sum = 0;
    for (int i = 0; i < frameSize; ++i)
        sum += uchar(frame[i]);
    return char(-sum & 0x7f);
}

int StatusStreamProtocol::endOf(const QByteArray &bytes, int start)
{
    const int after = start + frameSize;
    if (after == bytes.size())
        return after - 1;
    if (bytes.at(after) != stx)
        return after; // a checksum
    if (after + 1 < bytes.size())
        return bytes.at(after + 1) == stx ? after : after - 1;
    // A 0x02 last: the frame's checksum when it is the right one, else the
    // next frame's STX.
    return checksumOf(bytes.constData() + start) == stx ? after : after - 1;
}

bool StatusStreamProtocol::isFrameStart(const QByteArray &bytes, int i)
{
    return i + 1 < bytes.size() && bytes.at(i) == stx && bytes.at(i + 1) != stx;
}
