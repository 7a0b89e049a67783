#include "HeaderCommaProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict HeaderCommaProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    static const QRegularExpression frame(QStringLiteral("\\A(ST|US|QT),( *[+-]? *[0-9.]+) *([^ 0-9.]\\S*) *\\z"));
    const QString text = QString::fromLatin1(line.constData(), line.size());
    if (text.startsWith(QLatin1String("OL,")))
        return refused(Overload, reading);
    const QRegularExpressionMatch match = frame.match(text);
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);
    return weighed(match.captured(2), match.captured(3), match.captured(1) != QLatin1String("US"), reading);
}
