#ifndef READOUTPANEL_H
#define READOUTPANEL_H

#include <QString>
#include <QWidget>

#include "ScaleProtocol.h"

class QFrame;
class QLCDNumber;
class QLabel;
class WordLabel;
class QToolButton;
class ScaleSession;
class VerdictLabel;

// The read-out of one opened scale and the lines under it: the reading and
// its unit, the verdict, the statistics and the load counter, the kind of
// scale read, the outcome of the last command and why no reading comes. It
// shows what its session says, and the plot given to it below them all.
class ReadoutPanel : public QWidget
{
    Q_OBJECT

public:
    ReadoutPanel(ScaleSession *session, QWidget *plot, QWidget *parent = nullptr);

    QLCDNumber *readout() const { return readoutNumber; }
    QLabel *units() const { return unitsLabel; }
    VerdictLabel *verdict() const { return verdictLabel; }
    WordLabel *statisticsLine() const { return statisticsLabel; }
    QLabel *captureLine() const { return captureLabel; }
    QLabel *setupLine() const { return setupLabel; }
    QLabel *commandLine() const { return commandLabel; }
    QLabel *noReadingLine() const { return noReadingLabel; }

    // The kind of scale and the line settings the port is read with; the
    // line under the read-out says so if the scale sends on its print key.
    void showSetup(const ScaleSetup &setup, const QString &port);
    void showPrintKeyWait();
    void showReadout(bool visible);
    void showStatistics(bool visible);
    bool isShowingStatistics() const { return statisticsShown; }
    // Writes the panel's lines again in the program's language.
    void retranslate();

    // The most of a scale's reply the line under the read-out quotes, and
    // the most its tip quotes.
    static constexpr int quotedReplyLength = 40;
    static constexpr int tipReplyLength = 1000;

public slots:
    void showNoReading(int cause, const QString &detail);
    void showCommandAnswer(int command, bool done, const QString &answer);

private:
    void showReading(const QString &value, const QString &units, bool placeholder, bool stable);
    void countTaken();
    void showLimits();
    void showStability(bool stable);
    void showStatisticsText();
    void showCapture();
    void writeTexts();

    ScaleSession *session;
    QFrame *readoutFrame;
    QLCDNumber *readoutNumber;
    QLabel *unitsLabel;
    VerdictLabel *verdictLabel;
    QWidget *statisticsRow;
    WordLabel *statisticsLabel;
    QToolButton *resetButton;
    QLabel *captureLabel;
    QLabel *setupLabel;
    QLabel *commandLabel;
    QLabel *noReadingLabel;
    ScaleSetup shownSetup;
    QString port;
    // What the read-out shows now.
    QString shownValue;
    // Why the line under the read-out says there is no reading, as the link
    // told it; -1 while readings come.
    int shownCause = -1;
    QString shownDetail;
    bool statisticsShown = false;
};

#endif // READOUTPANEL_H
