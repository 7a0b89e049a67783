#ifndef SCALEFINDER_H
#define SCALEFINDER_H

#include <QList>
#include <QObject>
#include <QTimer>

#include "ScaleProtocol.h"

class IODeviceNew;
class QThread;

// Finds the kind and line settings of an unknown scale: reads the port with
// the program's own link at one setup after another and stops at the first
// where five replies in a row are read as readings, and no kind reads the
// lines that came otherwise (another value, unit or stability: a state or an
// identifier taken for the weight). Each kind is tried at its usual settings
// first, then every kind at the other common speeds and character formats. A
// scale found by a kind that asks is then listened to without asking: lines
// that keep coming unasked make it a continuous scale. When no kind reads
// the scale but it sent text lines with one weight and unit in each, an
// Other ASCII setup for them is proposed, for the operator to check.
//
// Lives on the caller's thread; each try's link runs on a worker thread of
// its own, as a device window's does, and one link at a time holds the port.
class ScaleFinder : public QObject
{
    Q_OBJECT

public:
    // Tries the setups in the usual order (see usualOrder()).
    explicit ScaleFinder(QObject *parent = nullptr);
    // Tries only these setups, in this order.
    explicit ScaleFinder(const QList<ScaleSetup> &tries, QObject *parent = nullptr);
    ~ScaleFinder() override;

    // Each kind at its usual settings, then the other speeds (1200 to 38400)
    // and formats (8N1, 7E1, 7O1) for every kind, the common speeds first.
    static QList<ScaleSetup> usualOrder();

    // Replies in a row a setup must read to be found.
    static constexpr int readingsToFind = 5;

    // Whether the lines in received that the kind reads are read alike by
    // every other kind that reads them: the same value and unit, and not
    // unstable where the kind says stable. A line read two ways shows that a
    // state or an identifier is taken for the weight, or a mark of motion
    // missed.
    static bool readsWithoutContradiction(const QByteArray &received, ScaleProtocol::Type type);
    // An Other ASCII setup (reply end and the default rule) under which the
    // text lines in received, sent unasked, are readings; false when they are
    // too few, or not all of one kind.
    static bool proposeAscii(const QByteArray &received, AsciiSetup *ascii);

    // Starts the search on the port; a search under way is stopped first.
    void find(const QString &port);
    bool isRunning() const { return running; }
    // The setup being tried now (after trying()), or the one found (after found()).
    ScaleSetup current() const { return tried; }
    int count() const { return tries.size(); }
    // After asciiProposed(): the bytes the proposal was made from.
    QByteArray proposedFrom() const { return proposalBytes; }

public slots:
    // Stops the search at once, within its try; no signal follows.
    void cancel();

signals:
    // Try number (from 1) of count() begins, with current().
    void trying(int number, int count);
    // current() is what the scale answers to.
    void found();
    // No setup tried gave five readings in a row.
    void notFound();
    // No setup tried gave readings, but current() (an Other ASCII scale)
    // reads the lines that came unasked: a proposal for the operator.
    void asciiProposed();
    // The port could not be opened; the system's reason.
    void cannotOpen(QString reason);

private:
    void startTry(const ScaleSetup &setup);
    void nextTry();
    void tookReading(int serial);
    void tookBytes(int serial, const QByteArray &bytes);
    void missedReading(int serial);
    void linkOpened(int serial, bool opened, const QString &reason);
    void tryFailed();
    void finish();

    QList<ScaleSetup> tries;
    QString portName;
    QThread *worker;
    QObject *workerContext; // lives on the worker thread
    IODeviceNew *link = nullptr; // touched on the worker thread only
    QTimer quiet;
    ScaleSetup tried;
    int index = 0;
    // Counts the links started: a signal of a link already given up is ignored.
    int serial = 0;
    int readings = 0;
    bool running = false;
    // The kind that asked was read; now listening for lines sent unasked.
    bool listening = false;
    ScaleSetup asked;
    // What came during this try, bounded; and the proposal made so far.
    QByteArray received;
    bool proposing = false;
    ScaleSetup proposal;
    QByteArray proposalBytes;
};

#endif // SCALEFINDER_H
