#include "LotField.h"

#include "DeviceTask.h"

#include <QEvent>

LotField::LotField(std::function<DeviceTask *()> activeTask, QWidget *parent)
    : QLineEdit(parent)
    , activeTask(std::move(activeTask))
{
    setObjectName(QStringLiteral("lotField"));
    setMaxLength(64);
    setMinimumWidth(fontMetrics().averageCharWidth() * 14);
    setClearButtonEnabled(true);
    connect(this, &QLineEdit::editingFinished, this, &LotField::apply);
    translate();
}

void LotField::mirror()
{
    if (isModified())
        apply();
    shown = activeTask();
    setText(shown ? shown->lot() : QString());
    setModified(false);
}

void LotField::apply()
{
    setModified(false);
    if (!shown || shown->lot() == text().trimmed())
        return;
    shown->setLot(text().trimmed());
    emit lotChosen();
}

void LotField::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        translate();
    QLineEdit::changeEvent(event);
}

void LotField::translate()
{
    setPlaceholderText(tr("Lot"));
    setToolTip(tr("The lot or batch of the active window's readings"));
}
