#include "HeaderCommaProtocol.h"

#include <QRegularExpression>

ScaleProtocol::Verdict HeaderCommaProtocol::parseLine(const QByteArray &line, Reading *reading) const
{
    // Many scales put a second header between the state and the number:
    // "US,GS,    92.6 g", "ST,NT,+  1.234kg", "US,GS    20.9g" (GS gross,
    // NT net...), with or without its comma. The state is the first header's.
    static const QRegularExpression frame(
        QStringLiteral("\\A(ST|US|QT),(?:[A-Z]{2}(?:,| +(?=[ +-]*[0-9.])))?( *[+-]? *[0-9.]+) *([^ 0-9.]\\S*) *\\z"));
    // OL is out of range either way; its sign, where it has one, says which.
    static const QRegularExpression outOfRange(QStringLiteral("\\AOL,(?:[A-Z]{2}(?:,| +))? *([+-]?)"));
    const QString text = QString::fromLatin1(line.constData(), line.size());
    const QRegularExpressionMatch beyond = outOfRange.match(text);
    if (beyond.hasMatch()) {
        const QString sign = beyond.captured(1);
        return refused(sign.isEmpty() ? OutOfRange : sign == QLatin1String("-") ? Underload : Overload,
                       reading);
    }
    const QRegularExpressionMatch match = frame.match(text);
    if (!match.hasMatch())
        return refused(NotUnderstood, reading);
    return weighed(match.captured(2), match.captured(3), match.captured(1) != QLatin1String("US"), reading);
}

ScaleProtocol::CommandVerdict HeaderCommaProtocol::commandAnswer(Command, const QByteArray &reply,
                                                                 int *used) const
{
    // The acknowledgement is one byte, with or without a line end after it.
    const int ack = reply.indexOf('\x06');
    QByteArray line;
    *used = firstLine(reply, &line);
    if (ack >= 0 && (*used < 0 || ack < *used) && reply.left(ack).trimmed().isEmpty()) {
        *used = ack + 1;
        return CommandDone;
    }
    if (*used < 0)
        return AnswerPending;
    static const QRegularExpression error(QStringLiteral("\\AEC,E[0-9]{2} *\\z"));
    return error.match(QString::fromLatin1(line.constData(), line.size())).hasMatch() ? CommandRefused
                                                                                       : NotAnAnswer;
}
