// Fuzzes how a scale that sends unasked is followed: a stream of its frames,
// met mid-way (it starts with the tail of one), with frames cut short by the
// line among them, arrives in any pieces and is read the way the link reads
// it: bytes up to firstLineEnd() dropped until a line start is seen, the
// reply judged after each piece (once more when the line stayed quiet), and
// after a verdict only leftover() kept; after a refusal the reply is dropped
// and the line starts again, the bytes of the next read lost as the link
// drops them.
//
// Every reading must be that of a frame whose bytes all came, in order and
// none lost, after the last one read: never one of the tail or of a frame cut
// short, never the same frame twice, never a frame glued to another (a
// status frame's STX and CR may be bytes of the same value around it).
//
// Input layout: byte 0 the kind and its frames (see tables); byte 1 the frame
// the tail is of, byte 2 where it is cut; byte 3 how many frames follow
// (low 4 bits), then one byte each (low 3 bits the frame, bit 3 cut short
// past its first digit and short of its end, for the kinds of a fixed
// layout); then a byte whose bits
// say after which pieces the line stays quiet, and the piece lengths (see
// FuzzBytes::pieceLengths).

#include "AsciiProtocol.h"
#include "ContinuousProtocol.h"
#include "FuzzBytes.h"
#include "StatusStreamProtocol.h"

#include <QVector>

#include <algorithm>
#include <iterator>

namespace {

// A frame as the scale writes it, and what it says. core: how many of its
// bytes must have come for it to be whole (the rest, a LF after the CR or a
// checksum, may come later).
struct Frame
{
    const char *bytes;
    int size;
    int core;
    const char *value; // nullptr: a frame that carries no weight
    const char *units;
    bool stable;
};

#define FRAME(text, core, ...) {text, int(sizeof(text) - 1), core, __VA_ARGS__}

// The line formats a stream may be in, from their documented layouts.
const Frame lines[] = {
    FRAME("S S      100.00 g\r\n", 18, "100.00", "g", true),
    FRAME("S D     -12.5 kg\r\n", 17, "-12.5", "kg", false),
    FRAME("ST,+00012.34  g\r\n", 16, "+00012.34", "g", true),
    FRAME("SI ?      18.5 kg \r\n", 19, "18.5", "kg", false),
    FRAME("+    123.45 g  \r\n", 16, "+123.45", "g", true),
    FRAME("   7.25 lb\r\n", 11, "7.25", "lb", true),
    FRAME("S +\r\n", 4, nullptr, "", true),
    FRAME("OL,+99999999 kg\r\n", 16, nullptr, "", true),
};
// STX, status bytes A B C, six digits of weight, six of tare, CR. A: the
// point's place (4: two decimals, 3: one, 2: none, 0: two dummy zeros) and
// the increment; B: 0x10 kg, 0x08 in motion, 0x04 out of range, 0x02 minus.
const Frame statusFrames[] = {
    FRAME("\x02,0 001234000000\r", 17, "12.34", "kg", true),
    FRAME("\x02" "8: 000750000000\r", 17, "-75000", "kg", false),
    FRAME("\x02*2 012345000100\r", 17, "-12345", "kg", true),
    FRAME("\x02,$ 000000000000\r", 17, nullptr, "", true),
    FRAME("\x02+    1234000000\r", 17, "123.4", "lb", true),
    FRAME("\x02,0 000500199999\r", 17, "5.00", "kg", true),
};
// The same frames with their checksums; the last one's is itself 0x02.
const Frame checkedFrames[] = {
    FRAME("\x02,0 001234000000\r\x2b", 17, "12.34", "kg", true),
    FRAME("\x02" "8: 000750000000\r\x13", 17, "-75000", "kg", false),
    FRAME("\x02*2 012345000100\r\x25", 17, "-12345", "kg", true),
    FRAME("\x02,$ 000000000000\r\x41", 17, nullptr, "", true),
    FRAME("\x02+    1234000000\r\x7c", 17, "123.4", "lb", true),
    FRAME("\x02,0 000500199999\r\x02", 17, "5.00", "kg", true),
};
// Other ASCII lines, read without a pattern, each ended as its setup says.
// They are never cut short (see below).
struct AsciiLine
{
    const char *text;
    const char *value;
    const char *units;
};
const AsciiLine asciiLines[] = {
    {"  12.5 kg", "12.5", "kg"},   {"W: -3.25 lb", "-3.25", "lb"}, {"N +1,5 g", "+1,5", "g"},
    {"0.750kg", "0.750", "kg"},    {"G 100 kg T 20 kg", nullptr, ""},
};
const char *const asciiEnds[] = {"\r", "\n", "\r\n", "\x03", "#"};
const AsciiSetup::LineEnd asciiLineEnds[] = {AsciiSetup::Cr, AsciiSetup::Lf, AsciiSetup::CrLf,
                                             AsciiSetup::Etx, AsciiSetup::OtherByte};

// One frame of the stream, where its bytes are.
struct Placed
{
    QByteArray bytes;
    const char *value;
    QString units;
    bool stable;
    bool whole; // not a tail, not cut short
    int from;   // in the stream
    int coreEnd;
};

struct Stream
{
    std::unique_ptr<ScaleProtocol> protocol;
    QVector<Placed> frames;
    QByteArray bytes;
    QVector<bool> delivered; // per byte of the stream, once it came
    int longest = 0;
    // 1 for the status frames: when bytes around a frame were lost, its STX
    // may be the checksum 0x02 before it and its CR a later frame's, the
    // frame's own status and digits being all there.
    int endShared = 0;
    // The longest line the kind waits for, as it says.
    int longestLine = 0;

    void place(const QByteArray &frame, int core, const char *value, const char *units, bool stable, bool whole)
    {
        frames << Placed{frame, value, QLatin1String(units), stable, whole, int(bytes.size()),
                         int(bytes.size()) + core};
        bytes += frame;
        longest = qMax(longest, int(frame.size()));
    }

    // The frame a reading may come from: whole, every byte of it come and
    // none lost, after the last one read.
    int readFrom(const ScaleProtocol::Reading &reading, int after, int came) const
    {
        for (int i = after + 1; i < frames.size(); ++i) {
            const Placed &frame = frames.at(i);
            if (!frame.whole || !frame.value || frame.coreEnd > came)
                continue;
            bool all = true;
            for (int at = frame.from + endShared; at < frame.coreEnd - endShared; ++at)
                all = all && delivered.at(at);
            if (all && reading.value == QLatin1String(frame.value) && reading.units == frame.units
                && reading.stable == frame.stable)
                return i;
        }
        return -1;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes input(data, size);
    const int kind = input.choose(8);
    Stream stream;
    const Frame *table = nullptr;
    int tableSize = 0;
    if (kind == 0) {
        stream.protocol = std::make_unique<ContinuousProtocol>();
        table = lines;
        tableSize = int(std::size(lines));
        stream.longestLine = LineProtocol::longestLine;
    } else if (kind <= 2) {
        stream.protocol = std::make_unique<StatusStreamProtocol>();
        table = kind == 1 ? statusFrames : checkedFrames;
        stream.endShared = 1;
        tableSize = int(std::size(statusFrames));
    } else {
        AsciiSetup setup;
        setup.lineEnd = asciiLineEnds[kind - 3];
        setup.endByte = QStringLiteral("#");
        stream.protocol = std::make_unique<AsciiProtocol>(setup);
        stream.longestLine = AsciiProtocol::longestLine;
    }
    QByteArray asciiBytes[std::size(asciiLines)];
    Frame asciiFrames[std::size(asciiLines)];
    if (kind >= 3) {
        for (int i = 0; i < int(std::size(asciiLines)); ++i) {
            asciiBytes[i] = QByteArray(asciiLines[i].text) + asciiEnds[kind - 3];
            const int size = int(asciiBytes[i].size());
            asciiFrames[i] = Frame{asciiBytes[i].constData(), size, size, asciiLines[i].value, asciiLines[i].units, true};
        }
        table = asciiFrames;
        tableSize = int(std::size(asciiFrames));
    }

    // The tail the stream is met with: never the whole frame.
    const Frame &tailOf = table[input.choose(tableSize)];
    const int cut = 1 + input.choose(tailOf.size - 1);
    stream.place(QByteArray(tailOf.bytes + cut, tailOf.size - cut), 0, tailOf.value, tailOf.units,
                 tailOf.stable, false);
    for (int n = input.take() & 15; n > 0; --n) {
        const uint8_t choice = input.take();
        const Frame &frame = table[(choice & 7) % tableSize];
        const QByteArray bytes(frame.bytes, frame.size);
        // A line of the other ASCII kind's free form cut short and glued to
        // the next is a line of that form ("N +1" and "0.750kg" make
        // "N +10.750kg"): only the kinds of a fixed layout are cut short.
        // Cut short once between whole frames at most, as a line glitch does.
        // It is cut after the first digit: a sign and blanks alone before a
        // frame of blanks and digits make a line of a signed weight
        // ("S D     -" and "   7.25 lb"), which no layout tells from one.
        const int digit = int(std::find_if(bytes.cbegin(), bytes.cend(), [](char c) { return c >= '0' && c <= '9'; })
                              - bytes.cbegin());
        const bool cutShort = (choice & 8) && kind < 3 && stream.frames.last().whole && digit < frame.core - 1;
        if (cutShort)
            stream.place(bytes.left(digit + 1 + (choice >> 4) % (frame.core - 1 - digit)), 0, nullptr, "", true, false);
        else
            stream.place(bytes, frame.core, frame.value, frame.units, frame.stable, true);
    }
    stream.delivered.fill(false, stream.bytes.size());
    const uint8_t quietAfter = input.take();
    const QList<int> lengths = input.pieceLengths();

    ScaleProtocol &protocol = *stream.protocol;
    QByteArray reply;
    bool lineStartSeen = false;
    bool losing = false;
    int lastRead = 0;
    int offset = 0;
    for (int piece = 0; offset < stream.bytes.size(); ++piece) {
        const int length = piece < lengths.size() ? qMax(1, lengths.at(piece)) : int(stream.bytes.size()) - offset;
        const QByteArray bytes = stream.bytes.mid(offset, length);
        const int came = qMin(offset + length, int(stream.bytes.size()));
        offset = came;
        if (losing) {
            // Dropped with the line's input after a refusal.
            losing = false;
            continue;
        }
        for (int at = came - bytes.size(); at < came; ++at)
            stream.delivered[at] = true;
        reply += bytes;
        if (!lineStartSeen) {
            const int end = protocol.firstLineEnd(reply);
            lineStartSeen = end >= 0;
            reply = lineStartSeen ? reply.mid(end + 1) : QByteArray();
        }
        for (const bool quiet : {false, bool(quietAfter & (1 << (piece & 7)))}) {
            ScaleProtocol::Reading reading;
            const ScaleProtocol::Verdict verdict = protocol.valueFromReply(reply, quiet && !reply.isEmpty(), &reading);
            if (verdict == ScaleProtocol::Incomplete) {
                if (reply.size() > qMax(2 * stream.longest, stream.longestLine) + 2)
                    FuzzBytes::fail("a reply waited on past its longest line", reply);
                if (!quiet)
                    continue;
                break;
            }
            if (verdict == ScaleProtocol::Accepted) {
                const int frame = stream.readFrom(reading, lastRead, came);
                if (frame < 0)
                    FuzzBytes::fail(qPrintable(QStringLiteral("a reading of no whole frame of its own: %1 %2")
                                                   .arg(reading.value, reading.units)),
                                    stream.bytes.left(came));
                lastRead = frame;
            }
            reply = protocol.leftover(reply);
            if (verdict == ScaleProtocol::Rejected && !ScaleProtocol::answersWithoutWeight(reading.condition)
                && reading.condition != ScaleProtocol::UnknownUnit) {
                // The link drops the reply with the line's input.
                reply.clear();
                lineStartSeen = false;
                losing = true;
                break;
            }
            if (reply.size() > 2 * stream.longest)
                FuzzBytes::fail("more kept than a frame cut short and the one being written", reply);
        }
    }
    return 0;
}
