#ifndef IODEVICENEW_H
#define IODEVICENEW_H

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include "BuiltInProtocol.h"
#include "LocalClock.h"
#include "SerialPort.h"

#include <memory>

// The link with one scale: asks for the unit until the scale names it (where
// the kind of scale has a unit request), then for values in an endless
// request / read / wait cycle; the kind's protocol says what is sent and how
// a reply is read. A reply
// that does not come within a second resets the port and yields a moving
// placeholder instead of a reading.
//
// The link lives on the device's worker thread: it must be constructed there,
// and other threads reach it only through its LinkWorker.
class IODeviceNew : public SerialPort
{
    Q_OBJECT

public:
    IODeviceNew(const QString &name, const PortSettings &settings, QueryMode mode,
                ScaleProtocol::Type type = ScaleProtocol::BuiltIn, QObject *parent = nullptr);
    // Reads the port as setup says: its kind, line settings and, for an
    // other ASCII scale, how it is asked and read.
    IODeviceNew(const QString &name, const ScaleSetup &setup, QueryMode mode, QObject *parent = nullptr);
    ~IODeviceNew() override;

    // The settings every scale is read with: 9600 8N1, no flow control.
    static PortSettings scaleSettings();
    // Open mode of the first open and of every reopen after a time-out.
    static constexpr OpenMode portOpenMode = ReadWrite | Truncate | Unbuffered;

    // The placeholder shown instead of a value after the n-th time-out:
    // seven hyphens with a blank at position n mod 8.
    static QString placeholder(int timeoutCount);

    // Why a reply window ended without a reading; told with each placeholder.
    enum NoReadingCause {
        NoAnswer,           // the port was open, nothing usable came back
        PortNotOpen,        // the port could not be opened (detail: the system's reason)
        PortAccessDenied,   // ... because of its permissions, or another program holds it
        UnitNotAccepted,    // the scale named a unit that is not known (detail: what it sent)
        ReplyNotUnderstood, // a value reply was not a whole number (detail: what came)
        ScaleOverloaded,    // the scale says the load is above its range
        ScaleUnderloaded,   // ... below its range
        ScaleBusy,          // the scale is busy and sent no weight
        ScaleOutOfRange,    // the load is out of the scale's range, direction not told
        ScaleFailed,        // the scale answered with an error (detail: what it sent)
        ScaleInMotion,      // the scale is in motion and sends no weight until it settles
        ScaleSentNoWeight,  // the scale answered with its state, no weight (detail: what it sent)
    };
    Q_ENUM(NoReadingCause)

    // Which way bytes went, told with lineTraffic().
    enum Direction { Sent, Received };
    Q_ENUM(Direction)

    // The built-in protocol's framing and decisions (see BuiltInProtocol).
    static constexpr int unitReplyMinimum = BuiltInProtocol::unitReplyMinimum;
    static constexpr int valueFrameSize = BuiltInProtocol::valueFrameSize;
    using Verdict = ScaleProtocol::Verdict;
    static constexpr Verdict Incomplete = ScaleProtocol::Incomplete;
    static constexpr Verdict Accepted = ScaleProtocol::Accepted;
    static constexpr Verdict Rejected = ScaleProtocol::Rejected;
    static Verdict unitFromReply(const QByteArray &reply, bool quiet, QString *units)
    {
        return BuiltInProtocol::unitOf(reply, quiet, units);
    }
    static Verdict valueFromReply(const QByteArray &reply, bool quiet, QString *sample)
    {
        return BuiltInProtocol::valueOf(reply, quiet, sample);
    }
    static bool isNumber(const QString &text) { return ScaleProtocol::isNumber(text); }
    // A reply as the operator may be shown it: printable, line ends dropped.
    static QString shownReply(const QByteArray &reply);
    // Its first line, at most a line of the longest kind, as shownReply().
    static QString quotedReply(const QByteArray &reply);


signals:
    // taken: when the reply was accepted (or the placeholder made), so that
    // a reading queued behind a busy GUI thread keeps its own time.
    void newSample(QString sample, QString units, QString dzialki, QDateTime taken);
    void deleteNowSignal();
    // Sent just before each time-out placeholder: why there is no reading.
    // The cause is a NoReadingCause.
    void noReading(int cause, QString detail);
    // Sent just before each reading: whether the scale called it stable.
    void readingStable(bool stable);
    // Bytes written to or read from the port, also those dropped unread
    // before a request; direction is a Direction. Built only while connected.
    void lineTraffic(int direction, QByteArray bytes, QDateTime at);
    // What came of a command (a ScaleProtocol::Command): done, or not. text
    // is the scale's answer as shownReply() gives it; empty when none came:
    // with done, of a kind that confirms nothing, without, no answer came
    // within the reply time-out.
    void commandAnswered(int command, bool done, QString text);

public slots:
    void setRefreshRate(int periodMs);
    // Has the scale carry out a ScaleProtocol::Command between two requests:
    // at once when the link waits for the next one, else right after the
    // reply on its way; a reading is asked for right after its answer.
    // Commands the kind does not take are ignored.
    void sendCommand(int command);
    // Stops the cycle and closes the port for good; deleteNowSignal() follows.
    void closePort();

private:
    // The cycle: a request is written on entering Requesting, the line is
    // read on entering Reading and at every poll, and Waiting runs the period
    // to the next request.
    enum Stage { Stopped, Requesting, Reading, Waiting };
    // Enters the stage once the one being entered is done with: a stage
    // entered from within another's entry follows it, as in a state machine.
    void moveTo(Stage next);
    void enter(Stage next);
    // From Requesting, with the request written: the reply window opens.
    void toReads();
    // From Reading, the reply taken: the poll and the reply window end.
    void toWait();
    void writeToPort();
    void readFromPort();
    void timeoutPort();
    void startWait();

    // The last bytes received since the last reading, so that a time-out
    // with no reply can still say what came.
    QByteArray heard;
    enum Phase { UnitsPhase, ValuesPhase };

    void reject(NoReadingCause cause);
    // The scale answered, with no weight: told at once, and the cycle goes on.
    void answerWithoutWeight(NoReadingCause cause);
    void showPlaceholder(NoReadingCause cause, const QString &detail);
    static NoReadingCause causeOf(int condition);
    void discardInput();
    // Of a stream grown past any reply's length: keeps its newest lines;
    // false when there is no line end to keep them from.
    bool keepNewest();
    // Whether anyone watches the line: nothing is built for lineTraffic() else.
    bool lineWatched() const;
    void tellTraffic(Direction direction, const QByteArray &bytes);

    // The phase a fresh start or a reset begins in.
    Phase firstPhase() const;
    // Wait from now to the next request, in milliseconds.
    int waitNow() const;
    // The command's exchange, in place of a request and its reply.
    void writeCommand();
    void readAnswer();
    void endCommand(bool done, const QString &text);

    std::unique_ptr<ScaleProtocol> protocol;
    Stage stage = Stopped;
    Stage nextStage = Stopped;
    bool entering = false;
    bool closed = false;
    QTimer *pollTimer;
    QTimer *replyTimer;
    QTimer *periodTimer;
    int refreshRate;
    // Since the request (or, for a scale that sends unasked, the tick).
    QElapsedTimer tick;

    Phase phase;
    QString units;
    int timeoutCount;

    // The reply to the request last written, as it comes in.
    QByteArray reply;
    int sizeAtLastLook;
    // A reply was rejected: nothing more is taken until the next request.
    bool replySpoilt;
    // Of a scale that sends unasked: whether the start of the line now coming
    // was seen. A port opened, reset or cleared mid-line receives the tail of
    // a line first, and a tail ("01  g" of "ST,+00010.001  g") reads as a
    // weight the scale never sent.
    bool lineStartSeen;
    // Since bytes last came, for a kind whose replies end by a quiet line.
    QElapsedTimer sinceBytes;
    // The scale sends only on its print key: a quiet line is no fault, and
    // each line is taken as it comes.
    const bool printKey;
    // The line may stay quiet by right: on the print key, or while the
    // weight does not change.
    const bool quietIsNoFault;
    NoReadingCause windowCause;
    QString windowDetail;
    // Commands still to send, and the one whose answer is awaited (-1: none).
    QList<int> commands;
    int command = -1;
    bool commandEnded = false;
    QElapsedTimer sinceCommand;
    // Whether the scale called its last reading stable.
    bool lastStable = true;
    // The time stamps of readings, placeholders and traffic.
    LocalClock localClock;
};

#endif // IODEVICENEW_H
