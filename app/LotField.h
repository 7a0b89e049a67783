#ifndef LOTFIELD_H
#define LOTFIELD_H

#include <QLineEdit>
#include <QPointer>

#include <functional>

class DeviceTask;

// The tool bar's lot or batch field: it shows the active window's lot, and
// what the operator types there becomes that window's lot once Enter is
// pressed or the field is left, also by going to another window.
class LotField : public QLineEdit
{
    Q_OBJECT

public:
    LotField(std::function<DeviceTask *()> activeTask, QWidget *parent = nullptr);

    // Shows the lot of the window now active; one typed for the window
    // before goes to that window first.
    void mirror();

signals:
    // A window was given the lot typed.
    void lotChosen();

protected:
    void changeEvent(QEvent *event) override;

private:
    void translate();
    void apply();

    std::function<DeviceTask *()> activeTask;
    // The window whose lot is on show.
    QPointer<DeviceTask> shown;
};

#endif // LOTFIELD_H
