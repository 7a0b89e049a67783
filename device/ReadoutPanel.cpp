#include "ReadoutPanel.h"

#include <QHBoxLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QPalette>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>

#include "LabelHolder.h"
#include "WordLabel.h"
#include "ReadingTexts.h"
#include "ScaleSession.h"
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

ReadoutPanel::ReadoutPanel(ScaleSession *session, QWidget *plot, QWidget *parent)
    : QWidget(parent)
    , session(session)
{
    auto *rowLayout = new QHBoxLayout;
    // The read-out's frame is a widget of its own around it, painted when
    // shown and not with every reading; the read-out itself is opaque, so
    // that a new reading repaints it alone and not the window and its title
    // bar under it.
    readoutFrame = new QFrame(this);
    auto *frameLayout = new QHBoxLayout(readoutFrame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    readoutNumber = new QLCDNumber(10, readoutFrame);
    readoutFrame->setFrameStyle(readoutNumber->frameStyle());
    readoutNumber->setFrameStyle(QFrame::NoFrame);
    readoutNumber->setAutoFillBackground(true);
    readoutNumber->setSegmentStyle(QLCDNumber::Flat);
    readoutNumber->setPalette(readoutPalette(true));
    readoutFrame->setMinimumHeight(40);
    readoutFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    readoutNumber->display(QStringLiteral("--------"));
    frameLayout->addWidget(readoutNumber);
    rowLayout->addWidget(readoutFrame);

    // The labels that hold what came from the line or the operator's name
    // for the scale show it as text, never as markup.
    unitsLabel = new QLabel(QStringLiteral("---"), this);
    unitsLabel->setTextFormat(Qt::PlainText);
    unitsLabel->setFrameShape(QFrame::Box);
    unitsLabel->setFrameShadow(QFrame::Raised);
    unitsLabel->setFont(QFont(QStringLiteral("Verdana"), 20));
    unitsLabel->setAlignment(Qt::AlignCenter);
    rowLayout->addWidget(unitsLabel);
    verdictLabel = new VerdictLabel(this);
    rowLayout->addWidget(verdictLabel);

    // Shown with the placeholders only, so a moving placeholder never has to
    // be read as "check the cable" when the cause is another.
    noReadingLabel = new QLabel(this);
    noReadingLabel->setObjectName(QStringLiteral("noReadingLabel"));
    noReadingLabel->setTextFormat(Qt::PlainText); // it quotes what the scale sent
    noReadingLabel->setWordWrap(true);
    noReadingLabel->hide();

    // Shown with the Show statistics view; the counter only while one
    // record per load is taken.
    statisticsRow = new QWidget(this);
    auto *statisticsLayout = new QHBoxLayout(statisticsRow);
    statisticsLayout->setContentsMargins(0, 0, 0, 0);
    // Rewritten at every reading: held, so that the window is laid out
    // again only when the line's size changes.
    auto *statisticsHolder = new LabelHolder(statisticsRow);
    statisticsLabel = statisticsHolder->label();
    statisticsLabel->setObjectName(QStringLiteral("statisticsLabel"));
    resetButton = new QToolButton(statisticsRow);
    resetButton->setObjectName(QStringLiteral("resetStatisticsButton"));
    connect(resetButton, &QToolButton::clicked, session, &ScaleSession::resetStatistics);
    statisticsLayout->addWidget(statisticsHolder, 1);
    statisticsLayout->addWidget(resetButton);
    statisticsRow->hide();
    captureLabel = new QLabel(this);
    captureLabel->setObjectName(QStringLiteral("captureLabel"));
    captureLabel->setTextFormat(Qt::PlainText);
    captureLabel->hide();

    setupLabel = new QLabel(this);
    setupLabel->setObjectName(QStringLiteral("setupLabel"));
    setupLabel->setTextFormat(Qt::PlainText);
    setupLabel->setWordWrap(true);

    commandLabel = new QLabel(this);
    commandLabel->setObjectName(QStringLiteral("commandLabel"));
    commandLabel->setTextFormat(Qt::PlainText); // it quotes what the scale sent
    commandLabel->hide();

    // One layout from the read-out to the plot, so that the two share the
    // window's height as they always have.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(rowLayout);
    layout->addWidget(statisticsRow);
    layout->addWidget(captureLabel);
    layout->addWidget(setupLabel);
    layout->addWidget(commandLabel);
    layout->addWidget(noReadingLabel);
    layout->addWidget(plot);

    connect(session, &ScaleSession::readingShown, this, &ReadoutPanel::showReading);
    connect(session, &ScaleSession::taken, this, &ReadoutPanel::countTaken);
    connect(session, &ScaleSession::limitsChanged, this, &ReadoutPanel::showLimits);
    connect(session, &ScaleSession::changed, this, [this] {
        showStatisticsText();
        showCapture();
    });
}

void ReadoutPanel::showSetup(const ScaleSetup &setup, const QString &portName)
{
    shownSetup = setup;
    port = portName;
    writeTexts();
}

void ReadoutPanel::writeTexts()
{
    setupLabel->setText(ReadingTexts::setupText(shownSetup, port));
    setupLabel->setToolTip(ReadingTexts::setupTip(port));
    resetButton->setText(ReadingTexts::tr("Reset"));
    resetButton->setToolTip(ReadingTexts::tr("Start the statistics again from the next reading taken"));
    showStatisticsText();
    showCapture();
}

// A scale that sends on its print key leaves the window quiet until then:
// the line under the read-out says so, not the placeholder's causes.
void ReadoutPanel::showPrintKeyWait()
{
    const bool waits = shownSetup.printKey && ScaleProtocol::create(shownSetup)->sendsUnasked();
    noReadingLabel->setText(waits ? ReadingTexts::tr("Waiting for the scale's print key: each line the scale "
                                                     "sends is a reading.")
                                  : QString());
    noReadingLabel->setVisible(waits);
}

void ReadoutPanel::retranslate()
{
    writeTexts();
    if (shownCause >= 0)
        showNoReading(shownCause, shownDetail);
    else if (!noReadingLabel->isHidden())
        showPrintKeyWait();
}

void ReadoutPanel::showReadout(bool visible)
{
    readoutFrame->setVisible(visible);
    unitsLabel->setVisible(visible);
    verdictLabel->setReadoutShown(visible);
}

void ReadoutPanel::showStatistics(bool visible)
{
    statisticsShown = visible;
    if (visible)
        showStatisticsText();
    statisticsRow->setVisible(visible);
}

void ReadoutPanel::showStatisticsText()
{
    statisticsLabel->setText(session->statistics().text(ReadingTexts::decimalPoint()));
}

void ReadoutPanel::showCapture()
{
    if (session->captureMode() == CaptureFilter::EveryReading) {
        captureLabel->hide();
        return;
    }
    if (session->captureMode() == CaptureFilter::StableOnly) {
        captureLabel->setText(ReadingTexts::tr("Only the readings the scale calls stable are recorded."));
    } else {
        const QString threshold = QString::number(session->loadThreshold(), 'g', 6)
                                      .replace(QLatin1Char('.'), ReadingTexts::decimalPoint());
        captureLabel->setText(
            ReadingTexts::tr("One record per load (a change of more than %1 %2). Loads weighed: %3")
                .arg(threshold, session->units(), QString::number(session->loadsRecorded())));
    }
    captureLabel->show();
}

void ReadoutPanel::showLimits()
{
    verdictLabel->setLimits(session->limits());
    verdictLabel->follow(session->value(), session->units());
}

void ReadoutPanel::showReading(const QString &value, const QString &units, bool placeholder, bool stable)
{
    // A steady weight repeats itself: the read-out is painted only when the
    // number on it changes.
    if (value != shownValue) {
        readoutNumber->display(value);
        shownValue = value;
    }
    unitsLabel->setText(units);
    verdictLabel->follow(placeholder ? QString() : value, units);
    showStability(stable || placeholder);
    if (!placeholder && !noReadingLabel->isHidden()) {
        shownCause = -1;
        noReadingLabel->hide();
        noReadingLabel->setToolTip(QString());
        unitsLabel->setToolTip(QString());
    }
}

// The statistics and the load counter count what is taken, whether Record
// writes it to a file or not.
void ReadoutPanel::countTaken()
{
    // Written when seen: a hidden line costs no text at every reading.
    if (statisticsShown)
        showStatisticsText();
    if (session->captureMode() == CaptureFilter::OnePerLoad)
        showCapture();
}

// A reading the scale does not call stable yet is drawn in amber outlines
// instead of filled dark segments, and says so in its tip.
void ReadoutPanel::showStability(bool stable)
{
    const QLCDNumber::SegmentStyle style = stable ? QLCDNumber::Flat : QLCDNumber::Outline;
    if (readoutNumber->segmentStyle() == style)
        return;
    readoutNumber->setSegmentStyle(style);
    readoutNumber->setPalette(readoutPalette(stable));
    readoutNumber->setToolTip(stable ? QString() : ReadingTexts::tr("The scale does not call this reading stable yet."));
}

void ReadoutPanel::showNoReading(int cause, const QString &detail)
{
    shownCause = cause;
    shownDetail = detail;
    // A flooding scale's reply would fill the window: the line quotes the
    // start of it, and the tips hold it whole up to a length a tip can show.
    const auto quoted = [&detail](int length) {
        return detail.size() > length ? detail.left(length - 1) + QChar(0x2026) : detail;
    };
    const QString tip = ReadingTexts::plainTip(ReadingTexts::noReadingText(cause, quoted(tipReplyLength),
                                                                           shownSetup.type));
    noReadingLabel->setText(ReadingTexts::noReadingText(cause, quoted(quotedReplyLength), shownSetup.type));
    noReadingLabel->setToolTip(tip);
    noReadingLabel->show();
    unitsLabel->setToolTip(tip);
}

// With the time, so that an outcome is not taken for that of a later press.
void ReadoutPanel::showCommandAnswer(int command, bool done, const QString &answer)
{
    commandLabel->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss  "))
                          + ReadingTexts::commandText(command, done, answer.left(quotedReplyLength)));
    commandLabel->show();
}
