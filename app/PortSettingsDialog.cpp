#include "PortSettingsDialog.h"

#include "DeviceTask.h"

#include "PortSettingsStore.h"
#include "ScaleFinder.h"
#include "SerialPort.h"

#include "AsciiProtocol.h"
#include "IODeviceNew.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QProgressBar>
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

    printKeyBox = new QCheckBox(tr("Sends only on its print &key"), this);
    printKeyBox->setObjectName(QStringLiteral("printKeyBox"));
    printKeyBox->setToolTip(tr("The scale sends one line when its PRINT key is pressed: a quiet line is "
                               "no fault, and each line is a reading at once."));
    form->addRow(QString(), printKeyBox);
    unitEdit = new QLineEdit(this);
    unitEdit->setObjectName(QStringLiteral("unitEdit"));
    unitEdit->setPlaceholderText(tr("e.g. kg"));
    unitEdit->setToolTip(tr("For a scale whose replies name no unit: its readings are shown and recorded "
                            "in this one."));
    unitLabel = new QLabel(tr("Unit the scale &leaves out:"), this);
    unitLabel->setBuddy(unitEdit);
    form->addRow(unitLabel, unitEdit);
    connect(unitEdit, &QLineEdit::textChanged, this, &PortSettingsDialog::showPreview);

    asciiGroup = new QGroupBox(tr("Other ASCII scale"), this);
    asciiGroup->setObjectName(QStringLiteral("asciiGroup"));
    auto *asciiForm = new QFormLayout(asciiGroup);
    auto addEdit = [&](QLineEdit **edit, const QString &label, const char *name) {
        *edit = new QLineEdit(asciiGroup);
        (*edit)->setObjectName(QLatin1String(name));
        asciiForm->addRow(label, *edit);
        connect(*edit, &QLineEdit::textChanged, this, &PortSettingsDialog::showKindFields);
    };
    addEdit(&requestEdit, tr("&Request:"), "requestEdit");
    requestEdit->setPlaceholderText(tr("nothing: the scale sends unasked"));
    requestEdit->setToolTip(tr("Sent for each reading; \\r, \\n, \\t and \\x1b stand for CR, LF, TAB and ESC."));
    addEdit(&tareEdit, tr("Tare co&mmand:"), "tareCommandEdit");
    addEdit(&zeroEdit, tr("&Zero command:"), "zeroCommandEdit");
    for (QLineEdit *edit : {tareEdit, zeroEdit}) {
        edit->setPlaceholderText(tr("none"));
        edit->setToolTip(tr("Sent between two readings when Tare or Zero is chosen, typed as the request is; "
                            "what the scale answers to it is not read."));
    }
    lineEndBox = new QComboBox(asciiGroup);
    lineEndBox->setObjectName(QStringLiteral("lineEndBox"));
    lineEndBox->addItem(QStringLiteral("CR"), AsciiSetup::Cr);
    lineEndBox->addItem(QStringLiteral("LF"), AsciiSetup::Lf);
    lineEndBox->addItem(QStringLiteral("CR LF"), AsciiSetup::CrLf);
    lineEndBox->addItem(tr("Quiet time"), AsciiSetup::Quiet);
    lineEndBox->addItem(QStringLiteral("ETX"), AsciiSetup::Etx);
    lineEndBox->addItem(tr("Other byte"), AsciiSetup::OtherByte);
    quietBox = new QSpinBox(asciiGroup);
    quietBox->setObjectName(QStringLiteral("quietBox"));
    quietBox->setRange(AsciiProtocol::shortestQuiet, AsciiProtocol::longestQuiet);
    quietBox->setSuffix(QStringLiteral(" ms"));
    auto *endRow = new QHBoxLayout;
    endRow->addWidget(lineEndBox, 1);
    endRow->addWidget(quietBox);
    endByteEdit = new QLineEdit(asciiGroup);
    endByteEdit->setObjectName(QStringLiteral("endByteEdit"));
    endByteEdit->setMaxLength(4); // \xHH
    endByteEdit->setMaximumWidth(endByteEdit->fontMetrics().averageCharWidth() * 12);
    endByteEdit->setPlaceholderText(tr("e.g. \\x04"));
    endByteEdit->setToolTip(tr("With Other byte: the byte that ends a reply, typed as the request is: a "
                               "character such as #, or \\xHH for any byte."));
    connect(endByteEdit, &QLineEdit::textChanged, this, &PortSettingsDialog::showKindFields);
    endRow->addWidget(endByteEdit);
    auto *endLabel = new QLabel(tr("Reply &ends with:"), asciiGroup);
    endLabel->setBuddy(lineEndBox);
    asciiForm->addRow(endLabel, endRow);
    addEdit(&patternEdit, tr("&Weight found by:"), "patternEdit");
    patternEdit->setPlaceholderText(tr("the one number standing alone with a unit after it"));
    patternEdit->setToolTip(tr("A regular expression with the named parts (?<value>...) and optionally "
                               "(?<unit>...) and (?<stable>...)."));
    addEdit(&unstableEdit, tr("&Unstable when it holds:"), "unstableEdit");
    addEdit(&overloadEdit, tr("&Overload when it holds:"), "overloadEdit");
    addEdit(&noWeightEdit, tr("No wei&ght when it holds:"), "noWeightEdit");
    noWeightEdit->setPlaceholderText(tr("e.g. Err or ----"));
    noWeightEdit->setToolTip(tr("A line that holds this text carries no weight: it is told at once, "
                                "and the scale asked again."));
    decimalsBox = new QSpinBox(asciiGroup);
    decimalsBox->setObjectName(QStringLiteral("decimalsBox"));
    decimalsBox->setRange(0, AsciiProtocol::mostDecimals);
    decimalsBox->setSpecialValueText(tr("as sent"));
    decimalsBox->setToolTip(tr("For a scale that sends its digits without a point: how many of them "
                               "follow the point it leaves out (01250 with 3 places is 1.250)."));
    asciiForm->addRow(tr("De&cimal places:"), decimalsBox);
    connect(decimalsBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &PortSettingsDialog::showPreview);
    quietWhileSteadyBox = new QCheckBox(tr("Keeps &quiet while the weight does not change"), asciiGroup);
    quietWhileSteadyBox->setObjectName(QStringLiteral("quietWhileSteadyBox"));
    quietWhileSteadyBox->setToolTip(tr("The scale sends a line only when its weight changes: a quiet line "
                                       "is no fault, and the last reading holds."));
    asciiForm->addRow(QString(), quietWhileSteadyBox);
    lastLineLabel = new QLabel(asciiGroup);
    lastLineLabel->setObjectName(QStringLiteral("lastLineLabel"));
    lastLineLabel->setTextFormat(Qt::PlainText); // it quotes what the scale sent
    readsLabel = new QLabel(asciiGroup);
    readsLabel->setObjectName(QStringLiteral("readsLabel"));
    readsLabel->setTextFormat(Qt::PlainText);
    // A long line is cut, never widening the dialog.
    for (QLabel *label : {lastLineLabel, readsLabel}) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setWordWrap(true);
    }
    asciiForm->addRow(lastLineLabel);
    asciiForm->addRow(readsLabel);
    connect(typeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PortSettingsDialog::showKindFields);
    connect(lineEndBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PortSettingsDialog::showKindFields);

    // Says which stored values were left out, while the port is shown.
    ignoredLabel = new QLabel(this);
    ignoredLabel->setObjectName(QStringLiteral("ignoredLabel"));
    ignoredLabel->setWordWrap(true);
    ignoredLabel->setTextFormat(Qt::PlainText); // quotes the file's entries

    previewTimer.setSingleShot(true);
    previewTimer.setInterval(100);
    connect(&previewTimer, &QTimer::timeout, this, &PortSettingsDialog::showPreview);

    finder = new ScaleFinder(this);
    findButton = new QPushButton(tr("Find the scale"), this);
    findButton->setObjectName(QStringLiteral("findButton"));
    findProgress = new QProgressBar(this);
    findProgress->setObjectName(QStringLiteral("findProgress"));
    findProgress->hide();
    findLabel = new QLabel(this);
    findLabel->setObjectName(QStringLiteral("findLabel"));
    findLabel->setWordWrap(true);
    findLabel->setTextFormat(Qt::PlainText); // names ports as typed
    heldWhileSearching = {portBox, typeBox, baudBox, dataBitsBox, parityBox, stopBitsBox, flowBox, defaults,
                          buttons->button(QDialogButtonBox::Ok)};
    connect(findButton, &QPushButton::clicked, this, &PortSettingsDialog::findScale);
    connect(finder, &ScaleFinder::trying, this, [this](int number, int count) {
        findProgress->setRange(0, count);
        findProgress->setValue(number - 1);
        findLabel->setText(tr("Trying %1 (%2 of %3)...").arg(setupName(finder->current())).arg(number).arg(count));
    });
    connect(finder, &ScaleFinder::found, this, [this] {
        showSetup(finder->current());
        endSearch(tr("Found: %1. OK keeps these settings.").arg(setupName(finder->current())));
    });
    connect(finder, &ScaleFinder::notFound, this, [this] {
        endSearch(tr("No scale answered on %1 at any setting tried.").arg(port()));
    });
    // Never taken silently: the setup is shown with what it reads from the
    // lines that came, and only OK keeps it.
    connect(finder, &ScaleFinder::asciiProposed, this, [this] {
        showSetup(finder->current());
        takeReceived(port(), finder->proposedFrom());
        showPreview();
        endSearch(tr("No known kind answered, but the scale sends text lines at %1 that read as an other "
                     "ASCII scale. Check what the preview reads from them; OK keeps these settings.")
                      .arg(finder->current().line.name()));
    });
    connect(finder, &ScaleFinder::cannotOpen, this, [this](const QString &reason) {
        endSearch(tr("The port cannot be opened: %1").arg(reason));
    });
    connect(this, &QDialog::finished, finder, &ScaleFinder::cancel);
    auto *search = new QHBoxLayout;
    search->addWidget(findButton);
    search->addWidget(findProgress, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(asciiGroup);
    layout->addWidget(ignoredLabel);
    layout->addLayout(search);
    layout->addWidget(findLabel);
    layout->addWidget(buttons);

    portBox->setCurrentIndex(qMax(0, ports.indexOf(currentPort)));
    showSetupOf(portBox->currentText());
}

QString PortSettingsDialog::typeName(ScaleProtocol::Type type)
{
    return ScaleProtocol::name(type);
}

QString PortSettingsDialog::setupName(const ScaleSetup &setup)
{
    return tr("%1 at %2").arg(typeName(setup.type), setup.line.name());
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
    if (setup.type == ScaleProtocol::Ascii) {
        setup.ascii.request = requestEdit->text();
        setup.ascii.tareCommand = tareEdit->text();
        setup.ascii.zeroCommand = zeroEdit->text();
        setup.ascii.lineEnd = AsciiSetup::LineEnd(lineEndBox->currentData().toInt());
        setup.ascii.quietMs = quietBox->value();
        setup.ascii.pattern = patternEdit->text();
        setup.ascii.unstableText = unstableEdit->text();
        setup.ascii.overloadText = overloadEdit->text();
        setup.ascii.endByte = endByteEdit->text();
        setup.ascii.noWeightText = noWeightEdit->text();
        setup.ascii.decimals = decimalsBox->value();
        setup.ascii.quietWhileSteady = quietWhileSteadyBox->isVisibleTo(this) && quietWhileSteadyBox->isChecked();
    }
    if (setup.type == ScaleProtocol::Ascii || setup.type == ScaleProtocol::RetailW)
        setup.unit = unitEdit->text().trimmed();
    setup.printKey = printKeyBox->isVisibleTo(this) && printKeyBox->isChecked();
    return setup;
}

QString PortSettingsDialog::unusableFields() const
{
    const ScaleSetup shown = setup();
    bool requestOk = true;
    AsciiProtocol::decoded(shown.ascii.request, &requestOk);
    const bool ascii = shown.type == ScaleProtocol::Ascii;
    if (ascii && !requestOk)
        return tr("The request holds a character or an escape that cannot be sent: use printable "
                  "characters and \\r, \\n, \\t, \\xHH or \\\\.");
    bool commandsOk = true;
    for (const QString &typed : {shown.ascii.tareCommand, shown.ascii.zeroCommand}) {
        bool ok = true;
        AsciiProtocol::decoded(typed, &ok);
        commandsOk = commandsOk && ok;
    }
    if (ascii && !commandsOk)
        return tr("The tare or zero command holds a character or an escape that cannot be sent: use "
                  "printable characters and \\r, \\n, \\t, \\xHH or \\\\.");
    if (ascii && !shown.ascii.pattern.isEmpty() && !AsciiProtocol::isUsablePattern(shown.ascii.pattern))
        return tr("The regular expression cannot be used: it must be valid and have a part "
                  "named value, as in (?<value>[0-9.]+).");
    if (ascii && shown.ascii.lineEnd == AsciiSetup::OtherByte && !AsciiProtocol::isUsableEndByte(shown.ascii.endByte))
        return tr("The byte that ends a reply must be one byte, typed as a character such as # or as "
                  "\\xHH, and not a digit.");
    if (!shown.unit.isEmpty() && !AsciiProtocol::isUnitWord(shown.unit))
        return tr("The unit the scale leaves out must be a short word, such as kg or lb.");
    return QString();
}

void PortSettingsDialog::accept()
{
    const QString unusable = unusableFields();
    if (!unusable.isEmpty()) {
        warn(unusable);
        return;
    }
    const bool setupKept = port().isEmpty() || store->setSetup(port(), setup());
    const bool nameKept = port().isEmpty() || store->setScaleName(port(), scaleName());
    if (!setupKept || !nameKept)
        warn(tr("The port settings cannot be saved in %1. They are used until the program "
                "ends and are lost then.")
                 .arg(PortSettingsStore::fileName()));
    QDialog::accept();
}

void PortSettingsDialog::warn(const QString &text)
{
    // File names and typed texts as they are, never as markup.
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void PortSettingsDialog::showSetupOf(const QString &port)
{
    received.clear();
    lastLine.clear();
    QStringList ignored;
    showSetup(store->setup(port, &ignored));
    // A network port's line is the converter's, set on the converter.
    const bool network = SerialPort::isNetworkName(port);
    for (QComboBox *box : {baudBox, dataBitsBox, parityBox, stopBitsBox, flowBox}) {
        box->setEnabled(!network);
        box->setToolTip(network ? tr("A network port's line settings are made on its serial-to-Ethernet "
                                     "converter.")
                                : QString());
    }
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
    printKeyBox->setChecked(setup.printKey);
    requestEdit->setText(setup.ascii.request);
    tareEdit->setText(setup.ascii.tareCommand);
    zeroEdit->setText(setup.ascii.zeroCommand);
    choose(lineEndBox, setup.ascii.lineEnd);
    quietBox->setValue(setup.ascii.quietMs);
    patternEdit->setText(setup.ascii.pattern);
    unstableEdit->setText(setup.ascii.unstableText);
    overloadEdit->setText(setup.ascii.overloadText);
    endByteEdit->setText(setup.ascii.endByte);
    noWeightEdit->setText(setup.ascii.noWeightText);
    decimalsBox->setValue(setup.ascii.decimals);
    quietWhileSteadyBox->setChecked(setup.ascii.quietWhileSteady);
    unitEdit->setText(setup.unit);
    showKindFields();
}

void PortSettingsDialog::showKindFields()
{
    const auto type = ScaleProtocol::Type(typeBox->currentData().toInt());
    const bool ascii = type == ScaleProtocol::Ascii;
    asciiGroup->setVisible(ascii);
    const bool unasked = ascii && requestEdit->text().isEmpty();
    printKeyBox->setVisible(type == ScaleProtocol::Continuous || unasked);
    quietWhileSteadyBox->setVisible(unasked);
    // Replies that name no unit.
    unitLabel->setVisible(ascii || type == ScaleProtocol::RetailW);
    unitEdit->setVisible(ascii || type == ScaleProtocol::RetailW);
    quietBox->setEnabled(lineEndBox->currentData().toInt() == AsciiSetup::Quiet);
    endByteEdit->setEnabled(lineEndBox->currentData().toInt() == AsciiSetup::OtherByte);
    showPreview();
    // Once the layout has taken the fields in.
    QTimer::singleShot(0, this, &PortSettingsDialog::keepOnScreen);
}

void PortSettingsDialog::keepOnScreen()
{
    // Grown by the fields of a kind, the dialog is moved up to keep OK on
    // the screen.
    if (!isVisible())
        return;
    const QRect room = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    int up = qMax(0, frame.bottom() - room.bottom());
    up = qMin(up, frame.top() - room.top());
    if (up > 0)
        move(pos() - QPoint(0, up));
}

PortSettingsDialog::~PortSettingsDialog()
{
    for (DeviceTask *task : qAsConst(watched))
        if (task)
            task->watchLine(false);
}

void PortSettingsDialog::setOpenTasks(const QList<DeviceTask *> &tasks)
{
    for (DeviceTask *task : tasks) {
        portsInUse << task->port();
        watched << task;
        task->watchLine(true);
        connect(task, &DeviceTask::lineTraffic, this,
                [this, port = task->port()](int direction, const QByteArray &bytes) {
                    if (direction == IODeviceNew::Received)
                        takeReceived(port, bytes);
                });
    }
}

void PortSettingsDialog::takeReceived(const QString &port, const QByteArray &bytes)
{
    if (port != this->port())
        return;
    // The newest whole line; with replies ended by a quiet time, the newest
    // bytes as they came. Of a flood, no more than a line or two is kept,
    // and the preview is written at most every tenth of a second.
    const int kept = 2 * AsciiProtocol::longestLine;
    received = (received + bytes.right(kept)).right(kept);
    if (!previewTimer.isActive())
        previewTimer.start();
    const QByteArray end = AsciiProtocol(setup().ascii).terminator();
    if (end.isEmpty()) {
        lastLine = bytes.right(AsciiProtocol::longestLine);
    } else {
        // Lines end at CR or LF, or at the one byte set.
        QByteArray whole = received.left(qMax(received.lastIndexOf(end.right(1)), received.lastIndexOf('\n')));
        whole.replace('\n', '\r');
        whole.replace(end.right(1), "\r");
        const QList<QByteArray> lines = whole.split('\r');
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            if (!line->isEmpty()) {
                lastLine = *line;
                break;
            }
        }
    }
}

void PortSettingsDialog::showPreview()
{
    if (lastLine.isEmpty()) {
        lastLineLabel->setText(tr("Nothing received yet: the last line comes here while the port is open "
                                  "in a window."));
        readsLabel->clear();
        return;
    }
    showQuoting(lastLineLabel, tr("Last line received: %1").arg(IODeviceNew::shownReply(lastLine)));
    ScaleProtocol::Reading reading;
    const ScaleSetup shown = setup();
    const AsciiProtocol protocol(shown.ascii, shown.unit);
    QString why;
    if (!patternEdit->text().isEmpty() && !AsciiProtocol::isUsablePattern(patternEdit->text())) {
        showQuoting(readsLabel, tr("Reads nothing: the regular expression is not usable."));
    } else if (protocol.parseLine(lastLine.trimmed(), &reading, &why) == ScaleProtocol::Accepted) {
        showQuoting(readsLabel, (reading.stable ? tr("Reads %1 %2, stable.") : tr("Reads %1 %2, not stable."))
                                    .arg(reading.value, reading.units));
    } else if (reading.condition == ScaleProtocol::Overload) {
        showQuoting(readsLabel, tr("Reads an overload."));
    } else if (reading.condition == ScaleProtocol::NoWeight) {
        showQuoting(readsLabel, tr("Reads no weight: the line holds the no-weight text."));
    } else {
        showQuoting(readsLabel, tr("Reads no weight: %1.").arg(why));
    }
}

void PortSettingsDialog::showQuoting(QLabel *label, const QString &text)
{
    const QFontMetrics metrics = label->fontMetrics();
    const QString shown = metrics.elidedText(text, Qt::ElideMiddle, metrics.averageCharWidth() * 64);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : DeviceTask::plainTip(text));
}

void PortSettingsDialog::choose(QComboBox *box, int value)
{
    const int index = box->findData(value);
    if (index >= 0)
        box->setCurrentIndex(index);
}

void PortSettingsDialog::findScale()
{
    if (finder->isRunning()) {
        finder->cancel();
        endSearch(tr("Search stopped."));
        return;
    }
    if (port().isEmpty())
        return;
    // Never two links on one port.
    if (portsInUse.contains(port())) {
        findLabel->setText(tr("%1 is open in a window. Close that window to search on its port: a port is "
                              "read by one link at a time.")
                               .arg(port()));
        return;
    }
    for (QWidget *held : qAsConst(heldWhileSearching))
        held->setEnabled(false);
    findButton->setText(tr("Stop searching"));
    findProgress->show();
    finder->find(port());
}

void PortSettingsDialog::endSearch(const QString &outcome)
{
    for (QWidget *held : qAsConst(heldWhileSearching))
        held->setEnabled(true);
    findButton->setText(tr("Find the scale"));
    findProgress->hide();
    findLabel->setText(outcome);
}
