#include "IntervalSpinBox.h"

#include <QEvent>

#include "ReadingTexts.h"

IntervalSpinBox::IntervalSpinBox(QWidget *parent)
    : QDoubleSpinBox(parent)
{
    followLanguage();
}

QValidator::State IntervalSpinBox::validate(QString &text, int &position) const
{
    text = withDecimalPoint(text);
    return QDoubleSpinBox::validate(text, position);
}

double IntervalSpinBox::valueFromText(const QString &text) const
{
    return QDoubleSpinBox::valueFromText(withDecimalPoint(text));
}

void IntervalSpinBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        followLanguage();
    QDoubleSpinBox::changeEvent(event);
}

// The box writes its value again in the new locale: the numbers of the
// program's language, as every read-out writes them.
void IntervalSpinBox::followLanguage()
{
    setLocale(ReadingTexts::numberLocale());
}

QString IntervalSpinBox::withDecimalPoint(QString text) const
{
    const QChar point = locale().decimalPoint();
    for (QChar &c : text)
        if (c == QLatin1Char('.') || c == QLatin1Char(','))
            c = point;
    return text;
}
