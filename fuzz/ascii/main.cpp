// Fuzzes the other ASCII scale as the operator describes it: the input's
// first bytes choose the setup (line end, request, pattern, decimal places,
// the texts that mean no weight, unstable or overload, the operator's unit),
// the rest is the line, cut into pieces and judged the way the link judges
// it: after every piece, and once more when the line stayed quiet.
//
// Input layout: byte 0 the line end (low 3 bits, as AsciiSetup::LineEnd,
// 6 and 7 an unusable end byte), whether the scale is asked (bit 3), and
// the decimal places (bits 4 to 6); byte 1 the pattern (low 3 bits) and the
// operator's unit (bits 4 and 5); byte 2 the unstable, overload and
// no-weight texts (two bits each) and whether a quiet examination follows
// each piece (bit 6); byte 3 the end byte; then the piece lengths (see
// FuzzBytes::pieceLengths) and the line.

#include "AsciiProtocol.h"
#include "FuzzBytes.h"
#include "ReadingChecks.h"

#include <QRegularExpression>

namespace {

using Verdict = ScaleProtocol::Verdict;

struct Pattern
{
    const char *text;
    bool hasUnit;
    bool hasStable;
    bool asksExponent;
};

// Patterns as an operator writes them, a few that cannot be used among them.
const Pattern patterns[] = {
    {"", false, false, false},
    {"(?<value>[+-]?[0-9.,]+) ?(?<unit>[A-Za-z%]+)", true, false, false},
    {"W:(?<value>\\S+)", false, false, false},
    {"(?<stable>[SU]) +(?<value>[-+ 0-9.]+)(?<unit>\\S*)", true, true, false},
    {"(?<value>[0-9.]+[eE][+-]?[0-9]+) *(?<unit>\\w+)", true, false, true},
    {"(?<value>.*)", false, false, false},
    {"(?<value>[0-9", false, false, false},   // does not compile
    {"([0-9]+) (kg)", false, false, false},   // has no value part
};
const char *const units[] = {"", "kg", "lb", "g"};
const char *const unstableTexts[] = {"", "US", "?", "M"};
const char *const overloadTexts[] = {"", "OL", "+++", "H"};
const char *const noWeightTexts[] = {"", "Err", "----", "0"};
// Four an end byte may be, then four it may not: a digit, two bytes, a bad
// escape, none.
const char *const endBytes[] = {"#", "\\x17", "*", "\\r", "5", "##", "\\xZZ", ""};

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

struct AsciiReading
{
    AsciiSetup setup;
    Pattern pattern;
    QString unit;
    AsciiProtocol protocol;
    QByteArray end; // the terminator this setup means, written out here
    QByteArray reply;
    bool lineStartSeen;

    AsciiReading(const AsciiSetup &setup, const Pattern &pattern, const QString &unit, const QByteArray &end)
        : setup(setup)
        , pattern(pattern)
        , unit(unit)
        , protocol(setup, unit)
        , end(end)
        , lineStartSeen(!setup.request.isEmpty() || setup.lineEnd == AsciiSetup::Quiet)
    {
    }

    void add(const QByteArray &piece)
    {
        reply += piece;
        if (lineStartSeen)
            return;
        // Of a scale that sends unasked, the line counts from its first end.
        const int first = protocol.firstLineEnd(reply);
        lineStartSeen = first >= 0;
        if (first >= 0 && end.size() == 1 && reply.at(first) != end.at(0) && !isLineEnd(reply.at(first)))
            FuzzBytes::fail("a line start taken at a byte that ends no line", reply);
        reply = lineStartSeen ? reply.mid(first + 1) : QByteArray();
    }

    void examine(bool quiet)
    {
        ScaleProtocol::Reading reading;
        reading.value = QStringLiteral("untouched");
        const Verdict verdict = protocol.valueFromReply(reply, quiet, &reading);
        if (verdict == ScaleProtocol::Incomplete) {
            // Bytes that are no line end, other than terminators, are never
            // gathered past the longest line.
            int kept = 0;
            for (const char byte : reply)
                kept += !isLineEnd(byte) && !end.contains(byte);
            if (kept > AsciiProtocol::longestLine + 1)
                FuzzBytes::fail("a reply that never ends is still waited on", reply);
            return;
        }
        if (verdict == ScaleProtocol::Accepted)
            checkAccepted(reading, quiet);
        else if (reading.condition == ScaleProtocol::Weighed)
            FuzzBytes::fail("a rejected reply said it weighed", reply);
        if (!setup.request.isEmpty() && !protocol.leftover(reply).isEmpty())
            FuzzBytes::fail("bytes left after a reply to a request", reply);
        // A scale that is asked: the next request starts on an empty line.
        reply = setup.request.isEmpty() ? protocol.leftover(reply) : QByteArray();
        // A refusal drops the reply; a stream is read on from a line start.
        if (verdict == ScaleProtocol::Rejected && !ScaleProtocol::answersWithoutWeight(reading.condition)
            && reading.condition != ScaleProtocol::UnknownUnit) {
            reply.clear();
            lineStartSeen = !setup.request.isEmpty() || setup.lineEnd == AsciiSetup::Quiet;
        }
    }

    // The line the reading came from, for a scale that is asked: one line
    // before its terminator, the line ends around it the scale's.
    QByteArray askedLine(bool quiet) const
    {
        int from = 0;
        while (from < reply.size() && isLineEnd(reply.at(from)))
            ++from;
        if (end.isEmpty()) {
            if (!quiet)
                FuzzBytes::fail("a reply without its end taken before the line was quiet", reply);
            return reply.mid(from);
        }
        const int at = reply.indexOf(end, from);
        if (at < 0)
            FuzzBytes::fail("a reply taken before its end", reply);
        for (int i = at + end.size(); i < reply.size(); ++i)
            if (!isLineEnd(reply.at(i)))
                FuzzBytes::fail("a reply read with a second one after it", reply);
        return reply.mid(from, at - from);
    }

    void checkAccepted(const ScaleProtocol::Reading &reading, bool quiet) const
    {
        using namespace ReadingChecks;
        if (reading.condition != ScaleProtocol::Weighed)
            FuzzBytes::fail("an accepted reply said it did not weigh", reply);
        // The number: digits with the scale's point or comma, an exponent only
        // where the pattern asks for one; with decimal places set, the scale's
        // digits with the point put in, never a point of its own.
        QString number = reading.value;
        if (pattern.asksExponent)
            number.replace(QRegularExpression(QStringLiteral("[eE][+-]?[0-9]+$")), QString());
        if (!isPlainNumber(number))
            FuzzBytes::fail("a value that is no number", reply);
        if (setup.decimals > 0) {
            const int point = reading.value.indexOf(QLatin1Char('.'));
            if (point < 0 || reading.value.size() - point - 1 != setup.decimals)
                FuzzBytes::fail("decimal places set but not put in", reply);
            if (!holdsDigitsOf(reply, reading.value))
                FuzzBytes::fail("digits the reply does not hold", reply);
        } else if (!holdsValue(reply, reading.value)) {
            FuzzBytes::fail("a value the reply does not hold", reply);
        }
        // The unit: the scale's word, or the operator's; none only for a
        // pattern without a unit part when the operator set none either.
        if (reading.units.isEmpty()) {
            if (pattern.text[0] == '\0' || !unit.isEmpty())
                FuzzBytes::fail("a reading without a unit", reply);
        } else if (reading.units != unit && (!isUnitWord(reading.units) || !holdsValue(reply, reading.units))) {
            FuzzBytes::fail("a unit that is no word of the reply", reply);
        }
        if (!reading.stable && !pattern.hasStable
            && (setup.unstableText.isEmpty() || !reply.contains(setup.unstableText.toLatin1())))
            FuzzBytes::fail("unstable without the text that says so", reply);
        if (setup.request.isEmpty())
            return;
        const QByteArray line = askedLine(quiet);
        QByteArray inner = line;
        while (!inner.isEmpty() && isLineEnd(inner.back()))
            inner.chop(1);
        if (inner.contains('\r') || inner.contains('\n'))
            FuzzBytes::fail("two lines read as one", reply);
        for (const QString &text : {setup.overloadText, setup.noWeightText})
            if (!text.isEmpty() && line.contains(text.toLatin1()))
                FuzzBytes::fail("a line that says it has no weight was read", reply);
        if (!setup.unstableText.isEmpty() && !pattern.hasStable && line.contains(setup.unstableText.toLatin1())
            && reading.stable)
            FuzzBytes::fail("a line marked unstable read as stable", reply);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes input(data, size);
    const uint8_t b0 = input.take();
    const uint8_t b1 = input.take();
    const uint8_t b2 = input.take();
    const uint8_t b3 = input.take();
    AsciiSetup setup;
    const int lineEnd = b0 & 7;
    setup.lineEnd = lineEnd > AsciiSetup::OtherByte ? AsciiSetup::OtherByte : AsciiSetup::LineEnd(lineEnd);
    setup.endByte = QLatin1String(lineEnd > AsciiSetup::OtherByte ? endBytes[4 + (b3 & 3)] : endBytes[b3 & 3]);
    setup.request = (b0 & 8) ? QStringLiteral("P\\r\\n") : QString();
    setup.decimals = (b0 >> 4) & 7;
    const Pattern &pattern = patterns[b1 & 7];
    setup.pattern = QLatin1String(pattern.text);
    const QString unit = QLatin1String(units[(b1 >> 4) & 3]);
    setup.unstableText = QLatin1String(unstableTexts[b2 & 3]);
    setup.overloadText = QLatin1String(overloadTexts[(b2 >> 2) & 3]);
    setup.noWeightText = QLatin1String(noWeightTexts[(b2 >> 4) & 3]);
    const bool quietAfterPieces = b2 & 0x40;

    // What ends a reply, as the setup means it.
    static const QByteArray written[] = {"\r", "\n", "\r\n", "", "\x03"};
    QByteArray end;
    if (setup.lineEnd != AsciiSetup::OtherByte)
        end = written[setup.lineEnd];
    else if (lineEnd == AsciiSetup::OtherByte)
        end = QByteArray(b3 & 3 ? (b3 & 3) == 1 ? "\x17" : (b3 & 3) == 2 ? "*" : "\r" : "#");

    AsciiReading reading(setup, pattern, unit, end);
    for (const QByteArray &piece : input.pieces(input.pieceLengths())) {
        reading.add(piece);
        reading.examine(false);
        if (quietAfterPieces)
            reading.examine(true);
    }
    reading.examine(true);
    return 0;
}
