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

QByteArray SicsProtocol::tareRequest(bool inMotion) const
{
    return inMotion ? QByteArrayLiteral("TI\r\n") : QByteArrayLiteral("T\r\n");
}

QByteArray SicsProtocol::zeroRequest(bool inMotion) const
{
    return inMotion ? QByteArrayLiteral("ZI\r\n") : QByteArrayLiteral("Z\r\n");
}

ScaleProtocol::CommandVerdict SicsProtocol::commandAnswer(Command command, const QByteArray &reply,
                                                          int *used) const
{
    QByteArray line;
    *used = firstLine(reply, &line);
    if (*used < 0)
        return AnswerPending;
    // The answer repeats the command it answers, "T" or "TI" alike.
    static const QRegularExpression tared(QStringLiteral("\\ATI? ([SD]) +[+-]? *[0-9.]+ +\\S+ *\\z"));
    static const QRegularExpression zeroed(QStringLiteral("\\A(?:Z A|ZI [SD]) *\\z"));
    static const QRegularExpression refusal(QStringLiteral("\\A(?:[TZ]I? [I+-]|E[STL]) *\\z"));
    const QString text = QString::fromLatin1(line.constData(), line.size());
    const QChar letter = command == Tare ? QLatin1Char('T') : QLatin1Char('Z');
    if ((command == Tare ? tared : zeroed).match(text).hasMatch())
        return CommandDone;
    if (refusal.match(text).hasMatch() && (text.at(0) == letter || text.at(0) == QLatin1Char('E')))
        return CommandRefused;
    return NotAnAnswer;
}
