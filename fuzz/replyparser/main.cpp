// Fuzzes the scale link's reply parsing: any bytes, arriving in any pieces,
// go through the link's two decisions on the reply gathered since the
// request, IODeviceNew::unitFromReply and IODeviceNew::valueFromReply, made
// the way readFromPort() makes them.
//
// Input layout: the first byte's low three bits say how many piece lengths
// follow (0..7), each one byte; the rest is the line, cut into pieces of
// those lengths, the last piece taking what remains. Bit 3 of the first
// byte starts the link already in the value phase. Bits 4 to 7, when they
// name another kind of scale (ScaleProtocol::Type), have its protocol judge
// the value replies, as the link asks it to.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "IODeviceNew.h"
#include "ReadingChecks.h"
#include "ScaleProtocol.h"

namespace {

void fail(const char *what, const QByteArray &bytes)
{
    std::fprintf(stderr, "invariant broken: %s on [%s]\n", what, bytes.toHex(' ').constData());
    std::abort();
}

bool isKnownUnit(const QString &units)
{
    return units == QLatin1String("kg") || units == QLatin1String("kg.")
           || units == QLatin1String("szt") || units == QLatin1String("g");
}

// An accepted sample is the whole reply: the frame's text with blanks and
// line ends removed, and nothing but blanks and line ends after the frame.
void checkSample(const QString &sample, const QByteArray &reply)
{
    if (sample.size() > IODeviceNew::valueFrameSize)
        fail("sample longer than a frame", reply);
    if (!IODeviceNew::isNumber(sample))
        fail("sample is no number", reply);
    bool ok = false;
    sample.toDouble(&ok);
    if (!ok)
        fail("sample does not read as a double", reply);
    QByteArray frame = reply.left(IODeviceNew::valueFrameSize);
    if (frame.indexOf('\0') >= 0)
        frame.truncate(frame.indexOf('\0'));
    frame.replace(' ', QByteArray()).replace('\r', QByteArray()).replace('\n', QByteArray());
    if (QString::fromLatin1(frame) != sample)
        fail("sample is not the frame's whole text", reply);
    for (const char byte : reply.mid(IODeviceNew::valueFrameSize))
        if (byte != ' ' && byte != '\r' && byte != '\n')
            fail("bytes past the frame were not line ends", reply);
}

// The link's reading state for one request, examined as readFromPort() does:
// once when bytes have come, and once more a poll later with none new.
struct Reading
{
    QByteArray reply;
    int sizeAtLastLook = 0;
    bool valuesPhase = false;

    // Whatever the verdict, the next request starts on an empty line: an
    // accepted unit is followed by value requests, a rejected reply by the
    // time-out, after which the unit is asked for again.
    void examine()
    {
        const bool quiet = !reply.isEmpty() && reply.size() == sizeAtLastLook;
        sizeAtLastLook = reply.size();
        QString text = QStringLiteral("untouched");
        IODeviceNew::Verdict verdict;
        if (!valuesPhase) {
            verdict = IODeviceNew::unitFromReply(reply, quiet, &text);
            if (verdict == IODeviceNew::Accepted && !isKnownUnit(text))
                fail("unknown unit accepted", reply);
        } else {
            verdict = IODeviceNew::valueFromReply(reply, quiet, &text);
            if (verdict == IODeviceNew::Accepted)
                checkSample(text, reply);
        }
        if (verdict != IODeviceNew::Accepted && text != QLatin1String("untouched"))
            fail("a reply not accepted wrote its result", reply);
        if (verdict == IODeviceNew::Incomplete && quiet && !valuesPhase
            && reply.size() >= IODeviceNew::unitReplyMinimum)
            fail("a quiet unit reply of two bytes or more was left undecided", reply);
        if (verdict == IODeviceNew::Incomplete)
            return;
        valuesPhase = verdict == IODeviceNew::Accepted;
        reply.clear();
        sizeAtLastLook = 0;
    }
};

// A reply of another kind of scale, judged by its protocol after each piece
// and once more with nothing new. An accepted reading is a number the reply
// holds, in a unit the kind may name; only a scale that sends unasked may
// leave bytes.
struct LineReading
{
    ScaleProtocol::Type kind;
    std::unique_ptr<ScaleProtocol> protocol;
    QByteArray reply;

    void checkReading(const ScaleProtocol::Reading &reading) const
    {
        using namespace ReadingChecks;
        switch (kind) {
        case ScaleProtocol::Ascii:
            // A number standing alone with a word after it (no operator's
            // unit here), the point or comma as the scale wrote it.
            if (!isPlainNumber(reading.value) || !isUnitWord(reading.units) || !holdsValue(reply, reading.units))
                fail("an other ASCII reading that is no number with a unit word", reply);
            break;
        case ScaleProtocol::RetailW:
            // Its replies name no unit, and no operator's is set here.
            if (!ScaleProtocol::isNumber(reading.value) || !reading.units.isEmpty())
                fail("a retail reading that is no number, or with a unit of its own", reply);
            break;
        case ScaleProtocol::EtxReply:
            if (!ScaleProtocol::isNumber(reading.value)
                || !(ScaleProtocol::isKnownUnit(reading.units) || reading.units == QLatin1String("G")))
                fail("a reading that is no number in a known unit", reply);
            break;
        default:
            if (!ScaleProtocol::isNumber(reading.value) || !ScaleProtocol::isKnownUnit(reading.units))
                fail("a reading that is no number in a known unit", reply);
        }
        // The whole reply: a NUL does not end a line of these kinds. Two
        // kinds leave the point to be implied: their digits are there.
        const bool implied = kind == ScaleProtocol::StatusStream || kind == ScaleProtocol::EnqPolled;
        if (implied ? !holdsDigitsOf(reply, reading.value) : !holdsValue(reply, reading.value))
            fail("a number the reply does not hold", reply);
    }

    void examine(bool quiet)
    {
        ScaleProtocol::Reading reading;
        const ScaleProtocol::Verdict verdict = protocol->valueFromReply(reply, quiet, &reading);
        if (verdict == ScaleProtocol::Incomplete) {
            // No kind waits on a line longer than the other ASCII scale's
            // longest, 128 bytes and its end; line ends alone may pile up
            // (the link keeps its reply bounded apart).
            if (reply.size() - reply.count('\r') - reply.count('\n') > 130)
                fail("a reply that never ends is still waited on", reply);
            return;
        }
        if (verdict == ScaleProtocol::Accepted) {
            if (reading.condition != ScaleProtocol::Weighed)
                fail("an accepted reply said it did not weigh", reply);
            checkReading(reading);
        } else if (reading.condition == ScaleProtocol::Weighed) {
            fail("a rejected reply said it weighed", reply);
        }
        reply = protocol->leftover(reply);
        if (!protocol->sendsUnasked() && !reply.isEmpty())
            fail("bytes left after a reply to a request", reply);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int pieces = data[0] & 7;
    Reading reading;
    reading.valuesPhase = (data[0] & 8) != 0;
    size_t at = 1;
    int lengths[7] = {};
    for (int i = 0; i < pieces && at < size; ++i)
        lengths[i] = data[at++];
    const QByteArray line(reinterpret_cast<const char *>(data + at), int(size - at));
    const int kind = (data[0] >> 4) & 15;
    if (kind != ScaleProtocol::BuiltIn && kind < ScaleProtocol::types().size()) {
        const auto type = ScaleProtocol::Type(kind);
        LineReading lineReading{type, ScaleProtocol::create(type), QByteArray()};
        int offset = 0;
        for (int i = 0; i <= pieces && offset < line.size(); ++i) {
            const int length = i < pieces ? lengths[i] : line.size() - offset;
            lineReading.reply += line.mid(offset, length);
            offset += length;
            lineReading.examine(false);
            lineReading.examine(true);
        }
        return 0;
    }

    int offset = 0;
    for (int i = 0; i <= pieces && offset < line.size(); ++i) {
        const int length = i < pieces ? lengths[i] : line.size() - offset;
        reading.reply += line.mid(offset, length);
        offset += length;
        reading.examine(); // the poll that finds the piece
        reading.examine(); // the next one, with nothing new
    }
    return 0;
}
