#include "LineMonitor.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "DeviceTask.h"
#include "IODeviceNew.h"
#include "TrafficView.h"

namespace {

// A line longer than this goes on in the next one, so that a scale sending
// without line ends still gives lines that can be kept or dropped whole.
const int lineBytes = 64;

bool endsLine(const QByteArray &bytes)
{
    return bytes.endsWith('\n') || bytes.endsWith('\r');
}

} // namespace

LineMonitor::LineMonitor(DeviceTask *task, QWidget *parent)
    : QDialog(parent)
    , task(task)
{
    // It holds the entries' lines and no others.
    view = new TrafficView(this);
    view->setObjectName(QStringLiteral("trafficView"));
    // Columns of bytes line up only in a fixed-pitch font; some platforms
    // answer the system's fixed font with a proportional one.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(fixed).fixedPitch()) {
        fixed.setFamily(QStringLiteral("Monospace"));
        fixed.setStyleHint(QFont::TypeWriter);
    }
    view->setFont(fixed);

    hexBox = new QCheckBox(this);
    hexBox->setObjectName(QStringLiteral("hexBox"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    copyButton = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    clearButton = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    connect(hexBox, &QCheckBox::toggled, this, &LineMonitor::showAll);
    connect(copyButton, &QPushButton::clicked, this, &LineMonitor::copy);
    connect(clearButton, &QPushButton::clicked, this, &LineMonitor::clear);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    refreshTimer = new QTimer(this);
    refreshTimer->setSingleShot(true);
    refreshTimer->setInterval(refreshMs);
    connect(refreshTimer, &QTimer::timeout, this, &LineMonitor::refresh);

    auto *row = new QHBoxLayout;
    row->addWidget(hexBox);
    row->addWidget(buttons, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addLayout(row);
    resize(560, 360);
    translateUI();

    connect(task, &DeviceTask::lineTraffic, this, &LineMonitor::addTraffic);
}

LineMonitor::~LineMonitor()
{
    watch(false);
}

// Each watch taken is given back once: the task counts its watchers.
void LineMonitor::watch(bool on)
{
    if (task && on != watching)
        task->watchLine(watching = on);
}

void LineMonitor::translateUI()
{
    setWindowTitle(tr("Line monitor: %1").arg(task ? task->port() : QString()));
    hexBox->setText(tr("&Hex"));
    hexBox->setToolTip(tr("Show the bytes as hexadecimal numbers"));
    copyButton->setText(tr("Co&py"));
    clearButton->setText(tr("C&lear"));
    // The two words in one column.
    sentWord = tr("sent");
    receivedWord = tr("received");
    const int width = qMax(sentWord.size(), receivedWord.size());
    sentWord = sentWord.leftJustified(width);
    receivedWord = receivedWord.leftJustified(width);
    showAll();
}

void LineMonitor::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        translateUI();
    QDialog::changeEvent(event);
}

void LineMonitor::showEvent(QShowEvent *event)
{
    watch(true);
    QDialog::showEvent(event);
}

void LineMonitor::hideEvent(QHideEvent *event)
{
    watch(false);
    QDialog::hideEvent(event);
}

QString LineMonitor::namedBytes(const QByteArray &bytes)
{
    QString text;
    for (const char byte : bytes) {
        switch (byte) {
        case '\r':
            text += QLatin1String("<CR>");
            break;
        case '\n':
            text += QLatin1String("<LF>");
            break;
        case '\x1b':
            text += QLatin1String("<ESC>");
            break;
        case '\0':
            text += QLatin1String("<NUL>");
            break;
        default:
            if (byte >= 0x20 && byte < 0x7f)
                text += QLatin1Char(byte);
            else
                text += QStringLiteral("<0x%1>").arg(
                    QString::number(uchar(byte), 16).toUpper().rightJustified(2, QLatin1Char('0')));
        }
    }
    return text;
}

QString LineMonitor::hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// A read may end mid-line and the next one go on with it; each line end
// (CR, LF, or CR LF) closes a shown line. A request is written whole, so each
// one is an entry of its own, with its own time, answered or not.
void LineMonitor::addTraffic(int direction, const QByteArray &bytes, const QDateTime &at)
{
    int start = 0;
    // Of a read longer than all that is kept, only its end can be shown; the
    // lines before it all go, a line they left open with them.
    if (bytes.size() > keptBytes + lineBytes) {
        start = bytes.size() - keptBytes - lineBytes;
        entries.clear();
        total = 0;
    }
    bool continues = direction == IODeviceNew::Received;
    for (int i = start; i < bytes.size(); ++i) {
        const bool crBeforeLf = bytes.at(i) == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n';
        const bool lineEnd = (bytes.at(i) == '\r' && !crBeforeLf) || bytes.at(i) == '\n';
        if (lineEnd || i + 1 - start == lineBytes || i + 1 == bytes.size()) {
            add(direction, bytes.mid(start, i + 1 - start), at, continues);
            start = i + 1;
            continues = false;
        }
    }
    // The oldest lines go; the newest stays even when it alone is longer.
    while (total > keptBytes && entries.size() > 1)
        total -= entries.takeFirst().bytes.size();
    if (!refreshTimer->isActive())
        refreshTimer->start();
}

void LineMonitor::add(int direction, const QByteArray &piece, const QDateTime &at, bool continues)
{
    total += piece.size();
    if (continues && !entries.isEmpty()) {
        Entry &last = entries.last();
        const bool lfAfterCr = last.bytes.endsWith('\r') && piece == "\n";
        if (last.direction == direction && (!endsLine(last.bytes) || lfAfterCr)
            && last.bytes.size() + piece.size() <= lineBytes) {
            last.bytes += piece;
            return;
        }
    }
    entries.append({nextSerial++, at, direction, piece});
}

QString LineMonitor::lineOf(const Entry &entry) const
{
    // "hh:mm:ss.zzz", written out: a formatted time costs more than the rest
    // of the line.
    const QTime time = entry.at.time();
    QString line;
    line.reserve(48 + entry.bytes.size());
    const auto digits = [&line](int value, int count) {
        for (int unit = count == 3 ? 100 : 10; unit > 0; unit /= 10)
            line += QLatin1Char(char('0' + value / unit % 10));
    };
    digits(time.hour(), 2);
    line += QLatin1Char(':');
    digits(time.minute(), 2);
    line += QLatin1Char(':');
    digits(time.second(), 2);
    line += QLatin1Char('.');
    digits(time.msec(), 3);
    line += QLatin1String("  ");
    line += entry.direction == IODeviceNew::Sent ? sentWord : receivedWord;
    line += QLatin1String("  ");
    line += hexBox->isChecked() ? hexBytes(entry.bytes) : namedBytes(entry.bytes);
    return line;
}

void LineMonitor::showAll()
{
    refreshTimer->stop();
    QStringList lines;
    for (const Entry &entry : qAsConst(entries))
        lines << lineOf(entry);
    view->setLines(lines);
    shownFirst = entries.isEmpty() ? nextSerial : entries.first().serial;
    shownCount = entries.size();
    lastShownSize = entries.isEmpty() ? 0 : entries.last().bytes.size();
}

void LineMonitor::refresh()
{
    refreshTimer->stop();
    const quint64 shownEnd = shownFirst + quint64(shownCount);
    if (entries.isEmpty() || shownCount == 0 || entries.first().serial >= shownEnd) {
        showAll();
        return;
    }
    const quint64 first = entries.first().serial;
    const int lastShown = int(shownEnd - 1 - first);
    const bool lastChanged = entries.at(lastShown).bytes.size() != lastShownSize;
    QStringList added;
    for (int i = lastChanged ? lastShown : lastShown + 1; i < entries.size(); ++i)
        added << lineOf(entries.at(i));
    view->replace(int(first - shownFirst), lastChanged ? 1 : 0, added);
    shownFirst = first;
    shownCount = entries.size();
    lastShownSize = entries.last().bytes.size();
}

void LineMonitor::clear()
{
    entries.clear();
    total = 0;
    showAll();
}

void LineMonitor::copy()
{
    refresh();
    QGuiApplication::clipboard()->setText(view->toPlainText());
}

QString LineMonitor::shownText() const
{
    return view->toPlainText();
}
