#include "WritableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <sys/stat.h>

namespace {

// What is under the name, the name itself looked at, not what a link names.
// False when there is nothing there (and nothing in the way of creating it).
bool entryOf(const QString &name, struct stat *entry, QString *why)
{
    if (::lstat(QFile::encodeName(name).constData(), entry) == 0)
        return true;
    if (errno != ENOENT)
        *why = qt_error_string(errno);
    return false;
}

} // namespace

QString WritableFile::refusal(const QString &fileName)
{
    struct stat entry;
    QString why;
    if (!entryOf(fileName, &entry, &why) || S_ISREG(entry.st_mode))
        return why;
    if (S_ISLNK(entry.st_mode))
        return tr("it is a symbolic link, and the program writes through none");
    if (S_ISDIR(entry.st_mode))
        return tr("it is a folder");
    return tr("it is a device, a pipe or a socket, not a regular file");
}

// A folder above the program's own is the user's to place where it suits,
// through a link or not.
QString WritableFile::settingsFile(const QString &name)
{
    // The organisation's own file sits beside the folder of its files.
    const QFileInfo organisation(QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("scaleacq"))
                                     .fileName());
    return organisation.path() + QLatin1Char('/') + organisation.completeBaseName() + QLatin1Char('/') + name
           + QStringLiteral(".conf");
}

bool WritableFile::mayRead(const QString &fileName)
{
    struct stat entry;
    return ::stat(QFile::encodeName(fileName).constData(), &entry) != 0 || S_ISREG(entry.st_mode);
}

QString WritableFile::settingsRefusal(const QString &fileName)
{
    const QString folder = QFileInfo(fileName).path();
    struct stat entry;
    QString why;
    if (entryOf(folder, &entry, &why) && !S_ISDIR(entry.st_mode))
        return S_ISLNK(entry.st_mode)
                   ? tr("its folder %1 is a symbolic link, and the program writes through none").arg(folder)
                   : tr("its folder %1 is not a folder").arg(folder);
    return why.isEmpty() ? refusal(fileName) : why;
}
