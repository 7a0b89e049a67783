#include "ScaleSimulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

ScaleSimulator::ScaleSimulator(QObject *parent)
    : QObject(parent)
{
    clock.start();
}

ScaleSimulator::~ScaleSimulator()
{
    closeTerminal();
    if (!link.isEmpty())
        QFile::remove(link);
}

QString ScaleSimulator::publishDirectory()
{
    return QDir::tempPath() + QStringLiteral("/scalesim");
}

bool ScaleSimulator::start(const QString &linkPath)
{
    if (!openTerminal())
        return false;
    if (!linkPath.isEmpty()) {
        link = linkPath;
        return publish();
    }
    QDir().mkpath(publishDirectory());
    // The first free ttySIM<n>. The link is made atomically, so simulators
    // started together never share a name; a link whose terminal is gone was
    // left by a simulator that ended without cleaning up, and is free again.
    for (int n = 0; n < 1000; ++n) {
        const QString candidate = publishDirectory() + QStringLiteral("/ttySIM%1").arg(n);
        const QFileInfo info(candidate);
        if (info.isSymLink() && !info.exists())
            QFile::remove(candidate);
        if (::symlink(slaveName.toLocal8Bit().constData(), candidate.toLocal8Bit().constData()) == 0) {
            link = candidate;
            return true;
        }
    }
    closeTerminal();
    return false;
}

bool ScaleSimulator::publish()
{
    QFile::remove(link);
    return QFile::link(slaveName, link);
}

bool ScaleSimulator::openTerminal()
{
    masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (masterFd < 0)
        return false;
    if (grantpt(masterFd) != 0 || unlockpt(masterFd) != 0) {
        closeTerminal();
        return false;
    }
    slaveName = QString::fromLocal8Bit(ptsname(masterFd));

    // Holding the far end open keeps the terminal alive while the program has
    // its port closed, as a real line stays wired during a port reset; raw
    // mode keeps the terminal from echoing requests or mangling line ends.
    slaveFd = ::open(slaveName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (slaveFd < 0) {
        closeTerminal();
        return false;
    }
    termios mode;
    tcgetattr(slaveFd, &mode);
    cfmakeraw(&mode);
    cfsetispeed(&mode, B9600);
    cfsetospeed(&mode, B9600);
    tcsetattr(slaveFd, TCSANOW, &mode);

    notifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &ScaleSimulator::readRequests);
    ++generation;
    return true;
}

void ScaleSimulator::closeTerminal()
{
    delete notifier;
    notifier = nullptr;
    if (slaveFd >= 0)
        ::close(slaveFd);
    if (masterFd >= 0)
        ::close(masterFd);
    slaveFd = masterFd = -1;
    ++generation; // replies still on their way belong to the old terminal
}

void ScaleSimulator::vanish()
{
    closeTerminal();
    QFile::remove(link);
}

bool ScaleSimulator::comeBack()
{
    if (isPresent())
        return true;
    if (openTerminal() && publish())
        return true;
    closeTerminal();
    return false;
}

void ScaleSimulator::queueValueReplies(const QList<QByteArray> &replies)
{
    for (const QByteArray &reply : replies)
        scripted.enqueue(reply);
}

void ScaleSimulator::send(const QByteArray &bytes)
{
    writeNow(bytes);
}

QByteArray ScaleSimulator::valueFrame(double value)
{
    return QByteArray::number(value, 'f', 3).rightJustified(8, ' ') + "\r\n";
}

void ScaleSimulator::readRequests()
{
    char buffer[64];
    const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
    if (count <= 0)
        return;
    for (ssize_t i = 0; i < count; ++i) {
        requests.append(buffer[i]);
        emit requestReceived(buffer[i], clock.elapsed());
        answer(buffer[i]);
    }
}

void ScaleSimulator::answer(char request)
{
    if (silentMode)
        return;
    if (request == 'Z') {
        writeReply(garbageMode ? QByteArray("#?") : unitReply);
    } else if (request == 'A') {
        if (!scripted.isEmpty()) {
            writeReply(scripted.dequeue());
        } else if (garbageMode) {
            QByteArray noise(10, '\0');
            for (char &byte : noise)
                byte = char(QRandomGenerator::global()->bounded(33, 127));
            noise[0] = 'x'; // never a number
            writeReply(noise);
        } else {
            writeReply(valueFrame(weight));
            // A weight that wanders a little, as on a real platform.
            weight += (QRandomGenerator::global()->bounded(21) - 10) / 1000.0;
        }
    }
}

void ScaleSimulator::writeReply(const QByteArray &reply)
{
    const quint32 sentTo = generation;
    auto writeLater = [this, sentTo](const QByteArray &bytes, int delay) {
        QTimer::singleShot(delay, this, [this, sentTo, bytes] {
            if (sentTo == generation)
                writeNow(bytes);
        });
    };
    if (splitBytes > 0 && splitBytes < reply.size()) {
        writeLater(reply.left(splitBytes), replyDelay);
        writeLater(reply.mid(splitBytes), replyDelay + splitGap);
    } else if (replyDelay > 0) {
        writeLater(reply, replyDelay);
    } else {
        writeNow(reply);
    }
}

void ScaleSimulator::writeNow(const QByteArray &bytes)
{
    if (masterFd < 0 || bytes.isEmpty())
        return;
    if (::write(masterFd, bytes.constData(), size_t(bytes.size())) == bytes.size())
        emit replySent(bytes);
}
