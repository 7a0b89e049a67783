#ifndef DEVICETASK_H
#define DEVICETASK_H

#include <QAtomicPointer>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QThread>

#include <atomic>

#include "CaptureFilter.h"
#include "ReadingStatistics.h"
#include "RecordFormat.h"
#include "ScaleProtocol.h"
#include "WeightLimits.h"
#include "WordLabel.h"

class QFrame;
class QHBoxLayout;
class QLabel;
class QLCDNumber;
class QToolButton;
class QVBoxLayout;
class QWidget;
class IODeviceNew;
class RandomPlot;
class SaveSamples;
class VerdictLabel;

// The controller of one opened port. The object lives on the GUI thread and
// fills its document window with the read-out row and the plot; run() alone
// executes on the worker thread, where it creates the scale link so that the
// link's timers and state machine belong to that thread. Readings come back
// as queued signals and are shown, plotted and recorded here by the modes.
class DeviceTask : public QThread
{
    Q_OBJECT

public:
    DeviceTask(const QString &portName, QWidget *window, QObject *parent,
               const ScaleSetup &setup = ScaleSetup());
    ~DeviceTask() override;

    void pause() { paused = true; }
    void go() { paused = false; }
    void step();
    bool isPaused() const { return paused; }
    bool isRecording() const { return recording; }
    void setRecording(bool on) { recording = on; }
    SaveSamples *recorder() const { return sampleRecorder.loadAcquire(); }
    int refreshRate() const { return rate; }
    void setRefreshRate(int ms);
    void stop() { quit(); }
    ScaleSetup setup() const { return scaleSetup; }
    // Reads the port from now on with another kind of scale or other line
    // settings: the link is closed and opened afresh.
    void reopen(const ScaleSetup &setup);
    // The line that names the kind of scale and the line settings the port
    // is read with; showSetup() writes it again, in the program's language.
    QLabel *setupWidget() const { return setupLabel; }
    void showSetup();
    // Writes the window's own lines again in the program's language: the
    // setup line and the line under the read-out.
    void retranslate();
    // Passes the bytes on the line on as lineTraffic() while anyone watches
    // (each watchLine(true) is undone by one watchLine(false)); while no one
    // does, the link is not even asked to build them.
    void watchLine(bool on);
    // Whether the reading on show is one the scale called stable.
    bool isStable() const { return stable; }
    // Why the scale cannot be made to tare or zero from here, in words for
    // a tool tip; empty when it can.
    QString commandUnavailable(ScaleProtocol::Command command) const;
    // The line under the read-out that says what came of the last command.
    QLabel *commandWidget() const { return commandLabel; }
    // What the operator is told of a command's outcome (see
    // IODeviceNew::commandAnswered).
    static QString commandText(int command, bool done, const QString &answer);

    // The operator's name for the scale ("Packing line 2"): in the window
    // title, in CSV records and in export titles.
    QString scaleName() const { return name; }
    void setScaleName(const QString &scaleName);
    // The format the recorder starts its next file in.
    RecordFormat::Kind recordFormat() const { return format; }
    void setRecordFormat(RecordFormat::Kind kind);
    // Which readings a running window records, and for one record per load
    // the change, in the scale's unit, that makes a new load.
    CaptureFilter::Mode captureMode() const { return capture.mode(); }
    void setCaptureMode(CaptureFilter::Mode mode);
    double loadThreshold() const { return capture.threshold(); }
    void setLoadThreshold(double change);
    int loadsRecorded() const { return capture.loads(); }
    const ReadingStatistics &statistics() const { return stats; }
    // The statistics line under the read-out, and the load counter shown
    // with one record per load.
    WordLabel *statisticsWidget() const { return statisticsLabel; }
    QLabel *captureWidget() const { return captureLabel; }
    bool isShowingStatistics() const { return statisticsShown; }
    // The check-weighing limits and the verdict beside the read-out.
    WeightLimits limits() const;
    void setLimits(const WeightLimits &limits);
    VerdictLabel *verdictWidget() const { return verdictLabel; }
    // The lot or batch the readings are taken for: recorded with each; a new
    // one starts the statistics and the load count again.
    QString lot() const { return lotName; }
    void setLot(const QString &lot);
    // The reading on show as the scale sent it, less blanks, and its unit;
    // both empty while nothing has come or a placeholder is on show.
    QString reading() const { return lastValue; }
    QString readingUnit() const { return lastValue.isEmpty() ? QString() : lastUnits; }

    QString port() const { return portName; }
    RandomPlot *plotWidget() const { return plot; }
    QLabel *unitsWidget() const { return unitsLabel; }
    QLCDNumber *readoutWidget() const { return readout; }
    // The line under the read-out that says why there is no reading; hidden
    // while readings come.
    QLabel *noReadingWidget() const { return noReadingLabel; }
    int readings() const { return readingNumber; }

    // What the operator is told for a link's NoReadingCause.
    static QString noReadingText(int cause, const QString &detail,
                                 ScaleProtocol::Type type = ScaleProtocol::BuiltIn);

    // E.g. "SICS-style commands (SI), 9600 8N1", or for a network port
    // "SICS-style commands (SI), network".
    static QString setupText(const ScaleSetup &setup, const QString &port);

    // Numbers as the program's language writes them (its decimal separator).
    static QLocale numberLocale();
    static QChar decimalPoint();

    // The most of a scale's reply the line under the read-out quotes, and
    // the most its tip quotes.
    static constexpr int quotedReplyLength = 40;
    static constexpr int tipReplyLength = 1000;

    // A tool tip that shows the text as it is, markup and all, its line
    // breaks and runs of blanks kept: a tip takes a text that merely looks
    // like markup for rich text.
    static QString plainTip(const QString &text);

signals:
    void deviceTaskStarted();
    void deviceCloseSignal();
    void setRefreshRateSignal(int ms);
    void commandSignal(int command);
    void deleteNowSignal();
    // The recorder could not write a record, once per run of failed ones.
    // Recording stays on: each later reading is tried again, and the file
    // keeps whole records only.
    void recordingFailed(QString fileName, QString reason);
    // Records reach the file again after a run of failed ones.
    void recordingRecovered(QString fileName);
    // The recording file was deleted while recording; the recorder started
    // it again under its name and records on there.
    void recordingFileRecreated(QString fileName);
    // The link's bytes, while watchLine() is on (see IODeviceNew::lineTraffic).
    void lineTraffic(int direction, QByteArray bytes, QDateTime at);
    void scaleNameChanged(QString scaleName);
    // A reading taken as a record, as Record writes it (on or off).
    void readingTaken(const SampleRecord &record);

public slots:
    void showLCD(bool visible);
    void showGraph(bool visible);
    void showStatistics(bool visible);
    void resetStatistics();
    void deviceClose();
    // Have the scale tare or zero between two readings; the outcome shows on
    // commandWidget().
    void tare() { emit commandSignal(ScaleProtocol::Tare); }
    void zero() { emit commandSignal(ScaleProtocol::Zero); }

private slots:
    void showCommandAnswer(int command, bool done, const QString &answer);
    void getSample(QString sample, QString units, QString dzialki, QDateTime taken);
    void deleteNow();
    void showNoReading(int cause, const QString &detail);
    void setStable(bool stable);

protected:
    void run() override;

private:
    // Made on the worker thread, in run() and at each reopen.
    IODeviceNew *makeLink(const ScaleSetup &setup, int periodMs);
    // Connects the link's traffic to this task, or not, as watchLine() last said.
    void followLineWatch(IODeviceNew *current);
    void showStability(bool isStable);
    static QString portSettingsHint();
    void showPrintKeyWait();
    void plotLast();
    void recordLast(const QString &kind);
    void showStatisticsText();
    void showCapture();

    RandomPlot *plot;
    QLabel *unitsLabel;
    QVBoxLayout *mainLayout;
    QHBoxLayout *rowLayout;
    QFrame *readoutFrame;
    QLCDNumber *readout;
    QLabel *noReadingLabel;
    QLabel *setupLabel;
    QLabel *commandLabel;
    // Made on the worker thread and used on the GUI thread: published with
    // release and read with acquire, so the GUI thread sees a whole recorder
    // on its own and not only through the order of the signals that follow.
    QAtomicPointer<SaveSamples> sampleRecorder;
    int readingNumber;
    // The last reading as the scale sent it, less blanks, for Step: the
    // read-out's number would round it to six digits. Empty while nothing
    // has come or the last thing that came was a placeholder.
    QString lastValue;
    QString lastUnits;
    // When the link accepted the last reading: its records carry that time,
    // however late the GUI thread comes to them.
    QDateTime lastTaken;
    // What the read-out shows now.
    QString shownValue;
    // Why the line under the read-out says there is no reading, as the link
    // told it; -1 while readings come.
    int shownCause = -1;
    QString shownDetail;
    bool lastStable = true;
    QString name;
    RecordFormat::Kind format = RecordFormat::Classic;
    CaptureFilter capture;
    ReadingStatistics stats;
    QWidget *statisticsRow;
    WordLabel *statisticsLabel;
    QToolButton *resetButton;
    QLabel *captureLabel;
    VerdictLabel *verdictLabel;
    QString lotName;
    bool statisticsShown = false;
    QString portName;
    ScaleSetup scaleSetup;
    // The setup the thread opens the port with; scaleSetup is the GUI
    // thread's, which a reopen changes.
    const ScaleSetup firstSetup;
    // The link, for reopen(): set and used on the worker thread only.
    QAtomicPointer<IODeviceNew> link;
    // An object of the worker thread while its event loop runs: the GUI thread
    // posts there what must be done to the link, which a reopen may replace.
    // Sequentially consistent with lineWatchers, so a watch set just before
    // run() starts is seen by the first link.
    std::atomic<QObject *> workerHome{nullptr};
    std::atomic<int> lineWatchers{0};
    // Set by run() once the link has gone, read after wait() (see run()).
    std::atomic<bool> ended{false};
    bool stable;
    bool paused;
    bool recording;
    // The period between requests, in ms: the GUI thread's; the link is told
    // it through setRefreshRateSignal().
    int rate;
    static constexpr int defaultRefreshRate = 200;
};

#endif // DEVICETASK_H
