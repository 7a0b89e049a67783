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
#include "ReadingTexts.h"
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

DeviceTask::DeviceTask(const QString &portName, QWidget *window, QObject *parent,
                       const ScaleSetup &setup)
    : QThread(parent)
    , sampleRecorder(nullptr)
    , session(new ScaleSession(this))
    , portName(portName)
    , scaleSetup(setup)
    , firstSetup(setup)
    , link(nullptr)
{
    connect(session, &ScaleSession::scaleNameChanged, this, &DeviceTask::scaleNameChanged);
    connect(session, &ScaleSession::taken, this, &DeviceTask::readingTaken);
    // Made on the worker thread and handed over before it says it has started.
    connect(this, &DeviceTask::deviceTaskStarted, session, [this] {
        if (!session->recorder())
            session->setRecorder(recorder());
    });
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
    statisticsLabel->setTextFormat(Qt::PlainText);
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

    connect(session, &ScaleSession::readingShown, this, &DeviceTask::showReading);
    connect(session, &ScaleSession::plotted, plot, &RandomPlot::appendMyPoint);
    connect(session, &ScaleSession::taken, this, &DeviceTask::countTaken);
    connect(session, &ScaleSession::limitsChanged, this, &DeviceTask::showLimits);
    connect(session, &ScaleSession::changed, this, [this] {
        showStatisticsText();
        showCapture();
    });
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

void DeviceTask::showSetup()
{
    session->setScaleType(scaleSetup.type);
    setupLabel->setText(setupText(scaleSetup, portName));
    setupLabel->setToolTip(ReadingTexts::setupTip(portName));
    resetButton->setText(tr("Reset"));
    resetButton->setToolTip(tr("Start the statistics again from the next reading taken"));
    showStatisticsText();
    showCapture();
}

void DeviceTask::setRecordFormat(RecordFormat::Kind kind)
{
    format = kind;
    if (recorder())
        recorder()->setFormat(kind);
}

void DeviceTask::showStatisticsText()
{
    statisticsLabel->setText(session->statistics().text(decimalPoint()));
}

void DeviceTask::resetStatistics()
{
    session->resetStatistics();
}

void DeviceTask::showLimits()
{
    verdictLabel->setLimits(session->limits());
    verdictLabel->follow(session->value(), session->units());
}

void DeviceTask::showCapture()
{
    if (session->captureMode() == CaptureFilter::EveryReading) {
        captureLabel->hide();
        return;
    }
    if (session->captureMode() == CaptureFilter::StableOnly) {
        captureLabel->setText(tr("Only the readings the scale calls stable are recorded."));
    } else {
        const QString threshold = QString::number(session->loadThreshold(), 'g', 6)
                                      .replace(QLatin1Char('.'), decimalPoint());
        captureLabel->setText(tr("One record per load (a change of more than %1 %2). Loads weighed: %3")
                                  .arg(threshold, session->units(), QString::number(session->loadsRecorded())));
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

QString DeviceTask::commandUnavailable(ScaleProtocol::Command command) const
{
    return ReadingTexts::commandUnavailable(scaleSetup, command);
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
    session->setStable(isStable);
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
    session->take(sample, units, taken);
}

void DeviceTask::showReading(const QString &value, const QString &units, bool placeholder, bool isStable)
{
    // A steady weight repeats itself: the read-out is painted only when the
    // number on it changes.
    if (value != shownValue) {
        readout->display(value);
        shownValue = value;
    }
    unitsLabel->setText(units);
    verdictLabel->follow(placeholder ? QString() : value, units);
    showStability(isStable || placeholder);
    if (!placeholder && !noReadingLabel->isHidden()) {
        shownCause = -1;
        noReadingLabel->hide();
        noReadingLabel->setToolTip(QString());
        unitsLabel->setToolTip(QString());
    }
}

// The statistics and the load counter count what is taken, whether Record
// writes it to a file or not.
void DeviceTask::countTaken()
{
    // Written when seen: a hidden line costs no text at every reading.
    if (statisticsShown)
        showStatisticsText();
    if (session->captureMode() == CaptureFilter::OnePerLoad)
        showCapture();
}
