// Fuzzes the scale link's reply parsing: any bytes, arriving in any pieces,
// go through the link's framing (a unit reply is read whole once two bytes
// are pending, a value reply ten bytes at a time) and its two decisions,
// IODeviceNew::unitFromReply and IODeviceNew::valueFromFrame.
//
// Input layout: the first byte's low three bits say how many piece lengths
// follow (0..7), each one byte; the rest is the line, cut into pieces of
// those lengths, the last piece taking what remains. Bit 3 of the first
// byte starts the link already in the value phase.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "IODeviceNew.h"

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

void checkSample(const QString &sample, const QByteArray &frame)
{
    if (sample.size() > IODeviceNew::valueFrameSize)
        fail("sample longer than a frame", frame);
    for (const QChar c : sample)
        if (c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n')
            || c == QChar(0))
            fail("sample keeps a blank, line end or NUL", frame);
    bool ok = false;
    sample.toDouble(&ok);
    if (!ok)
        fail("sample is no number", frame);
    // The simulator's own frame for the accepted text reads back the same.
    QString again;
    const QByteArray reframed = sample.toLatin1().rightJustified(IODeviceNew::valueFrameSize, ' ');
    if (!IODeviceNew::valueFromFrame(reframed, &again) || again != sample)
        fail("accepted sample does not read back", frame);
}

// One examination of the pending bytes, as the link makes on entering its
// read state and at every poll: at most one frame is taken.
bool examine(QByteArray *pending, bool *valuesPhase)
{
    const int before = pending->size();
    if (!*valuesPhase) {
        if (before < IODeviceNew::unitReplyMinimum)
            return false;
        const QByteArray reply = *pending; // readAll()
        pending->clear();
        QString units = QStringLiteral("untouched");
        if (IODeviceNew::unitFromReply(reply, &units)) {
            if (!isKnownUnit(units))
                fail("unknown unit accepted", reply);
            *valuesPhase = true;
        } else if (units != QLatin1String("untouched")) {
            fail("rejected unit reply wrote the unit", reply);
        }
        return true;
    }
    if (before < IODeviceNew::valueFrameSize)
        return false;
    const QByteArray frame = pending->left(IODeviceNew::valueFrameSize);
    pending->remove(0, IODeviceNew::valueFrameSize);
    if (frame.size() != IODeviceNew::valueFrameSize
        || pending->size() != before - IODeviceNew::valueFrameSize)
        fail("frame took more or less than ten pending bytes", frame);
    QString sample = QStringLiteral("untouched");
    if (IODeviceNew::valueFromFrame(frame, &sample))
        checkSample(sample, frame);
    else if (sample != QLatin1String("untouched"))
        fail("rejected frame wrote the sample", frame);
    else
        pending->clear(); // a rejected reply drops whatever else is pending
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int pieces = data[0] & 7;
    bool valuesPhase = (data[0] & 8) != 0;
    size_t at = 1;
    int lengths[7] = {};
    for (int i = 0; i < pieces && at < size; ++i)
        lengths[i] = data[at++];
    const QByteArray line(reinterpret_cast<const char *>(data + at), int(size - at));

    QByteArray pending;
    int offset = 0;
    for (int i = 0; i <= pieces && offset < line.size(); ++i) {
        const int length = i < pieces ? lengths[i] : line.size() - offset;
        pending += line.mid(offset, length);
        offset += length;
        // Polls keep coming until one finds nothing to take.
        while (examine(&pending, &valuesPhase)) {
        }
    }
    return 0;
}
