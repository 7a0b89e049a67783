#include "SaveSamples.h"

#include "LinkTrace.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {
// Unbuffered: a record either reaches the file in the call that hands it over
// or is reported there; a buffered one could fail later, at a flush nobody
// watches, or slip into the file long after it was reported lost. Binary
// append: the record end is written byte for byte, not left to a text-mode
// translation that this host does not do.
const QIODevice::OpenMode appendMode = QIODevice::WriteOnly | QIODevice::Append
                                       | QIODevice::Unbuffered;
}

const char SaveSamples::recordEnd[] = "\r\n\r";

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
    file = new QFile(fileName, this);
    failing = false; // a new recording is told about its own first failure
    if (!file->open(appendMode)) {
        qWarning() << "Could not open the file" << fileName << file->errorString();
        return false;
    }
    return true;
}

bool SaveSamples::isOpen() const
{
    return file && file->isOpen();
}

void SaveSamples::addSample(const QString &record)
{
    qCDebug(linkTrace) << "? SaveSamples addSample()";
    if (!isOpen())
        return;
    // On this host a deleted file stays writable through its open descriptor,
    // and everything written to it would vanish with the last close.
    if (!QFileInfo::exists(file->fileName()) && !reopenDeleted())
        return;

    QByteArray bytes;
    {
        QTextStream stream(&bytes, QIODevice::WriteOnly);
        stream << record << recordEnd;
    }
    if (write(bytes) && failing) {
        failing = false;
        emit writeRecovered(file->fileName());
    }
}

// Writes one whole record or none: a record cut short by a full disk is taken
// back, so that the file keeps whole records only and a later recording does
// not carry on a torn line.
bool SaveSamples::write(const QByteArray &bytes)
{
    const qint64 sizeBefore = file->size();
    qint64 done = 0;
    while (done < bytes.size()) {
        // A short write carries no error of its own; the next one tells why.
        const qint64 written = file->write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            break;
        done += written;
    }
    if (done == bytes.size())
        return true;
    const QString reason = file->errorString();
    if (done > 0)
        file->resize(sizeBefore);
    fail(reason);
    return false;
}

bool SaveSamples::reopenDeleted()
{
    const QString deletedName = file->fileName();
    auto *fresh = new QFile(deletedName, this);
    if (!fresh->open(appendMode)) {
        fail(fresh->errorString());
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
    qWarning() << "SaveSamples: records cannot be written to" << file->fileName() << reason;
    emit writeFailed(file->fileName(), reason);
}

void SaveSamples::close()
{
    qCDebug(linkTrace) << "? SaveSamples close()";
    if (file)
        file->close();
    qCDebug(linkTrace) << "! SaveSamples close()";
}
