#ifndef SHIFTSTORE_H
#define SHIFTSTORE_H

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class QLockFile;
class QSettings;

// The shift as it stands, kept in the user's settings (shift.conf beside
// ports.conf) and written at every change, so that a crash or a power cut
// loses nothing: the windows open now, each as a map of its fields ("port"
// and whatever ShiftRestorer keeps), the language last chosen, and whether a
// start reopens the windows without asking, and whether the statistics are
// shown. One shift belongs to one running program: see claim(). The file is
// never written through a link nor into anything but a regular file; what
// cannot be written is kept for this run and read back from here.
class ShiftStore : public QObject
{
    Q_OBJECT

public:
    explicit ShiftStore(QObject *parent = nullptr);
    ~ShiftStore() override;

    // Where the shift is written.
    static QString fileName();

    // Takes the shift for this run of the program, until the store goes:
    // false while another running program has it (one that has ended or
    // been killed has not). Whoever is refused must neither resume nor
    // store the shift, which the other program is writing.
    bool claim();

    // In the order the windows were opened, the first ScaleList::mostScales
    // of them however many a hand-made file claims. Values come back as text;
    // the reader converts them.
    QList<QVariantMap> windows() const;
    void setWindows(const QList<QVariantMap> &windows);

    // "polish", "english", or empty when never chosen.
    QString language() const;
    void setLanguage(const QString &key);

    bool resumesAtOnce() const;
    void setResumesAtOnce(bool on);

    bool showsStatistics() const;
    void setShowsStatistics(bool on);
    // The main window's place and size, and where its tool bars stand, as
    // QMainWindow saves them; empty when never stored.
    QByteArray windowGeometry() const;
    QByteArray toolBarState() const;
    void setWindowLayout(const QByteArray &geometry, const QByteArray &toolBars);
    // The folder the last record file was chosen in; empty when never chosen.
    QString recordFolder() const;
    void setRecordFolder(const QString &folder);

signals:
    // The shift could not be written, and why, in the operator's words; said
    // once a run, as a crash would then lose what changed since.
    void saveFailed(const QString &fileName, const QString &reason);

private:
    // value under key, or the one kept for this run when it was not written.
    QVariant value(const QString &key, const QVariant &fallback) const;
    void write(const QString &key, const QVariant &value, const std::function<void(QSettings *)> &change);

    QVariantMap kept;
    bool toldFailure = false;
    std::unique_ptr<QLockFile> owned;
};

#endif // SHIFTSTORE_H
