#include "SicsMarkedProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict SicsMarkedProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    static const QRegularExpression frame(QStringLiteral("\\ASI ([ ?^v])( *[+-]? *[0-9.]+) +(\\S+) *\\z"));
    static const QRegularExpression beyond(QStringLiteral("\\ASI ([\\^v])"));
    const QString text = QString::fromLatin1(line.constData(), line.size());
    const QString limit = beyond.match(text).captured(1);
    if (!limit.isEmpty())
        return refused(limit == QLatin1String("^") ? Overload : Underload, reading);
    const QRegularExpressionMatch match = frame.match(text);
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);
    return weighed(match.captured(2), match.captured(3), match.captured(1) == QLatin1String(" "), reading);
}
