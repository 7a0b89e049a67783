#include "ImmediatePrintProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict ImmediatePrintProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    static const QRegularExpression frame(QStringLiteral("\\A( *[+-]? *[0-9.]+) +(\\S+?) *(\\?)? *\\z"));
    const QRegularExpressionMatch match = frame.match(QString::fromLatin1(line.constData(), line.size()));
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);
    return weighed(match.captured(1), match.captured(2), match.captured(3).isEmpty(), reading);
}
