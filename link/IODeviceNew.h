#ifndef IODEVICENEW_H
#define IODEVICENEW_H

#include <QState>
#include <QStateMachine>
#include <QTimer>

#include "SerialPort.h"

// The link with one scale: asks for the unit ("Z") until the scale names it,
// then for values ("A") in an endless request / read / wait cycle. A reply
// that does not come within a second resets the port and yields a moving
// placeholder instead of a reading.
//
// The link lives on the device's worker thread: it must be constructed there,
// and the GUI reaches it only through queued signals.
class IODeviceNew : public SerialPort
{
    Q_OBJECT

public:
    IODeviceNew(const QString &name, const PortSettings &settings, QueryMode mode,
                QObject *parent = nullptr);
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
    };
    Q_ENUM(NoReadingCause)

    // How replies are framed: a unit reply is looked at once this many bytes
    // have come, a value reply is a frame of this many bytes.
    static constexpr int unitReplyMinimum = 2;
    static constexpr int valueFrameSize = 10;

    // What one examination makes of the bytes that came since the request.
    // A reply is whole once a line end (or a NUL) ends its text, once bytes
    // beyond its frame have come, or once the line has been quiet for a poll
    // (quiet: no byte came since the examination before).
    enum Verdict { Incomplete, Accepted, Rejected };
    // Accepted only for exactly "kg", "kg.", "szt" or "g" after blanks and
    // line ends are removed; the unit is written only then.
    static Verdict unitFromReply(const QByteArray &reply, bool quiet, QString *units);
    // Accepted only for a ten-byte frame holding one number, followed by
    // nothing but blanks and line ends: digits running past the frame, a
    // second frame or noise reject the reply rather than being cut into a
    // number. The sample is written only when accepted.
    static Verdict valueFromReply(const QByteArray &reply, bool quiet, QString *sample);
    // A finite number as a scale writes one: optional sign, digits with at
    // most one point, optional exponent; nothing else, not even blanks.
    static bool isNumber(const QString &text);
    // A reply as the operator may be shown it: printable, line ends dropped.
    static QString shownReply(const QByteArray &reply);

    // Wait between an accepted reply and the next request, in milliseconds.
    int periodWait() const { return periodTimer->interval(); }

signals:
    void newSample(QString sample, QString units, QString dzialki);
    void toReads();
    void toWait();
    void deleteNowSignal();
    // Sent just before each time-out placeholder: why there is no reading.
    // The cause is a NoReadingCause.
    void noReading(int cause, QString detail);

public slots:
    void setRefreshRate(int periodMs);

private slots:
    void writeToPort();
    void readFromPort();
    void timeoutPort();
    void closePort();

private:
    enum Phase { UnitsPhase, ValuesPhase };

    void reject(NoReadingCause cause);
    void discardInput();

    QStateMachine machine;
    QState *requestState;
    QState *readState;
    QState *waitState;
    QTimer *pollTimer;
    QTimer *replyTimer;
    QTimer *periodTimer;
    int refreshRate;

    Phase phase;
    QString units;
    int timeoutCount;

    // The reply to the request last written, as it comes in.
    QByteArray reply;
    int sizeAtLastLook;
    // A reply was rejected: nothing more is taken until the next request.
    bool replySpoilt;
    NoReadingCause windowCause;
    QString windowDetail;
};

#endif // IODEVICENEW_H
