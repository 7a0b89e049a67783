#ifndef DOCUMENTWINDOW_H
#define DOCUMENTWINDOW_H

#include <QString>
#include <QWidget>

#include "ScaleProtocol.h"

class DeviceTask;
class GraphAttr;
class LineMonitor;

// The window of one opened port. It creates the port's device task, reports
// when the task runs and when the port is given back, and turns a close
// request into an orderly close of the link before it goes away.
class DocumentWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DocumentWindow(const QString &portName, const ScaleSetup &setup = ScaleSetup(),
                            QWidget *parent = nullptr);
    ~DocumentWindow() override;

    DeviceTask *deviceTask() const { return task; }
    QString port() const { return portName; }

signals:
    void documentWindowStarted();
    void documentWindowDestroyed(QString portName);

public slots:
    void exportDocument();
    void graphViewChange(GraphAttr *attr);
    // Shows this port's line monitor, made at the first call.
    LineMonitor *showLineMonitor();

protected:
    bool event(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private slots:
    void documentWindowReady();

private:
    DeviceTask *task;
    QString portName;
    LineMonitor *monitor = nullptr;
};

#endif // DOCUMENTWINDOW_H
