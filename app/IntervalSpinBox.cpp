#include "IntervalSpinBox.h"

#include <QEvent>

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

// The catalogue names the locale whose numbers the language writes.
void IntervalSpinBox::followLanguage()
{
    QLocale numbers(tr("en_US", "the locale of the numbers shown"));
    numbers.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    // The box writes its value again in the new locale.
    setLocale(numbers);
}

QString IntervalSpinBox::withDecimalPoint(QString text) const
{
    const QChar point = locale().decimalPoint();
    for (QChar &c : text)
        if (c == QLatin1Char('.') || c == QLatin1Char(','))
            c = point;
    return text;
}
