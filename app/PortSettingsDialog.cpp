#include "PortSettingsDialog.h"

#include "PortSettingsStore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

PortSettingsDialog::PortSettingsDialog(const QStringList &ports, const QString &currentPort,
                                       PortSettingsStore *store, QWidget *parent)
    : QDialog(parent)
    , store(store)
{
    setWindowTitle(tr("Port settings"));
    auto *form = new QFormLayout;
    auto addBox = [&](QComboBox **box, const QString &label, const char *name) {
        *box = new QComboBox(this);
        (*box)->setObjectName(QLatin1String(name));
        form->addRow(label, *box);
    };
    addBox(&portBox, tr("&Port:"), "portBox");
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    nameEdit->setPlaceholderText(tr("e.g. Packing line 2"));
    nameEdit->setToolTip(tr("Shown in the window title, written in CSV records and in export titles"));
    form->addRow(tr("Scale &name:"), nameEdit);
    addBox(&typeBox, tr("Scale &type:"), "typeBox");
    addBox(&baudBox, tr("&Baud rate:"), "baudBox");
    addBox(&dataBitsBox, tr("&Data bits:"), "dataBitsBox");
    addBox(&parityBox, tr("P&arity:"), "parityBox");
    addBox(&stopBitsBox, tr("&Stop bits:"), "stopBitsBox");
    addBox(&flowBox, tr("&Flow control:"), "flowBox");

    portBox->addItems(ports);
    for (ScaleProtocol::Type type : ScaleProtocol::types())
        typeBox->addItem(typeName(type), type);
    for (qint32 baud : PortSettingsStore::baudRates())
        baudBox->addItem(QString::number(baud), baud);
    dataBitsBox->addItem(QStringLiteral("7"), QSerialPort::Data7);
    dataBitsBox->addItem(QStringLiteral("8"), QSerialPort::Data8);
    parityBox->addItem(tr("None"), QSerialPort::NoParity);
    parityBox->addItem(tr("Even"), QSerialPort::EvenParity);
    parityBox->addItem(tr("Odd"), QSerialPort::OddParity);
    stopBitsBox->addItem(QStringLiteral("1"), QSerialPort::OneStop);
    stopBitsBox->addItem(QStringLiteral("2"), QSerialPort::TwoStop);
    flowBox->addItem(tr("None"), QSerialPort::NoFlowControl);
    flowBox->addItem(tr("XON/XOFF"), QSerialPort::SoftwareControl);
    flowBox->addItem(tr("RTS/CTS"), QSerialPort::HardwareControl);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *defaults = buttons->addButton(tr("Defaults for this type"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("defaultsButton"));
    connect(defaults, &QPushButton::clicked, this, &PortSettingsDialog::showDefaults);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PortSettingsDialog::reject);
    connect(portBox, &QComboBox::currentTextChanged, this, &PortSettingsDialog::showSetupOf);

    // Says which stored values were left out, while the port is shown.
    ignoredLabel = new QLabel(this);
    ignoredLabel->setObjectName(QStringLiteral("ignoredLabel"));
    ignoredLabel->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ignoredLabel);
    layout->addWidget(buttons);

    portBox->setCurrentIndex(qMax(0, ports.indexOf(currentPort)));
    showSetupOf(portBox->currentText());
}

QString PortSettingsDialog::typeName(ScaleProtocol::Type type)
{
    return ScaleProtocol::name(type);
}

QString PortSettingsDialog::scaleName() const
{
    return nameEdit->text().simplified();
}

QString PortSettingsDialog::port() const
{
    return portBox->currentText();
}

ScaleSetup PortSettingsDialog::setup() const
{
    ScaleSetup setup;
    setup.type = ScaleProtocol::Type(typeBox->currentData().toInt());
    setup.line.baudRate = baudBox->currentData().toInt();
    setup.line.dataBits = QSerialPort::DataBits(dataBitsBox->currentData().toInt());
    setup.line.parity = QSerialPort::Parity(parityBox->currentData().toInt());
    setup.line.stopBits = QSerialPort::StopBits(stopBitsBox->currentData().toInt());
    setup.line.flowControl = QSerialPort::FlowControl(flowBox->currentData().toInt());
    return setup;
}

void PortSettingsDialog::accept()
{
    const bool setupKept = port().isEmpty() || store->setSetup(port(), setup());
    const bool nameKept = port().isEmpty() || store->setScaleName(port(), scaleName());
    if (!setupKept || !nameKept)
        QMessageBox::warning(this, windowTitle(),
                             tr("The port settings cannot be saved in %1. They are used until the program "
                                "ends and are lost then.")
                                 .arg(PortSettingsStore::fileName()));
    QDialog::accept();
}

void PortSettingsDialog::showSetupOf(const QString &port)
{
    QStringList ignored;
    showSetup(store->setup(port, &ignored));
    nameEdit->setText(store->scaleName(port));
    ignoredLabel->setText(tr("Not used from %1: %2. The usual settings of this kind of scale are shown "
                             "instead; OK keeps what is shown.")
                              .arg(PortSettingsStore::fileName(), ignored.join(QStringLiteral(", "))));
    ignoredLabel->setVisible(!ignored.isEmpty());
}

void PortSettingsDialog::showDefaults()
{
    ScaleSetup setup;
    setup.type = ScaleProtocol::Type(typeBox->currentData().toInt());
    setup.line = ScaleProtocol::usualSettings(setup.type);
    showSetup(setup);
}

void PortSettingsDialog::showSetup(const ScaleSetup &setup)
{
    choose(typeBox, setup.type);
    choose(baudBox, setup.line.baudRate);
    choose(dataBitsBox, setup.line.dataBits);
    choose(parityBox, setup.line.parity);
    choose(stopBitsBox, setup.line.stopBits);
    choose(flowBox, setup.line.flowControl);
}

void PortSettingsDialog::choose(QComboBox *box, int value)
{
    const int index = box->findData(value);
    if (index >= 0)
        box->setCurrentIndex(index);
}
