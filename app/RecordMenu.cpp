#include "RecordMenu.h"

#include "DeviceTask.h"
#include "PortSettingsStore.h"
#include "ReadingTexts.h"

#include <QActionGroup>
#include <QEvent>
#include <QInputDialog>
#include <QPointer>

RecordMenu::RecordMenu(PortSettingsStore *store, std::function<DeviceTask *()> activeTask,
                       QWidget *parent)
    : QMenu(parent)
    , store(store)
    , activeTask(std::move(activeTask))
{
    setObjectName(QStringLiteral("recordMenu"));
    formats = new QActionGroup(this);
    modes = new QActionGroup(this);
    formatSection = addSection(QString());
    classicAct = choice(formats, "classicAct");
    csvAct = choice(formats, "csvAct");
    // The dialect of a CSV file; choosing CSV itself takes the one of the
    // program's language.
    auto *dialects = new QActionGroup(this);
    commaAct = choice(dialects, "commaAct");
    semicolonAct = choice(dialects, "semicolonAct");
    modeSection = addSection(QString());
    everyAct = choice(modes, "everyAct");
    stableAct = choice(modes, "stableAct");
    perLoadAct = choice(modes, "perLoadAct");
    thresholdAct = addAction(QString());
    thresholdAct->setObjectName(QStringLiteral("thresholdAct"));

    connect(classicAct, &QAction::triggered, this, [this] { chooseFormat(RecordFormat::Classic); });
    connect(csvAct, &QAction::triggered, this, [this] {
        chooseFormat(ReadingTexts::decimalPoint() == QLatin1Char(',') ? RecordFormat::CsvSemicolon
                                                                      : RecordFormat::CsvComma);
    });
    connect(commaAct, &QAction::triggered, this, [this] { chooseFormat(RecordFormat::CsvComma); });
    connect(semicolonAct, &QAction::triggered, this, [this] { chooseFormat(RecordFormat::CsvSemicolon); });
    connect(everyAct, &QAction::triggered, this, [this] { chooseMode(CaptureFilter::EveryReading); });
    connect(stableAct, &QAction::triggered, this, [this] { chooseMode(CaptureFilter::StableOnly); });
    connect(perLoadAct, &QAction::triggered, this, [this] { chooseMode(CaptureFilter::OnePerLoad); });
    connect(thresholdAct, &QAction::triggered, this, &RecordMenu::askThreshold);
    connect(this, &QMenu::aboutToShow, this, &RecordMenu::mirror);
    translate();
    mirror();
}

QAction *RecordMenu::choice(QActionGroup *group, const char *name)
{
    QAction *action = addAction(QString());
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    group->addAction(action);
    return action;
}

void RecordMenu::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        translate();
    QMenu::changeEvent(event);
}

void RecordMenu::translate()
{
    setTitle(tr("Recording &options"));
    formatSection->setText(tr("Record format"));
    classicAct->setText(RecordFormat::name(RecordFormat::Classic));
    csvAct->setText(tr("CSV"));
    commaAct->setText(tr("Comma and decimal point"));
    semicolonAct->setText(tr("Semicolon and decimal comma"));
    modeSection->setText(tr("What to record"));
    everyAct->setText(CaptureFilter::name(CaptureFilter::EveryReading));
    stableAct->setText(CaptureFilter::name(CaptureFilter::StableOnly));
    perLoadAct->setText(CaptureFilter::name(CaptureFilter::OnePerLoad));
    thresholdAct->setText(tr("Load threshold..."));
}

// Shows the active window's choices. A file keeps one format, so the format
// waits while the window records.
void RecordMenu::mirror()
{
    DeviceTask *task = activeTask();
    for (QAction *action : actions())
        action->setEnabled(task);
    if (!task)
        return;
    const RecordFormat::Kind format = task->recordFormat();
    classicAct->setChecked(format == RecordFormat::Classic);
    csvAct->setChecked(format != RecordFormat::Classic);
    commaAct->setChecked(format == RecordFormat::CsvComma);
    semicolonAct->setChecked(format == RecordFormat::CsvSemicolon);
    const QString whileRecording = tr("Switch Record off to change the format");
    for (QAction *action : {classicAct, csvAct, commaAct, semicolonAct}) {
        action->setEnabled(!task->isRecording());
        action->setToolTip(task->isRecording() ? whileRecording : action->text().trimmed());
    }
    commaAct->setEnabled(commaAct->isEnabled() && format != RecordFormat::Classic);
    semicolonAct->setEnabled(semicolonAct->isEnabled() && format != RecordFormat::Classic);
    setToolTipsVisible(task->isRecording());
    everyAct->setChecked(task->captureMode() == CaptureFilter::EveryReading);
    stableAct->setChecked(task->captureMode() == CaptureFilter::StableOnly);
    perLoadAct->setChecked(task->captureMode() == CaptureFilter::OnePerLoad);
}

void RecordMenu::chooseFormat(RecordFormat::Kind kind)
{
    if (DeviceTask *task = activeTask()) {
        task->setRecordFormat(kind);
        store->setRecordFormat(task->port(), kind);
    }
}

void RecordMenu::chooseMode(CaptureFilter::Mode mode)
{
    if (DeviceTask *task = activeTask()) {
        task->setCaptureMode(mode);
        store->setCaptureMode(task->port(), mode);
    }
}

void RecordMenu::askThreshold()
{
    QPointer<DeviceTask> task = activeTask();
    if (!task)
        return;
    QInputDialog dialog(parentWidget());
    dialog.setWindowTitle(tr("Load threshold"));
    dialog.setLabelText(tr("With one record per load, a new load is recorded when the settled weight\n"
                           "differs from the last one by more than (in the scale's unit):"));
    // Its spin box reads "0,05" in Polish only with the language's locale.
    dialog.setLocale(ReadingTexts::numberLocale());
    dialog.setInputMode(QInputDialog::DoubleInput);
    dialog.setDoubleDecimals(4);
    dialog.setDoubleRange(0.0001, 1e6);
    dialog.setDoubleValue(task->loadThreshold());
    // The dialog runs an event loop of its own, in which the window may close.
    if (dialog.exec() != QDialog::Accepted || !task)
        return;
    task->setLoadThreshold(dialog.doubleValue());
    store->setLoadThreshold(task->port(), dialog.doubleValue());
}
