#include "SaveSamples.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>

const char SaveSamples::recordEnd[] = "\r\n\r";

SaveSamples::SaveSamples(QObject *parent)
    : QObject(parent)
    , file(nullptr)
{
    qDebug() << "C? SaveSamples";
    qDebug() << "C! SaveSamples";
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
    qDebug() << "? SaveSamples open()";
    delete file;
    file = new QFile(fileName, this);
    // Binary append: the record end is written byte for byte, not left to a
    // text-mode translation that this host does not do.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
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
    qDebug() << "? SaveSamples addSample()";
    if (!isOpen())
        return;
    QTextStream stream(file);
    stream << record << recordEnd;
    // One flush per record: a record handed over is in the file when the
    // call returns.
    stream.flush();
    file->flush();
}

void SaveSamples::close()
{
    qDebug() << "? SaveSamples close()";
    if (file)
        file->close();
    qDebug() << "! SaveSamples close()";
}
