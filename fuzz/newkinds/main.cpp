// Fuzzes the kinds with frames of their own layout: the status stream, the
// level 1 replies asked with LF W CR, the retail scale asked with W, the
// two-line replies ended by ETX and the replies to ENQ. Any bytes, in any
// pieces, are judged the way the link judges them: after each piece, and
// once more when the line stayed quiet; a reply to a request is judged from
// the request on, a stream from the first line start seen.
//
// Every accepted reading is a number the frame holds, in kg or lb or a unit
// the kind may name (the operator's for the retail scale); a reply taken is
// whole, with nothing after its end; and nothing is waited on past a
// bounded length.
//
// Input layout: byte 0 the kind (low 3 bits) and the retail scale's unit
// (bits 4 and 5); byte 1 whose bits say after which pieces the line stays
// quiet; the piece lengths (see FuzzBytes::pieceLengths) and the line.

#include "EnqPolledProtocol.h"
#include "EtxReplyProtocol.h"
#include "FuzzBytes.h"
#include "ReadingChecks.h"
#include "RetailWProtocol.h"
#include "SmaLevel1Protocol.h"
#include "StatusStreamProtocol.h"

namespace {

const ScaleProtocol::Type kinds[] = {ScaleProtocol::StatusStream, ScaleProtocol::SmaLevel1,
                                     ScaleProtocol::RetailW, ScaleProtocol::EtxReply,
                                     ScaleProtocol::EnqPolled};
const char *const retailUnits[] = {"", "kg", "lb", "oz"};

// No frame of these kinds is longer: STX, three status bytes, twelve digits,
// CR and a checksum is the longest.
const int longestFrame = 32;

void checkReading(ScaleProtocol::Type kind, const ScaleProtocol::Reading &reading, const QByteArray &reply,
                  const QString &operatorUnit)
{
    using namespace ReadingChecks;
    if (reading.condition != ScaleProtocol::Weighed)
        FuzzBytes::fail("an accepted reply said it did not weigh", reply);
    if (!ScaleProtocol::isNumber(reading.value))
        FuzzBytes::fail("a value that is no number", reply);
    const bool implied = kind == ScaleProtocol::StatusStream || kind == ScaleProtocol::EnqPolled;
    if (implied ? !holdsDigitsOf(reply, reading.value) : !holdsValue(reply, reading.value))
        FuzzBytes::fail("a number the frame does not hold", reply);
    const QString &units = reading.units;
    bool unitOk = false;
    switch (kind) {
    case ScaleProtocol::StatusStream:
        unitOk = units == QLatin1String("kg") || units == QLatin1String("lb");
        break;
    case ScaleProtocol::EnqPolled:
        // Grams read as kilograms, three decimals.
        unitOk = units == QLatin1String("kg") && reading.value.indexOf(QLatin1Char('.')) == reading.value.size() - 4;
        break;
    case ScaleProtocol::RetailW:
        unitOk = units == operatorUnit;
        break;
    case ScaleProtocol::EtxReply:
        unitOk = (ScaleProtocol::isKnownUnit(units) || units == QLatin1String("G")) && holdsValue(reply, units);
        break;
    default:
        unitOk = ScaleProtocol::isKnownUnit(units) && holdsValue(reply, units);
    }
    if (!unitOk)
        FuzzBytes::fail("a unit the kind does not name", reply);
    // A reply to a request is taken at its end, with nothing after it.
    const char end = kind == ScaleProtocol::SmaLevel1 || kind == ScaleProtocol::RetailW ? '\r'
                     : kind == ScaleProtocol::StatusStream                           ? 0
                                                                                     : '\x03';
    if (end && (!reply.endsWith(end) || reply.indexOf(end) != reply.size() - 1))
        FuzzBytes::fail("a reply taken before its end, or with more after it", reply);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes input(data, size);
    const uint8_t b0 = input.take();
    const ScaleProtocol::Type kind = kinds[(b0 & 7) % 5];
    const QString unit = QLatin1String(retailUnits[(b0 >> 4) & 3]);
    ScaleSetup setup;
    setup.type = kind;
    setup.unit = unit;
    const std::unique_ptr<ScaleProtocol> protocol = ScaleProtocol::create(setup);
    const uint8_t quietAfter = input.take();
    const QList<QByteArray> pieces = input.pieces(input.pieceLengths());

    QByteArray reply;
    bool lineStartSeen = !protocol->sendsUnasked();
    for (int piece = 0; piece < pieces.size(); ++piece) {
        reply += pieces.at(piece);
        if (!lineStartSeen) {
            const int end = protocol->firstLineEnd(reply);
            lineStartSeen = end >= 0;
            reply = lineStartSeen ? reply.mid(end + 1) : QByteArray();
        }
        const bool lastPiece = piece == pieces.size() - 1;
        for (const bool quiet : {false, lastPiece || (quietAfter & (1 << (piece & 7)))}) {
            ScaleProtocol::Reading reading;
            const ScaleProtocol::Verdict verdict = protocol->valueFromReply(reply, quiet && !reply.isEmpty(), &reading);
            if (verdict == ScaleProtocol::Incomplete) {
                if (reply.size() > longestFrame)
                    FuzzBytes::fail("a reply waited on past the longest frame", reply);
                if (quiet)
                    break;
                continue;
            }
            if (verdict == ScaleProtocol::Accepted)
                checkReading(kind, reading, reply, unit);
            else if (reading.condition == ScaleProtocol::Weighed)
                FuzzBytes::fail("a rejected reply said it weighed", reply);
            if (!protocol->sendsUnasked() && !protocol->leftover(reply).isEmpty())
                FuzzBytes::fail("bytes left after a reply to a request", reply);
            // The next request starts on an empty line; a stream keeps the
            // frame being written, and starts again after a refusal.
            reply = protocol->leftover(reply);
            if (protocol->sendsUnasked() && verdict == ScaleProtocol::Rejected
                && reading.condition == ScaleProtocol::NotUnderstood) {
                reply.clear(); // as the link drops it, and reads on from a line start
                lineStartSeen = false;
            }
            else if (reply.size() > longestFrame)
                FuzzBytes::fail("more kept than the frame being written", reply);
            break;
        }
    }
    return 0;
}
