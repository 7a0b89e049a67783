#include "SystemPortEnumerator.h"

#include "ScaleSimulator.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

SystemPortEnumerator::SystemPortEnumerator(const QString &simulatorDirectory)
    : simulatorDirectory(simulatorDirectory)
{
}

QString SystemPortEnumerator::defaultSimulatorDirectory()
{
    return QDir::tempPath() + QStringLiteral("/scalesim");
}

QStringList SystemPortEnumerator::ports() const
{
    // On Windows the toolkit reads the same "PortName" values of the Ports
    // device class that SetupAPI gives, so no code of our own talks to it.
    QStringList names;
    const QList<QSerialPortInfo> present = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : present)
        names.append(info.portName());
#ifdef Q_OS_UNIX
    names.append(simulatorPorts());
#endif
    return names;
}

// The toolkit never lists pseudo-terminals, so the simulator publishes each of
// its ports as a link ttySIM<n> to the terminal it opened. A link outlives a
// simulator that was killed, and its terminal's number may go to another
// scale: only a link whose terminal exists and whose owner runs is a port.
QStringList SystemPortEnumerator::simulatorPorts() const
{
    static const QRegularExpression linkName(QStringLiteral("^ttySIM(\\d+)$"));
    QList<QPair<int, QString>> found;
    QDir dir(simulatorDirectory);
    const QStringList entries = dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        const QRegularExpressionMatch match = linkName.match(entry);
        if (!match.hasMatch())
            continue;
        const QString path = dir.absoluteFilePath(entry);
        if (QFileInfo::exists(path) && ScaleSimulator::hasLiveOwner(path))
            found.append(qMakePair(match.captured(1).toInt(), path));
    }
    // By number, so that ttySIM10 follows ttySIM9 as the simulator counts.
    std::sort(found.begin(), found.end());
    QStringList paths;
    for (const auto &port : qAsConst(found))
        paths.append(port.second);
    return paths;
}
