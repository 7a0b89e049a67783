#include "LimitsDialog.h"

#include "DeviceTask.h"
#include "PortSettingsStore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <QtMath>

LimitsDialog::LimitsDialog(const WeightLimits &limits, const QString &unit, const QString &port,
                           QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Limits of %1").arg(port));
    lowEdit = new QLineEdit(WeightLimits::limitText(limits.low), this);
    lowEdit->setObjectName(QStringLiteral("lowLimitEdit"));
    highEdit = new QLineEdit(WeightLimits::limitText(limits.high), this);
    highEdit->setObjectName(QStringLiteral("highLimitEdit"));
    unitEdit = new QLineEdit(limits.unit.isEmpty() ? unit : limits.unit, this);
    unitEdit->setObjectName(QStringLiteral("limitsUnitEdit"));
    beepBox = new QCheckBox(tr("&Beep when a reading turns under or over"), this);
    beepBox->setObjectName(QStringLiteral("limitsBeepBox"));
    beepBox->setChecked(limits.beep);

    auto *hint = new QLabel(tr("Leave a limit empty for none. A reading equal to a limit is OK; "
                               "only readings in this unit get a verdict."),
                            this);
    hint->setWordWrap(true);
    problemLabel = new QLabel(this);
    problemLabel->setObjectName(QStringLiteral("limitsProblemLabel"));
    problemLabel->setWordWrap(true);
    problemLabel->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &LimitsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LimitsDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(tr("&Low limit:"), lowEdit);
    form->addRow(tr("&High limit:"), highEdit);
    form->addRow(tr("&Unit:"), unitEdit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(beepBox);
    layout->addWidget(hint);
    layout->addWidget(problemLabel);
    layout->addWidget(buttons);
}

std::optional<double> LimitsDialog::limitOf(const QLineEdit *edit, bool *isNumber)
{
    QString text = edit->text().trimmed();
    *isNumber = true;
    if (text.isEmpty())
        return std::nullopt;
    const double weight = QLocale::c().toDouble(text.replace(QLatin1Char(','), QLatin1Char('.')), isNumber);
    *isNumber = *isNumber && qIsFinite(weight);
    return *isNumber ? std::optional<double>(weight) : std::nullopt;
}

WeightLimits LimitsDialog::limits() const
{
    WeightLimits limits;
    bool isNumber = false;
    limits.low = limitOf(lowEdit, &isNumber);
    limits.high = limitOf(highEdit, &isNumber);
    limits.unit = unitEdit->text().trimmed();
    limits.beep = beepBox->isChecked();
    return limits;
}

void LimitsDialog::refuse(const QString &why, QLineEdit *field)
{
    problemLabel->setText(why);
    problemLabel->show();
    field->setFocus();
    field->selectAll();
}

// The dialog stays open on a value it cannot use, and says why.
void LimitsDialog::accept()
{
    bool lowIsNumber = false;
    bool highIsNumber = false;
    const std::optional<double> low = limitOf(lowEdit, &lowIsNumber);
    const std::optional<double> high = limitOf(highEdit, &highIsNumber);
    const QString example = QStringLiteral("12") + DeviceTask::decimalPoint() + QLatin1Char('5');
    if (!lowIsNumber || !highIsNumber)
        return refuse(tr("A limit is a number, such as %1, or empty for none.").arg(example),
                      lowIsNumber ? highEdit : lowEdit);
    if (low && high && *low > *high)
        return refuse(tr("The low limit is above the high limit."), lowEdit);
    if ((low || high) && unitEdit->text().trimmed().isEmpty())
        return refuse(tr("Name the unit the limits are in, as the scale writes it (g, kg, ...)."), unitEdit);
    QDialog::accept();
}

void LimitsDialog::edit(DeviceTask *task, PortSettingsStore *store, QWidget *parent)
{
    // The dialog runs an event loop of its own, in which the window may close.
    const QPointer<DeviceTask> alive(task);
    LimitsDialog dialog(task->limits(), task->readingUnit(), task->port(), parent);
    if (dialog.exec() != QDialog::Accepted || !alive)
        return;
    task->setLimits(dialog.limits());
    store->setLimits(task->port(), dialog.limits());
}
