#ifndef SCALESIMULATOR_H
#define SCALESIMULATOR_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QRandomGenerator>

#include <memory>

#include "ScaleProtocol.h"

class QLockFile;
class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QTimer;

// A weighing scale at the far end of a pseudo-terminal. By default it is the
// program's own kind: it answers "Z" with its unit and "A" with a ten-byte
// value frame. Set to another kind, it answers that kind's request with that
// kind's line, or sends lines unasked. It can misbehave on demand: stay
// silent, answer late, send garbage, split its replies, or vanish with its
// port and come back.
//
// It answers only while the link's line settings are the ones it expects, as
// a real scale does: before each reply it reads the terminal's attributes.
// A Linux pseudo-terminal forces 8 data bits without parity whatever is set
// (see keepsCharacterFormat()); there only speed, stop bits, flow control are
// compared.
//
// The frames are written here, never with the link's own code, so that tests
// check the one against the other.
//
// The port is published as a symbolic link (by default in
// <temp>/scalesim/ttySIM<n>) that keeps its name across a vanish and a come
// back, the way a replugged adapter keeps its device name. Beside each link a
// hidden lock file (.ttySIM<n>.lock) names the process that owns it, so that a
// link left by a killed simulator is known for stale, and reused or removed.
//
// Started with listen() instead, the scale sits behind a serial-to-Ethernet
// converter: it serves every connection to 127.0.0.1:<port> and, having no
// line of its own to check, answers whatever the link's settings.
class ScaleSimulator : public QObject
{
    Q_OBJECT

public:
    // What a reply says instead of, or beside, the weight.
    enum Condition { Weighing, Overload, Underload, Busy };

    explicit ScaleSimulator(QObject *parent = nullptr);
    ~ScaleSimulator() override;

    // Where simulated ports are published unless a link path is given.
    static QString publishDirectory();

    // Opens the pseudo-terminal and publishes it at linkPath, or at the first
    // free ttySIM<n> in publishDirectory() when linkPath is empty.
    bool start(const QString &linkPath = QString());
    // Publishes at the first free <stem><n> in directory, after removing the
    // links there whose owner is gone.
    bool startNumbered(const QString &directory, const QString &stem);
    // Whether the link at linkPath belongs to a simulator still running.
    static bool hasLiveOwner(const QString &linkPath);
    // Serves on 127.0.0.1:port (0: a free port the system picks) instead of
    // a pseudo-terminal; portPath() is then tcp://127.0.0.1:<port>.
    bool listen(quint16 port = 0);
    QString portPath() const { return link; }
    QString terminalPath() const { return slaveName; }
    bool isPresent() const;

    // Closes the pseudo-terminal and removes the link, like a pulled adapter;
    // on the network, stops listening and drops every connection.
    void vanish();
    // Opens a new pseudo-terminal under the same link, or listens again on
    // the same port.
    bool comeBack();

    // The line settings a scale of the kind comes set to, as its makers'
    // manuals give them. Written here, never asked of the link, so that a
    // slip in the link's defaults makes the scale fall silent in the tests.
    static PortSettings settingsOf(ScaleProtocol::Type type);
    // The kind of scale; it then expects settingsOf(type) (call
    // setExpectedSettings() after it for others).
    void setType(ScaleProtocol::Type type);
    ScaleProtocol::Type type() const { return scaleType; }
    // The line format a continuous scale sends (default the Sics one).
    void setContinuousFormat(ScaleProtocol::Type format) { continuousFormat = format; }
    // How often a continuous scale sends, in milliseconds (default 100); 0
    // for a scale that sends only on its print key.
    void setContinuousPeriod(int ms);
    // The print key: one line of the scale's kind goes out now.
    void pressPrint();

    // The built-in kind's answer to "Z".
    void setUnitReply(const QByteArray &reply) { unitReply = reply; }
    // The unit the other kinds write; empty for the kind's own ("g", "kg", "lb", "LB").
    void setUnit(const QByteArray &unit) { lineUnit = unit; }
    // The number the scale shows, in its unit.
    void setWeight(double value) { weight = value; }
    // The weight wanders a little at each reply, by a new draw each run
    // unless seeded: the same seed, the same weights.
    void setSeed(quint32 seed) { wander.seed(seed); }
    // A kind that marks no stability (builtin, print-frame) ignores it; a
    // condition a kind has no way of writing is answered with the weight.
    void setStable(bool stable) { stableMode = stable; }
    void setCondition(Condition condition) { conditionMode = condition; }
    // Of a status-stream scale: how many of its six digits follow the point
    // it leaves out (0 to 5), or -1 and -2 for one and two dummy zeros after
    // them; default 3.
    void setDecimals(int decimals) { decimalPlaces = qBound(-2, decimals, 5); }
    // Of a status-stream scale: each frame ends with a checksum byte.
    void setChecksum(bool on) { checksumOn = on; }
    // The print-frame kind's six-character identifier ("N", "G"...); empty
    // for none.
    void setIdentifier(const QByteArray &identifier);

    // Tare and zero: a SICS-style, header-and-comma, print-frame or SMA
    // scale carries them out as its kind's commands say (a tare takes the
    // weight shown off, so later readings are net; a zero makes the weight
    // shown the new zero) and answers as its kind does. Refusing, it keeps
    // its weight and answers with its kind's refusal, if it has one.
    void setRefusing(bool refuse) { refusing = refuse; }
    // Answers the next commands with these exact bytes (an empty one: no
    // answer), carrying none of them out.
    void queueCommandReplies(const QList<QByteArray> &replies);
    double tare() const { return tareWeight; }

    void setSilent(bool silent) { silentMode = silent; }
    void setGarbage(bool garbage) { garbageMode = garbage; }
    // Replies go out this many milliseconds after their request.
    void setReplyDelay(int ms) { replyDelay = ms; }
    // Each reply is written in two pieces: splitAt bytes, then the rest
    // gapMs later. splitAt 0 writes whole replies.
    void setSplit(int splitAt, int gapMs) { splitBytes = splitAt; splitGap = gapMs; }
    // Answers the next value requests (or sends the next lines, for the
    // continuous kind) with these exact bytes, before going back to
    // generated frames.
    void queueValueReplies(const QList<QByteArray> &replies);
    // Writes bytes on the line unasked.
    void send(const QByteArray &bytes);

    // Line settings the scale answers at (default 9600 8N1, no flow control).
    void setExpectedSettings(const PortSettings &settings) { expected = settings; }
    PortSettings expectedSettings() const { return expected; }
    // The settings the terminal holds now, as the scale sees them.
    PortSettings lineSettings() const;
    // Whether the terminal keeps data bits and parity as they are set.
    bool keepsCharacterFormat() const { return characterFormatKept; }
    // Whether lineSettings() are the expected ones, as far as the terminal
    // keeps them.
    bool lineMatches() const;

    // Ten-byte frame for a value: right-aligned with three decimals, CR LF.
    static QByteArray valueFrame(double value);

    QByteArray received() const { return requests; }
    void clearReceived() { requests.clear(); }

signals:
    // Every byte of the built-in kind; once per whole request of the others,
    // with its first byte ('S', 'Q', 0x1b, 'I').
    void requestReceived(char request, qint64 atMs);
    void replySent(const QByteArray &reply);
    // A tare or zero command of the scale's kind, as it came.
    void commandReceived(const QByteArray &command);

private slots:
    void readRequests();
    void sendLine();

private:
    bool openTerminal();
    bool own(const QString &linkPath);
    bool publish();
    static void removeStaleLinks(const QString &directory, const QString &stem);
    void closeTerminal();
    bool openServer();
    void acceptConnections();
    void closeServer();
    void take(char byte);
    void answer(char request);
    // Answers pending when it is one of the kind's commands.
    bool answerCommand(const QByteArray &pending);
    // The weight shown: less the tare and the zero set.
    double net() const { return weight - tareWeight - zeroWeight; }
    void answerValue();
    QByteArray weightLine(ScaleProtocol::Type format) const;
    QByteArray statusStreamFrame() const;
    QByteArray smaLevel1Reply() const;
    QByteArray retailWReply() const;
    QByteArray etxReply() const;
    QByteArray enqPolledReply() const;
    void writeReply(const QByteArray &reply);
    void writeNow(const QByteArray &bytes);

    int masterFd = -1;
    int slaveFd = -1;
    QSocketNotifier *notifier = nullptr;
    QTimer *lineTimer = nullptr;
    QString slaveName;
    QString link;
    QTcpServer *server = nullptr;
    quint16 serverPort = 0; // set once listening: the scale is on the network
    QList<QTcpSocket *> connections;
    // Replies go to the connection that asked last; with none (a scale that
    // sends unasked), to every connection.
    QPointer<QTcpSocket> asker;
    std::unique_ptr<QLockFile> ownership; // held while the link is this scale's
    QElapsedTimer clock;

    ScaleProtocol::Type scaleType = ScaleProtocol::BuiltIn;
    ScaleProtocol::Type continuousFormat = ScaleProtocol::Sics;
    PortSettings expected;
    bool characterFormatKept = true;
    QByteArray unitReply = "kg\r\n";
    QByteArray lineUnit;
    QByteArray identifier;
    double weight = 12.345;
    QRandomGenerator wander{QRandomGenerator::global()->generate()};
    bool stableMode = true;
    Condition conditionMode = Weighing;
    int decimalPlaces = 3;
    bool checksumOn = false;
    bool silentMode = false;
    bool garbageMode = false;
    int replyDelay = 0;
    int splitBytes = 0;
    int splitGap = 0;
    QQueue<QByteArray> scripted;
    QQueue<QByteArray> scriptedCommands;
    bool refusing = false;
    double tareWeight = 0;
    double zeroWeight = 0;
    QByteArray requests;
    QByteArray pending; // the request of another kind, as it comes in
    // Reads of the line so far, and the one the pending request began in.
    quint64 readCount = 0;
    quint64 pendingSince = 0;
    quint32 generation = 0;
};

#endif // SCALESIMULATOR_H
