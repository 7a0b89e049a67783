#include "ShiftStore.h"

#include "ScaleList.h"
#include "WritableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>

#include <memory>


namespace {

std::unique_ptr<QSettings> storedShift()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("scaleacq"), QStringLiteral("shift"));
}

// A pipe or a device in the file's place would hold the start of the program
// until something is written to it: read as no file. Looked at before a
// QSettings is made on it.
const QString windowsKey = QStringLiteral("windows");
const QString languageKey = QStringLiteral("language");
const QString atOnceKey = QStringLiteral("resumeAtOnce");
const QString statisticsKey = QStringLiteral("statistics");
const QString geometryKey = QStringLiteral("desk/geometry");
const QString toolBarsKey = QStringLiteral("desk/toolBars");
const QString recordFolderKey = QStringLiteral("desk/recordFolder");

} // namespace

ShiftStore::ShiftStore(QObject *parent)
    : QObject(parent)
{
}

ShiftStore::~ShiftStore() = default;

// Not from a QSettings on the file, which reads it as it is made: the
// organisation's own file beside the folder names the folder.
QString ShiftStore::fileName()
{
    return WritableFile::settingsFile(QStringLiteral("shift"));
}

QVariant ShiftStore::value(const QString &key, const QVariant &fallback) const
{
    if (kept.contains(key))
        return kept.value(key);
    if (!WritableFile::mayRead(fileName()))
        return fallback;
    return storedShift()->value(key, fallback);
}

// The lock sits beside shift.conf and names its owner's process: a lock whose
// owner is gone is taken over at once, and one whose owner runs is never
// taken however old it is (a shift lasts days).
bool ShiftStore::claim()
{
    if (owned)
        return true;
    const QString folder = QFileInfo(fileName()).absolutePath();
    QDir().mkpath(folder);
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/shift.lock"));
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        owned = std::move(lock);
        return true;
    }
    // Where no lock can be made the shift cannot be written either, and its
    // first save says so; that is no sign of another program.
    return lock->error() != QLockFile::LockFailedError;
}

QList<QVariantMap> ShiftStore::windows() const
{
    QList<QVariantMap> windows;
    if (kept.contains(windowsKey)) {
        for (const QVariant &fields : kept.value(windowsKey).toList())
            windows << fields.toMap();
        return windows;
    }
    if (!WritableFile::mayRead(fileName()))
        return windows;
    const std::unique_ptr<QSettings> stored = storedShift();
    const int count = qMin(stored->beginReadArray(windowsKey), ScaleList::mostScales);
    for (int i = 0; i < count; ++i) {
        stored->setArrayIndex(i);
        QVariantMap fields;
        const QStringList keys = stored->childKeys();
        for (const QString &key : keys)
            fields.insert(key, stored->value(key));
        windows << fields;
    }
    stored->endArray();
    return windows;
}

void ShiftStore::setWindows(const QList<QVariantMap> &windows)
{
    QVariantList all;
    for (const QVariantMap &fields : windows)
        all << fields;
    write(windowsKey, all, [&windows](QSettings *stored) {
        // Written whole: a window closed must not leave its fields behind.
        stored->remove(windowsKey);
        stored->beginWriteArray(windowsKey, windows.size());
        for (int i = 0; i < windows.size(); ++i) {
            stored->setArrayIndex(i);
            const QVariantMap &fields = windows.at(i);
            for (auto field = fields.cbegin(); field != fields.cend(); ++field)
                stored->setValue(field.key(), field.value());
        }
        stored->endArray();
    });
}

QString ShiftStore::language() const
{
    return value(languageKey, QString()).toString();
}

void ShiftStore::setLanguage(const QString &key)
{
    write(languageKey, key, [&key](QSettings *stored) { stored->setValue(languageKey, key); });
}

bool ShiftStore::resumesAtOnce() const
{
    return value(atOnceKey, false).toBool();
}

void ShiftStore::setResumesAtOnce(bool on)
{
    write(atOnceKey, on, [on](QSettings *stored) { stored->setValue(atOnceKey, on); });
}

bool ShiftStore::showsStatistics() const
{
    return value(statisticsKey, false).toBool();
}

void ShiftStore::setShowsStatistics(bool on)
{
    write(statisticsKey, on, [on](QSettings *stored) { stored->setValue(statisticsKey, on); });
}

QByteArray ShiftStore::windowGeometry() const
{
    return value(geometryKey, QByteArray()).toByteArray();
}

QByteArray ShiftStore::toolBarState() const
{
    return value(toolBarsKey, QByteArray()).toByteArray();
}

void ShiftStore::setWindowLayout(const QByteArray &geometry, const QByteArray &toolBars)
{
    write(geometryKey, geometry, [geometry](QSettings *stored) { stored->setValue(geometryKey, geometry); });
    write(toolBarsKey, toolBars, [toolBars](QSettings *stored) { stored->setValue(toolBarsKey, toolBars); });
}

QString ShiftStore::recordFolder() const
{
    return value(recordFolderKey, QString()).toString();
}

void ShiftStore::setRecordFolder(const QString &folder)
{
    write(recordFolderKey, folder, [folder](QSettings *stored) { stored->setValue(recordFolderKey, folder); });
}

// On disk before the change is over: the program may be killed the next
// moment. The file is looked at first: the settings, once changed, would be
// written when they go, through a link or not.
void ShiftStore::write(const QString &key, const QVariant &value, const std::function<void(QSettings *)> &change)
{
    QString reason = WritableFile::settingsRefusal(fileName());
    if (reason.isEmpty()) {
        const std::unique_ptr<QSettings> stored = storedShift();
        change(stored.get());
        stored->sync();
        if (stored->status() == QSettings::NoError) {
            kept.remove(key);
            return;
        }
        reason = tr("it cannot be written");
    }
    kept.insert(key, value);
    if (toldFailure)
        return;
    toldFailure = true;
    emit saveFailed(fileName(), reason);
}
