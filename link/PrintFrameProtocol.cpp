#include "PrintFrameProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict PrintFrameProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    static const QRegularExpression frame(
        QStringLiteral("\\A(?:[A-Za-z][A-Za-z ]{5})?([-+ ] *)([0-9.]+|H|L) *(\\S*) *\\z"));
    const QRegularExpressionMatch match = frame.match(QString::fromLatin1(line.constData(), line.size()));
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);
    if (match.captured(2) == QLatin1String("H"))
        return refused(Overload, reading);
    if (match.captured(2) == QLatin1String("L"))
        return refused(Underload, reading);
    return weighed(match.captured(1) + match.captured(2), match.captured(3), true, reading);
}
