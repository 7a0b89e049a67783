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

    // How replies are framed: a unit reply is taken whole once this many
    // bytes are pending, a value reply as exactly this many bytes.
    static constexpr int unitReplyMinimum = 2;
    static constexpr int valueFrameSize = 10;

    // Whether a unit reply names a unit the scale may use ("kg", "kg.", "szt"
    // or "g", exactly); the unit is written only then.
    static bool unitFromReply(const QByteArray &raw, QString *units);
    // Whether a value frame holds a number; the number, without the blanks
    // and line ends around it, is written only then.
    static bool valueFromFrame(const QByteArray &frame, QString *sample);

    // Wait between an accepted reply and the next request, in milliseconds.
    int periodWait() const { return periodTimer->interval(); }

signals:
    void newSample(QString sample, QString units, QString dzialki);
    void toReads();
    void toWait();
    void deleteNowSignal();

public slots:
    void setRefreshRate(int periodMs);

private slots:
    void writeToPort();
    void readFromPort();
    void timeoutPort();
    void closePort();

private:
    enum Phase { UnitsPhase, ValuesPhase };

    void reject();
    static QString stripReply(const QByteArray &raw);

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
};

#endif // IODEVICENEW_H
