#ifndef LINEMONITOR_H
#define LINEMONITOR_H

#include <QByteArray>
#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QPointer>

class QCheckBox;
class QPushButton;
class QTimer;
class DeviceTask;
class TrafficView;

// The bytes one port exchanged with its scale lately, oldest first: when,
// which way, and the bytes as text with control bytes named, or in hex.
// It watches its task's line only while it is shown, so a closed monitor
// costs the link nothing. However fast the bytes come, it keeps no more than
// about keptBytes of them and writes its view at most every refreshMs.
class LineMonitor : public QDialog
{
    Q_OBJECT

public:
    explicit LineMonitor(DeviceTask *task, QWidget *parent = nullptr);
    ~LineMonitor() override;

    // Printable ASCII as it is; <CR>, <LF>, <ESC>, <NUL>, other bytes <0x..>.
    static QString namedBytes(const QByteArray &bytes);
    // "41 0D 0A".
    static QString hexBytes(const QByteArray &bytes);

    // About this many of the latest bytes are kept, in whole lines.
    static constexpr int keptBytes = 512;
    // The traffic that came since the view was last written waits this long.
    static constexpr int refreshMs = 100;

    // The lines shown, as Copy copies them once they are up to date.
    QString shownText() const;

public slots:
    void addTraffic(int direction, const QByteArray &bytes, const QDateTime &at);
    void clear();
    void copy();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // One shown line: bytes that went one way, up to a line end.
    struct Entry
    {
        // Counts the entries ever added, so the view knows which it shows.
        quint64 serial;
        QDateTime at;
        int direction;
        QByteArray bytes;
    };

    void translateUI();
    void watch(bool on);
    // Glues the piece to the last entry when it goes on with that line.
    void add(int direction, const QByteArray &piece, const QDateTime &at, bool continues);
    QString lineOf(const Entry &entry) const;
    void showAll();
    // Brings the view up to the entries, touching only the lines that changed.
    void refresh();

    QPointer<DeviceTask> task;
    QList<Entry> entries;
    int total = 0;
    quint64 nextSerial = 0;
    // The view shows the entries from shownFirst on, shownCount of them, the
    // last one as it was at lastShownSize bytes.
    quint64 shownFirst = 0;
    int shownCount = 0;
    int lastShownSize = 0;
    QString sentWord;
    QString receivedWord;
    QTimer *refreshTimer;
    TrafficView *view;
    QCheckBox *hexBox;
    QPushButton *copyButton;
    QPushButton *clearButton;
    QPushButton *closeButton;
    // Whether this monitor holds one of the task's watches.
    bool watching = false;
};

#endif // LINEMONITOR_H
