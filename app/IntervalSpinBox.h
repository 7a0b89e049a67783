#ifndef INTERVALSPINBOX_H
#define INTERVALSPINBOX_H

#include <QDoubleSpinBox>

// The sampling interval in seconds, written with the decimal separator of
// the program's language. A point and a comma both mean the decimal
// separator whatever the language, and no separator groups thousands: read
// as one, "1,5" would become 15 s.
class IntervalSpinBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit IntervalSpinBox(QWidget *parent = nullptr);

    QValidator::State validate(QString &text, int &position) const override;
    double valueFromText(const QString &text) const override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void followLanguage();
    QString withDecimalPoint(QString text) const;
};

#endif // INTERVALSPINBOX_H
