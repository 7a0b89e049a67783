#include "SicsProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict SicsProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    static const QRegularExpression weight(QStringLiteral("\\AS ([SD]) +([+-]? *\\S+) +(\\S+) *\\z"));
    static const QRegularExpression status(QStringLiteral("\\AS ([I+-]) *\\z"));
    // Syntax, transmission and logical errors: the scale heard a request it
    // could not carry out.
    static const QRegularExpression error(QStringLiteral("\\AE[STL] *\\z"));
    const QString text = QString::fromLatin1(line.constData(), line.size());
    const QRegularExpressionMatch match = weight.match(text);
    if (match.hasMatch())
        return weighed(match.captured(2), match.captured(3), match.captured(1) == QLatin1String("S"),
                       reading);
    if (error.match(text).hasMatch())
        return refused(Failed, reading);
    const QString code = status.match(text).captured(1);
    if (code == QLatin1String("I"))
        return refused(Busy, reading);
    if (code == QLatin1String("+"))
        return refused(Overload, reading);
    return refused(code == QLatin1String("-") ? Underload : NotUnderstood, reading);
}
