#ifndef LIMITSDIALOG_H
#define LIMITSDIALOG_H

#include <QDialog>

#include <optional>

#include "WeightLimits.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class DeviceTask;
class PortSettingsStore;

// Device -> Limits...: the low and high limit of the active window, either
// left empty for none, the unit they are in and whether a reading turning
// under or over beeps. Numbers take a point or a comma.
class LimitsDialog : public QDialog
{
    Q_OBJECT

public:
    // unit: the unit of the reading on show, proposed while the limits name none.
    LimitsDialog(const WeightLimits &limits, const QString &unit, const QString &port,
                 QWidget *parent = nullptr);

    WeightLimits limits() const;
    // Asks, then gives the window its new limits and keeps them for its port.
    static void edit(DeviceTask *task, PortSettingsStore *store, QWidget *parent);

public slots:
    void accept() override;

private:
    static std::optional<double> limitOf(const QLineEdit *edit, bool *isNumber);
    void refuse(const QString &why, QLineEdit *field);

    QLineEdit *lowEdit;
    QLineEdit *highEdit;
    QLineEdit *unitEdit;
    QCheckBox *beepBox;
    QLabel *problemLabel;
};

#endif // LIMITSDIALOG_H
