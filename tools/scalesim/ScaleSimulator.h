#ifndef SCALESIMULATOR_H
#define SCALESIMULATOR_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QQueue>

class QSocketNotifier;

// A weighing scale at the far end of a pseudo-terminal. It answers "Z" with
// its unit and "A" with a ten-byte value frame, and can misbehave on demand:
// stay silent, answer late, send garbage, split its frames, or vanish with
// its port and come back.
//
// The port is published as a symbolic link (by default in
// <temp>/scalesim/ttySIM<n>) that keeps its name across a vanish and a come
// back, the way a replugged adapter keeps its device name.
class ScaleSimulator : public QObject
{
    Q_OBJECT

public:
    explicit ScaleSimulator(QObject *parent = nullptr);
    ~ScaleSimulator() override;

    // Where simulated ports are published unless a link path is given.
    static QString publishDirectory();

    // Opens the pseudo-terminal and publishes it at linkPath, or at the first
    // free ttySIM<n> in publishDirectory() when linkPath is empty.
    bool start(const QString &linkPath = QString());
    QString portPath() const { return link; }
    QString terminalPath() const { return slaveName; }
    bool isPresent() const { return masterFd >= 0; }

    // Closes the pseudo-terminal and removes the link, like a pulled adapter.
    void vanish();
    // Opens a new pseudo-terminal under the same link.
    bool comeBack();

    void setUnitReply(const QByteArray &reply) { unitReply = reply; }
    void setWeight(double kilograms) { weight = kilograms; }
    void setSilent(bool silent) { silentMode = silent; }
    void setGarbage(bool garbage) { garbageMode = garbage; }
    // Replies go out this many milliseconds after their request.
    void setReplyDelay(int ms) { replyDelay = ms; }
    // Each reply is written in two pieces: splitAt bytes, then the rest
    // gapMs later. splitAt 0 writes whole replies.
    void setSplit(int splitAt, int gapMs) { splitBytes = splitAt; splitGap = gapMs; }
    // Answers the next value requests with these exact bytes, one reply per
    // request, before going back to generated frames.
    void queueValueReplies(const QList<QByteArray> &replies);
    // Writes bytes on the line unasked.
    void send(const QByteArray &bytes);

    // Ten-byte frame for a value: right-aligned with three decimals, CR LF.
    static QByteArray valueFrame(double value);

    QByteArray received() const { return requests; }
    void clearReceived() { requests.clear(); }

signals:
    void requestReceived(char request, qint64 atMs);
    void replySent(const QByteArray &reply);

private slots:
    void readRequests();

private:
    bool openTerminal();
    bool publish();
    void closeTerminal();
    void answer(char request);
    void writeReply(const QByteArray &reply);
    void writeNow(const QByteArray &bytes);

    int masterFd = -1;
    int slaveFd = -1;
    QSocketNotifier *notifier = nullptr;
    QString slaveName;
    QString link;
    QElapsedTimer clock;

    QByteArray unitReply = "kg\r\n";
    double weight = 12.345;
    bool silentMode = false;
    bool garbageMode = false;
    int replyDelay = 0;
    int splitBytes = 0;
    int splitGap = 0;
    QQueue<QByteArray> scripted;
    QByteArray requests;
    quint32 generation = 0;
};

#endif // SCALESIMULATOR_H
