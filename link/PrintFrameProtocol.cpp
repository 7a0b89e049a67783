#include "PrintFrameProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict PrintFrameProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    static const QRegularExpression frame(QStringLiteral("\\A([-+ ] *)([0-9.]+|H|L) *(\\S*) *\\z"));
    // The identifier ("N     ", "G#    ", ...) is six characters the scale
    // puts first. A frame is first read as one without, so that a frame's
    // own sign and digits are never taken for one. An identifier names the
    // weight, never its state: one with a comma or a stability mark ("US,GS,",
    // "ST    ", "?") is another kind's line, whose state a print frame would
    // lose.
    static const QRegularExpression identifier(QStringLiteral("\\A(?!ST|US|QT|OL|S |SD|SS)[A-Za-z0-9# *]{6}"));
    const QString text = QString::fromLatin1(line.constData(), line.size());
    QRegularExpressionMatch match = frame.match(text);
    if (!match.hasMatch() && identifier.match(text).hasMatch())
        match = frame.match(text.mid(6));
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);
    if (match.captured(2) == QLatin1String("H"))
        return refused(Overload, reading);
    if (match.captured(2) == QLatin1String("L"))
        return refused(Underload, reading);
    return weighed(match.captured(1) + match.captured(2), match.captured(3), true, reading);
}
