#include "ShiftStore.h"

#include <QDir>
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

const QString windowsKey = QStringLiteral("windows");
const QString languageKey = QStringLiteral("language");
const QString atOnceKey = QStringLiteral("resumeAtOnce");
const QString statisticsKey = QStringLiteral("statistics");

} // namespace

ShiftStore::ShiftStore(QObject *parent)
    : QObject(parent)
{
}

ShiftStore::~ShiftStore() = default;

QString ShiftStore::fileName()
{
    return storedShift()->fileName();
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
    const std::unique_ptr<QSettings> stored = storedShift();
    QList<QVariantMap> windows;
    const int count = qMin(stored->beginReadArray(windowsKey), mostWindows);
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
    const std::unique_ptr<QSettings> stored = storedShift();
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
    saved(stored.get());
}

QString ShiftStore::language() const
{
    return storedShift()->value(languageKey).toString();
}

void ShiftStore::setLanguage(const QString &key)
{
    const std::unique_ptr<QSettings> stored = storedShift();
    stored->setValue(languageKey, key);
    saved(stored.get());
}

bool ShiftStore::resumesAtOnce() const
{
    return storedShift()->value(atOnceKey, false).toBool();
}

void ShiftStore::setResumesAtOnce(bool on)
{
    const std::unique_ptr<QSettings> stored = storedShift();
    stored->setValue(atOnceKey, on);
    saved(stored.get());
}

bool ShiftStore::showsStatistics() const
{
    return storedShift()->value(statisticsKey, false).toBool();
}

void ShiftStore::setShowsStatistics(bool on)
{
    const std::unique_ptr<QSettings> stored = storedShift();
    stored->setValue(statisticsKey, on);
    saved(stored.get());
}

// On disk before the change is over: the program may be killed the next moment.
void ShiftStore::saved(QSettings *settings)
{
    settings->sync();
    if (settings->status() == QSettings::NoError || toldFailure)
        return;
    toldFailure = true;
    emit saveFailed(settings->fileName());
}
