#include "PortSettingsStore.h"

#include <QSettings>
#include <QUrl>

#include <memory>

namespace {

// One group per port; its name is kept whole, slashes and all.
QString groupOf(const QString &port)
{
    return QStringLiteral("ports/") + QString::fromLatin1(QUrl::toPercentEncoding(port));
}

std::unique_ptr<QSettings> storedSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("scaleacq"), QStringLiteral("ports"));
}

} // namespace

ScaleSetup PortSettingsStore::setup(const QString &port) const
{
    if (temporary.contains(port))
        return temporary.value(port);
    const std::unique_ptr<QSettings> stored = storedSettings();
    stored->beginGroup(groupOf(port));
    ScaleSetup setup;
    setup.type = ScaleProtocol::fromKey(stored->value(QStringLiteral("type")).toString());
    PortSettings &line = setup.line;
    line.baudRate = stored->value(QStringLiteral("baudRate"), line.baudRate).toInt();
    line.dataBits = QSerialPort::DataBits(stored->value(QStringLiteral("dataBits"), line.dataBits).toInt());
    line.parity = QSerialPort::Parity(stored->value(QStringLiteral("parity"), line.parity).toInt());
    line.stopBits = QSerialPort::StopBits(stored->value(QStringLiteral("stopBits"), line.stopBits).toInt());
    line.flowControl =
        QSerialPort::FlowControl(stored->value(QStringLiteral("flowControl"), line.flowControl).toInt());
    return setup;
}

void PortSettingsStore::setSetup(const QString &port, const ScaleSetup &setup)
{
    temporary.remove(port);
    const std::unique_ptr<QSettings> stored = storedSettings();
    stored->beginGroup(groupOf(port));
    stored->setValue(QStringLiteral("type"), ScaleProtocol::key(setup.type));
    stored->setValue(QStringLiteral("baudRate"), setup.line.baudRate);
    stored->setValue(QStringLiteral("dataBits"), int(setup.line.dataBits));
    stored->setValue(QStringLiteral("parity"), int(setup.line.parity));
    stored->setValue(QStringLiteral("stopBits"), int(setup.line.stopBits));
    stored->setValue(QStringLiteral("flowControl"), int(setup.line.flowControl));
}

void PortSettingsStore::setTemporary(const QString &port, const ScaleSetup &setup)
{
    temporary.insert(port, setup);
}
