#ifndef SHIFTSTORE_H
#define SHIFTSTORE_H

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QSettings;

// The shift as it stands, kept in the user's settings (shift.conf beside
// ports.conf) and written at every change, so that a crash or a power cut
// loses nothing: the windows open now, each as a map of its fields ("port"
// and whatever ShiftRestorer keeps), the language last chosen, and whether a
// start reopens the windows without asking.
class ShiftStore : public QObject
{
    Q_OBJECT

public:
    explicit ShiftStore(QObject *parent = nullptr);

    // Where the shift is written.
    static QString fileName();

    // In the order the windows were opened. Values come back as text; the
    // reader converts them.
    QList<QVariantMap> windows() const;
    void setWindows(const QList<QVariantMap> &windows);

    // "polish", "english", or empty when never chosen.
    QString language() const;
    void setLanguage(const QString &key);

    bool resumesAtOnce() const;
    void setResumesAtOnce(bool on);

signals:
    // The shift could not be written; said once a run, as a crash would
    // then lose what changed since.
    void saveFailed(const QString &fileName);

private:
    void saved(QSettings *settings);

    bool toldFailure = false;
};

#endif // SHIFTSTORE_H
