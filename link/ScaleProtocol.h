#ifndef SCALEPROTOCOL_H
#define SCALEPROTOCOL_H

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <memory>

#include "SerialPort.h"

struct ScaleSetup;

// What one kind of scale asks and answers: the bytes of its requests, and
// how the bytes that came back are judged into a reading. The link's state
// machine is the same for every kind; it asks its protocol at each step.
class ScaleProtocol
{
    Q_DECLARE_TR_FUNCTIONS(ScaleProtocol)

public:
    // The kinds of scale the link can read. The names stored in the
    // settings and taken by the simulator's --type are key()'s.
    enum Type {
        BuiltIn,
        Sics,
        SicsMarked,
        HeaderComma,
        PrintFrame,
        ImmediatePrint,
        Continuous,
        Ascii,
        StatusStream, // STX, three status bytes, weight and tare digits, CR
        SmaLevel1,    // LF W CR; LF, status, range, G/N/T, motion, weight, unit, CR
        RetailW,      // W; STX, weight, CR, or STX ? status CR
        EtxReply,     // W CR; a weight line and a status line, ended by ETX
        EnqPolled,    // ENQ; STX, five digits with implied decimals, ETX
    };

    // What one examination makes of the bytes that came since the request.
    enum Verdict { Incomplete, Accepted, Rejected };

    // What a whole reply said: a weight, or why it carries none.
    // Unsettled: the scale is in motion and sends no weight until it settles.
    // NoWeight: the scale answered with its state only (a status frame, a
    // "no weight" text).
    enum Condition {
        Weighed,
        Overload,
        Underload,
        OutOfRange,
        Busy,
        Failed,
        UnknownUnit,
        NotUnderstood,
        Unsettled,
        NoWeight,
    };
    // What the operator may have the scale do between two readings.
    enum Command { Tare, Zero };
    // What the bytes that came since a command make of its answer.
    // NotAnAnswer: a whole line that answers something else (a reading of a
    // request before, a line sent unasked); it is dropped, never taken for
    // the answer, and what follows it is judged.
    enum CommandVerdict { AnswerPending, CommandDone, CommandRefused, NotAnAnswer };

    struct Reading
    {
        QString value; // the number as the scale wrote it, less blanks
        QString units; // empty when the protocol names its unit apart
        bool stable = true;
        Condition condition = NotUnderstood;
    };

    virtual ~ScaleProtocol() = default;

    static std::unique_ptr<ScaleProtocol> create(Type type);
    // The kind of the setup; an other ASCII scale as the setup describes it.
    static std::unique_ptr<ScaleProtocol> create(const ScaleSetup &setup);
    static QList<Type> types();
    static QString key(Type type);
    static Type fromKey(const QString &key, bool *known = nullptr);
    // The name the operator knows a kind of scale by, in the program's language.
    static QString name(Type type);
    // The line settings scales of the kind usually come with.
    static PortSettings usualSettings(Type type);

    // The request for the unit; empty when every reply names its unit.
    virtual QByteArray unitRequest() const { return QByteArray(); }
    // The request for a value; empty when the scale sends without one.
    virtual QByteArray valueRequest() const = 0;
    bool sendsUnasked() const { return valueRequest().isEmpty(); }
    virtual Verdict unitFromReply(const QByteArray &reply, bool quiet, QString *units) const;
    // Judges the bytes gathered so far; a rejected reply's condition says why.
    virtual Verdict valueFromReply(const QByteArray &reply, bool quiet, Reading *reading) const = 0;
    // The bytes still to be judged once a reply was: a scale that sends
    // unasked may be halfway through its next line.
    virtual QByteArray leftover(const QByteArray &reply) const;
    // How long the line must stay quiet for a reply to be whole, in
    // milliseconds; 0 when one poll without new bytes is enough.
    virtual int quietTime() const { return 0; }
    // Of a scale that sends unasked: where the first line end in bytes is
    // (-1 for none). A line counts only when its start was seen, so after an
    // open or a reset the link drops everything up to and including it.
    virtual int firstLineEnd(const QByteArray &bytes) const;

    // The bytes that make the scale tare or zero; empty when this kind takes
    // no such command from the program. inMotion: the last reading was not
    // stable. A scale that waits for its load to settle before it answers
    // would answer past the reply time-out then; such a kind sends its
    // immediate command instead.
    virtual QByteArray tareRequest(bool inMotion) const;
    virtual QByteArray zeroRequest(bool inMotion) const;
    QByteArray commandRequest(Command command, bool inMotion) const;
    // Judges the bytes that came since the command; *used gets how many of
    // them the verdict is about (the answer or the line that is none, with
    // its line ends), for the link to quote or drop them.
    virtual CommandVerdict commandAnswer(Command command, const QByteArray &reply, int *used) const;
    // How long after a command a scale that may confirm none is taken to
    // have carried it out, in milliseconds; 0 for a kind that answers every
    // command, whose silence is no answer.
    virtual int unconfirmedAfter() const { return 0; }

    // A finite number as a scale writes one: optional sign, digits with at
    // most one point, optional exponent; nothing else, not even blanks.
    static bool isNumber(const QString &text);
    // Units a scale may name in a reply that carries its own, as the makers
    // of the known kinds document them.
    static bool isKnownUnit(const QString &units);
    // A reply that answers with the scale's state instead of a weight: over
    // or under its range, busy, or an error it reports. Such a reply is an
    // answer: the scale is there and the line is in step.
    static bool answersWithoutWeight(Condition condition);

protected:
    // Rejects a reply for the reason given.
    static Verdict refused(Condition condition, Reading *reading);
    // The first line of reply, without the line ends before and after it:
    // the bytes it takes up to and with the line ends that follow, or -1
    // while it is not whole. A run of bytes longer than any line, without a
    // line end, counts as one line, so that noise is dropped.
    static int firstLine(const QByteArray &reply, QByteArray *line);
};

// How an other ASCII scale is asked and read, as the operator describes it.
struct AsciiSetup
{
    enum LineEnd { Cr, Lf, CrLf, Quiet, Etx, OtherByte };
    // As typed: \r, \n, \t, \xHH and \\ stand for their bytes. Empty for a
    // scale that sends unasked or on its print key.
    QString request;
    // Sent for Tare and Zero, typed as the request is; empty for a scale
    // that takes no such command. The scale's answer, if any, is not read.
    QString tareCommand;
    QString zeroCommand;
    LineEnd lineEnd = CrLf;
    int quietMs = 100; // with Quiet: the reply ends after this long without bytes
    // With OtherByte: the byte that ends a reply, typed as a request is.
    QString endByte;
    // Empty: the one number of the line that stands alone with a unit after
    // it (see AsciiProtocol). Otherwise a regular expression with the named
    // parts value, and optionally unit and stable.
    QString pattern;
    QString unstableText;
    QString overloadText;
    // A line that holds it carries no weight (e.g. "Err", "----").
    QString noWeightText;
    // For a scale that sends its digits without a point: how many of them
    // follow the point it leaves out. 0: the value is read as written.
    int decimals = 0;
    // Of a scale that sends unasked: it keeps quiet while the weight does not
    // change, so a quiet line is no fault and the last reading still holds.
    bool quietWhileSteady = false;
};

// What a port is read with: the kind of scale and the line settings.
struct ScaleSetup
{
    ScaleSetup() = default;
    ScaleSetup(ScaleProtocol::Type type, const PortSettings &line)
        : type(type)
        , line(line)
    {
    }

    ScaleProtocol::Type type = ScaleProtocol::BuiltIn;
    PortSettings line;
    AsciiSetup ascii;
    // Of a scale that sends unasked: it sends one line when its print key is
    // pressed, so a quiet line is no fault and each line is a reading.
    bool printKey = false;
    // The unit of a scale whose replies name none, as the operator set it;
    // empty when the scale names its own (or the operator set none).
    QString unit;
};

#endif // SCALEPROTOCOL_H
