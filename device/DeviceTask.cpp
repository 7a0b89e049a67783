#include "DeviceTask.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>

#include <qwt_scale_draw.h>

#include "IODeviceNew.h"
#include "LabelHolder.h"
#include "RandomPlot.h"
#include "SaveSamples.h"
#include "SerialPort.h"
#include "VerdictLabel.h"

// Dark filled segments for a stable reading, the most legible thing on show;
// amber outlines for one the scale does not call stable yet.
// The digits take the palette's own text colour, so a dark palette shows
// them light; an unsettled reading is amber, dark on a light background and
// light on a dark one.
static QPalette readoutPalette(bool stable)
{
    QPalette palette;
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    const QColor ink = stable ? palette.color(QPalette::WindowText)
                              : dark ? QColor(0xff, 0xb3, 0x40) : QColor(0xa0, 0x58, 0x00);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Light, QPalette::Dark})
        palette.setColor(role, ink);
    return palette;
}

namespace {

// The read-out, the plot and the statistics need a number; the record keeps
// the scale's own digits, decimal comma and all.
QString asNumber(QString value)
{
    return value.replace(QLatin1Char(','), QLatin1Char('.'));
}

} // namespace

DeviceTask::DeviceTask(const QString &portName, QWidget *window, QObject *parent,
                       const ScaleSetup &setup)
    : QThread(parent)
    , sampleRecorder(nullptr)
    , readingNumber(0)
    , portName(portName)
    , scaleSetup(setup)
    , firstSetup(setup)
    , link(nullptr)
    , stable(true)
    , paused(true)
    , recording(false)
{
    mainLayout = new QVBoxLayout(window);
    rowLayout = new QHBoxLayout;

    // The read-out's frame is a widget of its own around it, painted when
    // shown and not with every reading; the read-out itself is opaque, so
    // that a new reading repaints it alone and not the window and its title
    // bar under it.
    readoutFrame = new QFrame(window);
    auto *frameLayout = new QHBoxLayout(readoutFrame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    readout = new QLCDNumber(10, readoutFrame);
    readoutFrame->setFrameStyle(readout->frameStyle());
    readout->setFrameStyle(QFrame::NoFrame);
    readout->setAutoFillBackground(true);
    readout->setSegmentStyle(QLCDNumber::Flat);
    readout->setPalette(readoutPalette(true));
    readoutFrame->setMinimumHeight(40);
    readoutFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    readout->display(QStringLiteral("--------"));
    frameLayout->addWidget(readout);
    rowLayout->addWidget(readoutFrame);

    // The labels that hold what came from the line or the operator's name
    // for the scale show it as text, never as markup.
    unitsLabel = new QLabel(QStringLiteral("---"), window);
    unitsLabel->setTextFormat(Qt::PlainText);
    unitsLabel->setFrameShape(QFrame::Box);
    unitsLabel->setFrameShadow(QFrame::Raised);
    unitsLabel->setFont(QFont(QStringLiteral("Verdana"), 20));
    unitsLabel->setAlignment(Qt::AlignCenter);
    rowLayout->addWidget(unitsLabel);
    verdictLabel = new VerdictLabel(window);
    rowLayout->addWidget(verdictLabel);

    plot = new RandomPlot(window);
    // Translated once: a window keeps the tip of the language it opened in.
    plot->setToolTip(tr("How to use graph:\nclick left & move - zoom in specific area\n"
                        "click center - zoom out one level\nclick right - zoom out completely"));

    rate = defaultRefreshRate;

    // Shown with the placeholders only, so a moving placeholder never has to
    // be read as "check the cable" when the cause is another.
    noReadingLabel = new QLabel(window);
    noReadingLabel->setObjectName(QStringLiteral("noReadingLabel"));
    noReadingLabel->setTextFormat(Qt::PlainText); // it quotes what the scale sent
    noReadingLabel->setWordWrap(true);
    noReadingLabel->hide();

    // Shown with the Show statistics view; the counter only while one
    // record per load is taken.
    statisticsRow = new QWidget(window);
    auto *statisticsLayout = new QHBoxLayout(statisticsRow);
    statisticsLayout->setContentsMargins(0, 0, 0, 0);
    // Rewritten at every reading: held, so that the window is laid out
    // again only when the line's size changes.
    auto *statisticsHolder = new LabelHolder(statisticsRow);
    statisticsLabel = statisticsHolder->label();
    statisticsLabel->setObjectName(QStringLiteral("statisticsLabel"));
    resetButton = new QToolButton(statisticsRow);
    resetButton->setObjectName(QStringLiteral("resetStatisticsButton"));
    connect(resetButton, &QToolButton::clicked, this, &DeviceTask::resetStatistics);
    statisticsLayout->addWidget(statisticsHolder, 1);
    statisticsLayout->addWidget(resetButton);
    statisticsRow->hide();
    captureLabel = new QLabel(window);
    captureLabel->setObjectName(QStringLiteral("captureLabel"));
    captureLabel->setTextFormat(Qt::PlainText);
    captureLabel->hide();

    setupLabel = new QLabel(window);
    setupLabel->setObjectName(QStringLiteral("setupLabel"));
    setupLabel->setTextFormat(Qt::PlainText);
    setupLabel->setWordWrap(true);
    showSetup();

    commandLabel = new QLabel(window);
    commandLabel->setObjectName(QStringLiteral("commandLabel"));
    commandLabel->setTextFormat(Qt::PlainText); // it quotes what the scale sent
    commandLabel->hide();

    mainLayout->addLayout(rowLayout);
    mainLayout->addWidget(statisticsRow);
    mainLayout->addWidget(captureLabel);
    mainLayout->addWidget(setupLabel);
    mainLayout->addWidget(commandLabel);
    mainLayout->addWidget(noReadingLabel);
    mainLayout->addWidget(plot);
    showPrintKeyWait();
}

// A scale that sends on its print key leaves the window quiet until then:
// the line under the read-out says so, not the placeholder's causes.
void DeviceTask::showPrintKeyWait()
{
    const bool waits = scaleSetup.printKey && ScaleProtocol::create(scaleSetup)->sendsUnasked();
    noReadingLabel->setText(waits ? tr("Waiting for the scale's print key: each line the scale sends "
                                       "is a reading.")
                                  : QString());
    noReadingLabel->setVisible(waits);
}

DeviceTask::~DeviceTask()
{
    emit deviceCloseSignal();
    quit();
    wait();
    ended.load(std::memory_order_acquire);
    delete recorder();
}

IODeviceNew *DeviceTask::makeLink(const ScaleSetup &setup, int periodMs)
{
    auto *link = new IODeviceNew(portName, setup, SerialPort::Polling);
    connect(link, &IODeviceNew::newSample, this, &DeviceTask::getSample);
    connect(this, SIGNAL(deviceCloseSignal()), link, SLOT(closePort()));
    connect(link, &IODeviceNew::deleteNowSignal, this, &DeviceTask::deleteNow);
    connect(link, &IODeviceNew::noReading, this, &DeviceTask::showNoReading);
    connect(link, &IODeviceNew::readingStable, this, &DeviceTask::setStable);
    connect(this, &DeviceTask::setRefreshRateSignal, link, &IODeviceNew::setRefreshRate);
    connect(this, &DeviceTask::commandSignal, link, &IODeviceNew::sendCommand);
    connect(link, &IODeviceNew::commandAnswered, this, &DeviceTask::showCommandAnswer);
    followLineWatch(link);
    link->setRefreshRate(periodMs);
    // The period is the GUI thread's: it sends it once more from there, so
    // that one set while this link was being made, and told to none, or to
    // the link this one replaces, reaches it too.
    QMetaObject::invokeMethod(this, [this] { emit setRefreshRateSignal(rate); });
    link->open(IODeviceNew::portOpenMode);
    return link;
}

void DeviceTask::reopen(const ScaleSetup &setup)
{
    // Posted to the worker thread's own object, not to the link: a link that
    // an earlier reopen has just replaced may be deleted before the call
    // runs, and the call would go with it.
    QObject *home = workerHome;
    if (!home)
        return;
    scaleSetup = setup;
    showSetup();
    showPrintKeyWait();
    // On the worker thread, where the link and its timers live. The link in
    // use then stops and gives the port back before the new one opens it;
    // its last readings, already on their way, are still shown.
    QMetaObject::invokeMethod(home, [this, setup, periodMs = rate] {
        IODeviceNew *old = link.loadAcquire();
        disconnect(old, nullptr, this, nullptr);
        disconnect(this, nullptr, old, nullptr);
        QMetaObject::invokeMethod(old, "closePort", Qt::DirectConnection);
        old->deleteLater();
        link.storeRelease(makeLink(setup, periodMs));
    });
}

void DeviceTask::run()
{
    QObject home;
    workerHome = &home;
    // Not scaleSetup nor rate: the GUI thread may change them meanwhile, and
    // the changes come here as posted calls.
    link.storeRelease(makeLink(firstSetup, defaultRefreshRate));

    auto *recorder = new SaveSamples;
    // The recorder emits on the GUI thread, where this object lives: these
    // calls are direct, inside the addRecord() that tells.
    connect(recorder, &SaveSamples::writeFailed, this, &DeviceTask::recordingFailed);
    connect(recorder, &SaveSamples::writeRecovered, this, &DeviceTask::recordingRecovered);
    connect(recorder, &SaveSamples::fileRecreated, this, &DeviceTask::recordingFileRecreated);
    // Used only from the GUI thread from here on, where the main window gives
    // it its file; the format set meanwhile is handed over there too.
    recorder->moveToThread(QCoreApplication::instance()->thread());
    QMetaObject::invokeMethod(recorder, [this, recorder] { recorder->setFormat(format); });
    sampleRecorder.storeRelease(recorder);

    emit deviceTaskStarted();
    exec();
    workerHome = nullptr;
    // The link belongs to this thread: it goes with the thread's event loop,
    // after it has closed its port or when the program ends.
    delete link.fetchAndStoreAcquire(nullptr);
    // The link read this object as it went (its connections to it); the GUI
    // thread's wait() orders that before this object goes, but inside Qt, out
    // of a race detector's sight: ended says it where it sees.
    ended.store(true, std::memory_order_release);
}

void DeviceTask::watchLine(bool on)
{
    lineWatchers += on ? 1 : -1;
    // The event loop ends only by the GUI thread's own stop(), so a home
    // seen here outlives the call.
    if (QObject *home = workerHome)
        QMetaObject::invokeMethod(home, [this] { followLineWatch(link.loadAcquire()); });
}

void DeviceTask::followLineWatch(IODeviceNew *current)
{
    if (!current)
        return;
    if (lineWatchers > 0)
        connect(current, &IODeviceNew::lineTraffic, this, &DeviceTask::lineTraffic,
                Qt::UniqueConnection);
    else
        disconnect(current, &IODeviceNew::lineTraffic, this, &DeviceTask::lineTraffic);
}

QString DeviceTask::setupText(const ScaleSetup &setup, const QString &port)
{
    // The converter on the far end of a network port keeps the line settings.
    if (SerialPort::isNetworkName(port))
        return ScaleProtocol::name(setup.type) + QStringLiteral(", ") + tr("network");
    QString text = ScaleProtocol::name(setup.type) + QStringLiteral(", ") + setup.line.name();
    if (setup.line.flowControl == QSerialPort::SoftwareControl)
        text += QStringLiteral(", XON/XOFF");
    else if (setup.line.flowControl == QSerialPort::HardwareControl)
        text += QStringLiteral(", RTS/CTS");
    return text;
}

void DeviceTask::showSetup()
{
    setupLabel->setText(setupText(scaleSetup, portName));
    setupLabel->setToolTip(SerialPort::isNetworkName(portName)
                               ? tr("The kind of scale this network port is read with; its line settings "
                                    "are made on the converter. Device \u2192 Port settings... changes the kind.")
                               : tr("The kind of scale and the line settings this port is read with. "
                                    "Device \u2192 Port settings... changes them."));
    resetButton->setText(tr("Reset"));
    resetButton->setToolTip(tr("Start the statistics again from the next reading taken"));
    showStatisticsText();
    showCapture();
}

void DeviceTask::setScaleName(const QString &scaleName)
{
    if (scaleName == name)
        return;
    name = scaleName;
    emit scaleNameChanged(name);
}

void DeviceTask::setRecordFormat(RecordFormat::Kind kind)
{
    format = kind;
    if (recorder())
        recorder()->setFormat(kind);
}

void DeviceTask::setCaptureMode(CaptureFilter::Mode mode)
{
    capture.setMode(mode);
    showCapture();
}

void DeviceTask::setLoadThreshold(double change)
{
    capture.setThreshold(change);
    showCapture();
}

QLocale DeviceTask::numberLocale()
{
    // Asked for at every reading shown: built again only when the language,
    // and with it the locale's name, has changed. The GUI thread's alone.
    static QString name;
    static QLocale numbers;
    const QString now = tr("en_US", "the locale of the numbers shown");
    if (now != name) {
        numbers = QLocale(now);
        numbers.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        name = now;
    }
    return numbers;
}

QChar DeviceTask::decimalPoint()
{
    return numberLocale().decimalPoint();
}

void DeviceTask::showStatisticsText()
{
    statisticsLabel->setText(stats.text(decimalPoint()));
}

void DeviceTask::resetStatistics()
{
    stats.reset();
    showStatisticsText();
}

WeightLimits DeviceTask::limits() const
{
    return verdictLabel->limits();
}

void DeviceTask::setLimits(const WeightLimits &limits)
{
    verdictLabel->setLimits(limits);
    verdictLabel->follow(asNumber(lastValue), lastUnits);
}

void DeviceTask::setLot(const QString &lot)
{
    if (lot == lotName)
        return;
    lotName = lot;
    capture.restartCount();
    resetStatistics();
    showCapture();
}

void DeviceTask::showCapture()
{
    if (capture.mode() == CaptureFilter::EveryReading) {
        captureLabel->hide();
        return;
    }
    if (capture.mode() == CaptureFilter::StableOnly) {
        captureLabel->setText(tr("Only the readings the scale calls stable are recorded."));
    } else {
        const QString threshold = QString::number(capture.threshold(), 'g', 6)
                                      .replace(QLatin1Char('.'), decimalPoint());
        captureLabel->setText(tr("One record per load (a change of more than %1 %2). Loads weighed: %3")
                                  .arg(threshold, lastUnits, QString::number(capture.loads())));
    }
    captureLabel->show();
}

void DeviceTask::setRefreshRate(int ms)
{
    rate = ms;
    emit setRefreshRateSignal(ms);
}

void DeviceTask::showLCD(bool visible)
{
    if (!isRunning())
        return;
    readoutFrame->setVisible(visible);
    unitsLabel->setVisible(visible);
    verdictLabel->setReadoutShown(visible);
}

void DeviceTask::showGraph(bool visible)
{
    if (isRunning())
        plot->setVisible(visible);
}

void DeviceTask::showStatistics(bool visible)
{
    statisticsShown = visible;
    if (visible)
        showStatisticsText();
    statisticsRow->setVisible(visible);
}

void DeviceTask::deviceClose()
{
    emit deviceCloseSignal();
}

void DeviceTask::deleteNow()
{
    emit deleteNowSignal();
}

// A scale of another kind, or one set to another speed, answers nothing or
// garbage: the likely cure, on a line of its own.
QString DeviceTask::portSettingsHint()
{
    return QLatin1Char('\n')
           + tr("If the scale is of another kind or uses other line settings, choose them in "
                "Device \u2192 Port settings...");
}

QString DeviceTask::noReadingText(int cause, const QString &detail, ScaleProtocol::Type type)
{
    switch (cause) {
    case IODeviceNew::PortNotOpen:
        return tr("The port cannot be opened: %1").arg(detail);
    case IODeviceNew::PortAccessDenied:
        return tr("The port cannot be opened: %1.\nAnother program may be using it, or your user "
                  "may not be in the dialout group (sudo adduser $USER dialout, then log in "
                  "again).")
            .arg(detail);
    case IODeviceNew::UnitNotAccepted:
        if (type != ScaleProtocol::BuiltIn)
            return tr("The scale names a unit that is not accepted: \"%1\".").arg(detail)
                   + portSettingsHint();
        return tr("The scale names a unit that is not accepted: \"%1\" (accepted: kg, kg., szt, g).")
                   .arg(detail)
               + portSettingsHint();
    case IODeviceNew::ScaleOverloaded:
        return tr("The scale is overloaded: the load is above its weighing range.");
    case IODeviceNew::ScaleUnderloaded:
        return tr("The scale is underloaded: the load is below its weighing range.");
    case IODeviceNew::ScaleBusy:
        return tr("The scale is busy and sends no weight.");
    case IODeviceNew::ScaleOutOfRange:
        return tr("The load is out of the scale's weighing range.");
    case IODeviceNew::ScaleFailed:
        return tr("The scale reports an error: \"%1\".").arg(detail);
    case IODeviceNew::ScaleInMotion:
        return tr("The scale is in motion and sends no weight until it settles.");
    case IODeviceNew::ScaleSentNoWeight:
        return tr("The scale sent no weight: \"%1\".").arg(detail);
    case IODeviceNew::ReplyNotUnderstood:
        return tr("The scale's reply is not a reading: \"%1\".").arg(detail) + portSettingsHint();
    default:
        return tr("No answer from the scale: check the cable, the port and that the scale is "
                  "switched on.")
               + portSettingsHint();
    }
}

QString DeviceTask::commandUnavailable(ScaleProtocol::Command command) const
{
    if (!ScaleProtocol::create(scaleSetup)->commandRequest(command, false).isEmpty())
        return QString();
    if (scaleSetup.type == ScaleProtocol::Ascii)
        return command == ScaleProtocol::Tare
                   ? tr("No tare command is set for this scale: type it in Device \u2192 Port settings...")
                   : tr("No zero command is set for this scale: type it in Device \u2192 Port settings...");
    return command == ScaleProtocol::Tare ? tr("This kind of scale takes no tare command from the program.")
                                          : tr("This kind of scale takes no zero command from the program.");
}

QString DeviceTask::commandText(int command, bool done, const QString &answer)
{
    const bool tare = command == ScaleProtocol::Tare;
    if (done && answer.isEmpty())
        return tare ? tr("Tare sent; this kind of scale does not confirm it.")
                    : tr("Zero sent; this kind of scale does not confirm it.");
    if (done)
        return (tare ? tr("Tare done (the scale answered \"%1\").") : tr("Zero done (the scale answered \"%1\")."))
            .arg(answer);
    if (answer.isEmpty())
        return tare ? tr("No answer from the scale to the tare command.")
                    : tr("No answer from the scale to the zero command.");
    return (tare ? tr("The scale refused tare: %1") : tr("The scale refused zero: %1")).arg(answer);
}

// With the time, so that an outcome is not taken for that of a later press.
void DeviceTask::showCommandAnswer(int command, bool done, const QString &answer)
{
    commandLabel->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss  "))
                          + commandText(command, done, answer.left(quotedReplyLength)));
    commandLabel->show();
}

void DeviceTask::setStable(bool isStable)
{
    stable = isStable;
}

// A reading the scale does not call stable yet is drawn in amber outlines
// instead of filled dark segments, and says so in its tip.
void DeviceTask::showStability(bool isStable)
{
    const QLCDNumber::SegmentStyle style = isStable ? QLCDNumber::Flat : QLCDNumber::Outline;
    if (readout->segmentStyle() == style)
        return;
    readout->setSegmentStyle(style);
    readout->setPalette(readoutPalette(isStable));
    readout->setToolTip(isStable ? QString() : tr("The scale does not call this reading stable yet."));
}

QString DeviceTask::plainTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped()
           + QStringLiteral("</p>");
}

void DeviceTask::retranslate()
{
    showSetup();
    // Its numbers in the program's number locale, now the default one.
    // Setting a draw's division again forgets the labels it has written.
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis) {
        QwtScaleDraw *draw = plot->axisScaleDraw(axis);
        draw->setScaleDiv(draw->scaleDiv());
    }
    plot->updateAxes();
    plot->replot();
    if (shownCause >= 0)
        showNoReading(shownCause, shownDetail);
    else if (!noReadingLabel->isHidden())
        showPrintKeyWait();
}

void DeviceTask::showNoReading(int cause, const QString &detail)
{
    shownCause = cause;
    shownDetail = detail;
    // A flooding scale's reply would fill the window: the line quotes the
    // start of it, and the tips hold it whole up to a length a tip can show.
    const auto quoted = [&detail](int length) {
        return detail.size() > length ? detail.left(length - 1) + QChar(0x2026) : detail;
    };
    const QString tip = plainTip(noReadingText(cause, quoted(tipReplyLength), scaleSetup.type));
    noReadingLabel->setText(noReadingText(cause, quoted(quotedReplyLength), scaleSetup.type));
    noReadingLabel->setToolTip(tip);
    noReadingLabel->show();
    unitsLabel->setToolTip(tip);
}

void DeviceTask::getSample(QString sample, QString units, QString dzialki, QDateTime taken)
{
    Q_UNUSED(dzialki);
    // A steady weight repeats itself: the read-out is painted only when the
    // number on it changes.
    const QString shown = asNumber(sample);
    if (shown != shownValue) {
        readout->display(shown);
        shownValue = shown;
    }
    unitsLabel->setText(units);
    // Time-out placeholders are shown, never plotted or recorded, not even
    // by a Step taken while one is on show.
    const bool placeholder = sample.contains(QLatin1String("--"))
                             || units.contains(QLatin1String("--"));
    verdictLabel->follow(placeholder ? QString() : shown, units);
    showStability(stable || placeholder);
    lastStable = stable;
    stable = true;
    if (!placeholder && !noReadingLabel->isHidden()) {
        shownCause = -1;
        noReadingLabel->hide();
        noReadingLabel->setToolTip(QString());
        unitsLabel->setToolTip(QString());
    }
    lastValue = placeholder ? QString() : sample.remove(QLatin1Char(' '));
    lastUnits = units;
    lastTaken = taken;
    if (paused || placeholder) {
        capture.breakRun();
        return;
    }
    // Every reading is plotted; the capture mode picks those recorded.
    plotLast();
    if (capture.takes(asNumber(lastValue), lastStable, CaptureFilter::marksStability(scaleSetup.type)))
        recordLast(QStringLiteral("auto"));
}

// A step records the reading on show with the time it came, like its auto
// line: the file says when the scale weighed, not when a key was pressed.
// The operator chose it, so no capture mode leaves it out.
void DeviceTask::step()
{
    paused = true;
    if (lastValue.isEmpty())
        return;
    plotLast();
    recordLast(QStringLiteral("step"));
}

void DeviceTask::plotLast()
{
    plot->appendMyPoint(readingNumber++, asNumber(lastValue).toDouble());
}

// The statistics and the load counter count what is taken, whether Record
// writes it to a file or not.
void DeviceTask::recordLast(const QString &kind)
{
    stats.add(asNumber(lastValue), lastUnits);
    // Written when seen: a hidden line costs no text at every reading.
    if (statisticsShown)
        showStatisticsText();
    if (capture.mode() == CaptureFilter::OnePerLoad)
        showCapture();
    const QString verdict = WeightLimits::key(limits().verdict(asNumber(lastValue), lastUnits));
    const SampleRecord record{kind, lastValue, lastUnits, lastTaken, lastStable, name, lotName, verdict};
    emit readingTaken(record);
    if (recording && recorder())
        recorder()->addRecord(record);
}
