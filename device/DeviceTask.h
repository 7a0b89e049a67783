#ifndef DEVICETASK_H
#define DEVICETASK_H

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QThread>

#include <atomic>

#include "CaptureFilter.h"
#include "ReadingStatistics.h"
#include "ReadingTexts.h"
#include "ReadoutPanel.h"
#include "WordLabel.h"
#include "RecordFormat.h"
#include "ScaleProtocol.h"
#include "ScaleSession.h"
#include "WeightLimits.h"

class QLabel;
class QLCDNumber;
class QWidget;
class IODeviceNew;
class LinkWorker;
class RandomPlot;
class SaveSamples;
class VerdictLabel;

// The controller of one opened port. The object lives on the GUI thread and
// fills its document window with the read-out panel and the plot. The thread
// it is runs the port's LinkWorker: run() has the worker make the link there,
// so that the link's timers belong to that thread, and runs its event loop.
// Requests go to the worker as queued calls; readings come back as queued
// signals and go to the session, which decides by its modes what is shown,
// plotted and recorded.
class DeviceTask : public QThread
{
    Q_OBJECT

public:
    DeviceTask(const QString &portName, QWidget *window, QObject *parent,
               const ScaleSetup &setup = ScaleSetup());
    ~DeviceTask() override;

    // The modes, recording and what is taken are the session's.
    ScaleSession *scaleSession() const { return session; }
    void pause() { session->pause(); }
    void go() { session->go(); }
    void step() { session->step(); }
    bool isPaused() const { return session->isPaused(); }
    bool isRecording() const { return session->isRecording(); }
    void setRecording(bool on) { session->setRecording(on); }
    SaveSamples *recorder() const { return session->recorder(); }
    int refreshRate() const { return rate; }
    void setRefreshRate(int ms);
    void stop() { quit(); }
    ScaleSetup setup() const { return scaleSetup; }
    // Reads the port from now on with another kind of scale or other line
    // settings: the link is closed and opened afresh.
    void reopen(const ScaleSetup &setup);
    // The line that names the kind of scale and the line settings the port
    // is read with; showSetup() writes it again, in the program's language.
    QLabel *setupWidget() const { return panel->setupLine(); }
    void showSetup();
    // Writes the window's own lines again in the program's language: the
    // setup line and the line under the read-out.
    void retranslate();
    // Passes the bytes on the line on as lineTraffic() while anyone watches
    // (each watchLine(true) is undone by one watchLine(false)); while no one
    // does, the link is not even asked to build them.
    void watchLine(bool on);
    // Whether the reading on show is one the scale called stable.
    bool isStable() const { return session->isStable(); }
    // Why the scale cannot be made to tare or zero from here, in words for
    // a tool tip; empty when it can.
    QString commandUnavailable(ScaleProtocol::Command command) const;
    // The line under the read-out that says what came of the last command.
    QLabel *commandWidget() const { return panel->commandLine(); }
    // What the operator is told of a command's outcome (see ReadingTexts).
    static QString commandText(int command, bool done, const QString &answer)
    {
        return ReadingTexts::commandText(command, done, answer);
    }

    // The operator's name for the scale ("Packing line 2"): in the window
    // title, in CSV records and in export titles.
    QString scaleName() const { return session->scaleName(); }
    void setScaleName(const QString &scaleName) { session->setScaleName(scaleName); }
    // The format the recorder starts its next file in.
    RecordFormat::Kind recordFormat() const { return format; }
    void setRecordFormat(RecordFormat::Kind kind);
    // Which readings a running window records, and for one record per load
    // the change, in the scale's unit, that makes a new load.
    CaptureFilter::Mode captureMode() const { return session->captureMode(); }
    void setCaptureMode(CaptureFilter::Mode mode) { session->setCaptureMode(mode); }
    double loadThreshold() const { return session->loadThreshold(); }
    void setLoadThreshold(double change) { session->setLoadThreshold(change); }
    int loadsRecorded() const { return session->loadsRecorded(); }
    const ReadingStatistics &statistics() const { return session->statistics(); }
    // The statistics line under the read-out, and the load counter shown
    // with one record per load.
    WordLabel *statisticsWidget() const { return panel->statisticsLine(); }
    QLabel *captureWidget() const { return panel->captureLine(); }
    bool isShowingStatistics() const { return panel->isShowingStatistics(); }
    // The check-weighing limits and the verdict beside the read-out.
    WeightLimits limits() const { return session->limits(); }
    void setLimits(const WeightLimits &limits) { session->setLimits(limits); }
    VerdictLabel *verdictWidget() const { return panel->verdict(); }
    // The lot or batch the readings are taken for: recorded with each; a new
    // one starts the statistics and the load count again.
    QString lot() const { return session->lot(); }
    void setLot(const QString &lot) { session->setLot(lot); }
    // The reading on show as the scale sent it, less blanks, and its unit;
    // both empty while nothing has come or a placeholder is on show.
    QString reading() const { return session->reading(); }
    QString readingUnit() const { return session->readingUnit(); }

    QString port() const { return portName; }
    RandomPlot *plotWidget() const { return plot; }
    QLabel *unitsWidget() const { return panel->units(); }
    QLCDNumber *readoutWidget() const { return panel->readout(); }
    // The line under the read-out that says why there is no reading; hidden
    // while readings come.
    QLabel *noReadingWidget() const { return panel->noReadingLine(); }
    int readings() const { return session->readings(); }

    // The window's texts and numbers (see ReadingTexts).
    static QString noReadingText(int cause, const QString &detail,
                                 ScaleProtocol::Type type = ScaleProtocol::BuiltIn)
    {
        return ReadingTexts::noReadingText(cause, detail, type);
    }
    static QString setupText(const ScaleSetup &setup, const QString &port)
    {
        return ReadingTexts::setupText(setup, port);
    }
    static QLocale numberLocale() { return ReadingTexts::numberLocale(); }
    static QChar decimalPoint() { return ReadingTexts::decimalPoint(); }

    // The most of a scale's reply the line under the read-out quotes, and
    // the most its tip quotes.
    static constexpr int quotedReplyLength = ReadoutPanel::quotedReplyLength;
    static constexpr int tipReplyLength = ReadoutPanel::tipReplyLength;

    static QString plainTip(const QString &text) { return ReadingTexts::plainTip(text); }

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
    void showPrintKeyWait();

    RandomPlot *plot;
    ReadoutPanel *panel;
    ScaleSession *session;
    RecordFormat::Kind format = RecordFormat::Classic;
    QString portName;
    ScaleSetup scaleSetup;
    // Of this thread from the start; made and deleted by the GUI thread,
    // which reaches it by queued calls only. It holds the setup and the
    // period the link runs with, so a reopen keeps the order of the requests.
    LinkWorker *worker;
    // Set by run() once the link has gone, read after wait() (see run()).
    std::atomic<bool> ended{false};
    // The period between requests, in ms: the GUI thread's; the link is told
    // it through setRefreshRateSignal().
    int rate;
    static constexpr int defaultRefreshRate = 200;
};

#endif // DEVICETASK_H
