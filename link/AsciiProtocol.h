#ifndef ASCIIPROTOCOL_H
#define ASCIIPROTOCOL_H

#include <QRegularExpression>

#include "ScaleProtocol.h"

// A scale of any make that writes its weight as text, described by the
// operator: what to send (or nothing), where a reply ends, and how the weight
// is found in it. As strict as the known kinds: a reply is one line, two are
// never glued, and only digits make a number.
class AsciiProtocol : public ScaleProtocol
{
public:
    // unit: the one the operator set for a scale that writes none.
    explicit AsciiProtocol(const AsciiSetup &setup, const QString &unit = QString());

    QByteArray valueRequest() const override { return request; }
    Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const override;
    QByteArray leftover(const QByteArray &reply) const override;
    int quietTime() const override;

    // Reads one line, without its line end; the value keeps the scale's
    // digits and decimal point or comma, less blanks.
    Verdict parseLine(const QByteArray &line, Reading *reading) const;

    // The bytes of a request as typed; false in ok for an unknown escape.
    static QByteArray decoded(const QString &typed, bool *ok = nullptr);
    // Whether pattern can find a weight: it compiles and names a value part.
    static bool isUsablePattern(const QString &pattern);
    // The shortest and longest quiet time that can end a reply.
    static constexpr int shortestQuiet = 20;
    static constexpr int longestQuiet = 500;
    // The longest reply looked at; past it, a reply that never ended is refused.
    static constexpr int longestLine = 128;

private:
    QByteArray terminator() const;

    AsciiSetup setup;
    QString unit;
    QByteArray request;
    QRegularExpression pattern;
};

#endif // ASCIIPROTOCOL_H
