#ifndef LINEMONITOR_H
#define LINEMONITOR_H

#include <QByteArray>
#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QPointer>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class DeviceTask;

// The bytes one port exchanged with its scale lately, oldest first: when,
// which way, and the bytes as text with control bytes named, or in hex.
// It watches its task's line only while it is shown, so a closed monitor
// costs the link nothing.
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
        QDateTime at;
        int direction;
        QByteArray bytes;
    };

    void translateUI();
    void watch(bool on);
    void add(int direction, const QByteArray &piece, const QDateTime &at);
    QString lineOf(const Entry &entry) const;
    void showAll();

    QPointer<DeviceTask> task;
    QList<Entry> entries;
    int total = 0;
    QPlainTextEdit *view;
    QCheckBox *hexBox;
    QPushButton *copyButton;
    QPushButton *clearButton;
    QPushButton *closeButton;
    // Whether this monitor holds one of the task's watches.
    bool watching = false;
};

#endif // LINEMONITOR_H
