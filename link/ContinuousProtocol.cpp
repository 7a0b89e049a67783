#include "ContinuousProtocol.h"

#include "HeaderCommaProtocol.h"
#include "ImmediatePrintProtocol.h"
#include "PrintFrameProtocol.h"
#include "SicsMarkedProtocol.h"
#include "SicsProtocol.h"

#include <QList>

namespace {

int lastLineEnd(const QByteArray &bytes)
{
    return qMax(bytes.lastIndexOf('\r'), bytes.lastIndexOf('\n'));
}

} // namespace

ScaleProtocol::Verdict ContinuousProtocol::valueFromReply(const QByteArray &reply, bool,
                                                          Reading *reading) const
{
    const int end = lastLineEnd(reply);
    if (end < 0)
        return reply.size() > longestLine ? refused(NotUnderstood, reading) : Incomplete;
    QByteArray whole = reply.left(end);
    whole.replace('\n', '\r');
    const QList<QByteArray> lines = whole.split('\r');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line)
        if (!line->isEmpty())
            return parseLine(*line, reading);
    // Only line ends so far: the line after them is bounded as any other.
    return reply.size() - end - 1 > longestLine ? refused(NotUnderstood, reading) : Incomplete;
}

QByteArray ContinuousProtocol::leftover(const QByteArray &reply) const
{
    return reply.mid(lastLineEnd(reply) + 1);
}

ScaleProtocol::Verdict ContinuousProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    static const SicsProtocol sics;
    static const SicsMarkedProtocol marked;
    static const HeaderCommaProtocol headed;
    static const PrintFrameProtocol printed;
    static const ImmediatePrintProtocol immediate;
    const LineProtocol *const formats[] = {&sics, &marked, &headed, &printed, &immediate};
    for (const LineProtocol *format : formats) {
        const Verdict verdict = format->parseLine(line, reading);
        if (verdict == Accepted || reading->condition != NotUnderstood)
            return verdict;
    }
    return Rejected;
}
