#include "SaveSamples.h"

#include "ClassicFormat.h"
#include "LinkTrace.h"
#include "WritableFile.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Unbuffered: a record either reaches the file in the call that hands it over
// or is reported there; a buffered one could fail later, at a flush nobody
// watches, or slip into the file long after it was reported lost. Binary
// append: the record end is written byte for byte, not left to a text-mode
// translation that this host does not do.
const QIODevice::OpenMode appendMode = QIODevice::WriteOnly | QIODevice::Append
                                       | QIODevice::Unbuffered;
}

SaveSamples::SaveSamples(QObject *parent)
    : QObject(parent)
    , file(nullptr)
    , failing(false)
{
    qCDebug(linkTrace) << "C? SaveSamples";
    qCDebug(linkTrace) << "C! SaveSamples";
}

SaveSamples::~SaveSamples()
{
    close();
}

void SaveSamples::setFileName(const QString &fileName)
{
    name = fileName;
}

bool SaveSamples::open()
{
    if (name.isEmpty())
        return false;
    return open(name);
}

bool SaveSamples::open(const QString &fileName)
{
    qCDebug(linkTrace) << "? SaveSamples open()";
    delete file;
    file = new QFile(this);
    openName = fileName;
    failing = false; // a new recording is told about its own first failure
    writer = RecordFormat::create(formatKind);
    refusal.clear();
    // Looked at before it is opened: opening a serial line to find out what
    // it is would already disturb it.
    failure = WritableFile::refusal(fileName);
    if (!failure.isEmpty() || !openAppending(file, fileName, &failure)
        || !startFile(file, &failure)) {
        qWarning() << "Could not open the file" << fileName << failure;
        file->close();
        return false;
    }
    failure.clear();
    return true;
}

bool SaveSamples::isRecordable(const QString &fileName)
{
    return WritableFile::refusal(fileName).isEmpty();
}

// O_NONBLOCK: a pipe put in the file's place since it was looked at fails at
// once instead of holding the GUI thread until someone reads it; O_NOFOLLOW
// refuses a link put there. What was opened must still be a regular file.
// Opened for reading too where that is allowed, so that its format can be
// seen; a file that may only be written to is taken on trust.
bool SaveSamples::openAppending(QFile *target, const QString &fileName, QString *reason)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int flags = O_APPEND | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path.constData(), O_RDWR | flags, 0666);
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.constData(), O_WRONLY | flags, 0666);
    if (fd < 0) {
        *reason = qt_error_string(errno);
        return false;
    }
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        *reason = tr("not a regular file");
        ::close(fd);
        return false;
    }
    if (!target->open(fd, appendMode, QFileDevice::AutoCloseHandle)) {
        *reason = target->errorString();
        ::close(fd);
        return false;
    }
    return true;
}

namespace {
// Whether the name itself, not what a link there names, is the file open on fd.
bool namesFile(const QString &name, int fd)
{
    struct stat opened, named;
    return ::fstat(fd, &opened) == 0 && ::lstat(QFile::encodeName(name).constData(), &named) == 0
           && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Up to size bytes from offset on; empty when they cannot be read.
QByteArray readAt(const QFile &file, qint64 offset, qint64 size)
{
    QByteArray bytes(int(size), '\0');
    const ssize_t got = ::pread(file.handle(), bytes.data(), size_t(bytes.size()), offset);
    bytes.truncate(got < 0 ? 0 : int(got));
    return bytes;
}
} // namespace

// A new or empty file gets the format's header; one that holds records
// already must hold records of this format, and loses a torn one at its end.
bool SaveSamples::startFile(QFile *target, QString *reason)
{
    if (!removeTornEnd(target, reason))
        return false;
    if (target->size() == 0)
        return writer->header().isEmpty() || writeWhole(target, writer->header(), reason);
    const QByteArray start = readAt(*target, 0, 256);
    // Opened for writing only: taken on trust.
    if (start.isEmpty())
        return true;
    const RecordFormat::Kind found = RecordFormat::kindOf(start);
    if (found == formatKind && RecordFormat::isOlderLayout(start)) {
        refusal = tr("It holds records in an older column layout: rows with today's columns are "
                     "not added under its header. Choose a new file for the recording.");
        *reason = tr("it holds records in an older column layout");
        return false;
    }
    if (found == formatKind)
        return true;
    refusal = tr("It holds records in the format \"%1\"; records in the format \"%2\" are not added "
                 "to it, so that the file keeps one format. Choose another file, or the file's own "
                 "format in the Record button's menu.")
                  .arg(RecordFormat::name(found), RecordFormat::name(formatKind));
    *reason = tr("it holds records in the format \"%1\"").arg(RecordFormat::name(found));
    return false;
}

// Only the bytes after the last whole record go, and only when they can be
// nothing but a record of the file's format cut short, or the file holds
// nothing but the start of a header: a file of another format, or someone's
// own text, keeps every byte.
bool SaveSamples::removeTornEnd(QFile *target, QString *reason)
{
    const qint64 size = target->size();
    const qint64 window = qMin<qint64>(size, tornWindow);
    const QByteArray end = readAt(*target, size - window, window);
    if (end.size() != window || size == 0)
        return true;
    int torn = 0;
    if (window == size && RecordFormat::isTornHeader(end))
        torn = end.size();
    else if (RecordFormat::kindOf(readAt(*target, 0, 256)) == formatKind
             && !RecordFormat::isOlderLayout(readAt(*target, 0, 256)))
        torn = writer->tornLength(end, window == size);
    if (torn <= 0)
        return true;
    if (!target->resize(size - torn)) {
        *reason = target->errorString();
        return false;
    }
    qWarning() << "SaveSamples: a torn record taken off the end of" << openName << end.right(torn);
    emit tornRecordRemoved(openName, end.right(torn));
    return true;
}

bool SaveSamples::isOpen() const
{
    return file && file->isOpen();
}

bool SaveSamples::isWritingTo(const QString &fileName) const
{
    struct stat opened, named;
    return isOpen() && ::fstat(file->handle(), &opened) == 0
           && ::stat(QFile::encodeName(fileName).constData(), &named) == 0
           && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

void SaveSamples::addSample(const QString &record)
{
    qCDebug(linkTrace) << "? SaveSamples addSample()";
    QByteArray bytes;
    {
        QTextStream stream(&bytes, QIODevice::WriteOnly);
        stream << record << ClassicFormat::recordEnd;
    }
    append(bytes);
}

void SaveSamples::addRecord(const SampleRecord &sample)
{
    qCDebug(linkTrace) << "? SaveSamples addRecord()";
    if (isOpen())
        append(writer->record(sample));
}

void SaveSamples::append(const QByteArray &bytes)
{
    if (!isOpen())
        return;
    // On this host a deleted file stays writable through its open descriptor,
    // and everything written to it would vanish with the last close: once
    // the name no longer names it (gone, or another file or a link put in its
    // place), the recording starts again under the name.
    if (!namesFile(openName, file->handle()) && !reopenDeleted())
        return;
    if (write(bytes) && failing) {
        failing = false;
        emit writeRecovered(openName);
    }
}

bool SaveSamples::write(const QByteArray &bytes)
{
    QString reason;
    if (writeWhole(file, bytes, &reason))
        return true;
    fail(reason);
    return false;
}

// Writes one whole record or none: a record cut short by a full disk is taken
// back, so that the file keeps whole records only and a later recording does
// not carry on a torn line.
bool SaveSamples::writeWhole(QFile *target, const QByteArray &bytes, QString *reason)
{
    const qint64 sizeBefore = target->size();
    qint64 done = 0;
    while (done < bytes.size()) {
        // A short write carries no error of its own; the next one tells why.
        const qint64 written = target->write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            break;
        done += written;
    }
    if (done == bytes.size())
        return true;
    *reason = target->errorString();
    if (done > 0)
        target->resize(sizeBefore);
    return false;
}

bool SaveSamples::reopenDeleted()
{
    const QString deletedName = openName;
    auto *fresh = new QFile(this);
    QString reason = WritableFile::refusal(deletedName);
    if (!reason.isEmpty() || !openAppending(fresh, deletedName, &reason)
        || !startFile(fresh, &reason)) {
        fail(reason);
        delete fresh;
        return false;
    }
    qWarning() << "SaveSamples: the file was deleted while recording; started again" << deletedName;
    file->close();
    delete file;
    file = fresh;
    emit fileRecreated(deletedName);
    return true;
}

void SaveSamples::fail(const QString &reason)
{
    if (failing)
        return;
    failing = true;
    qWarning() << "SaveSamples: records cannot be written to" << openName << reason;
    emit writeFailed(openName, reason);
}

void SaveSamples::close()
{
    qCDebug(linkTrace) << "? SaveSamples close()";
    if (file)
        file->close();
    qCDebug(linkTrace) << "! SaveSamples close()";
}
