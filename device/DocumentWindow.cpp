#include "DocumentWindow.h"

#include <QCloseEvent>
#include <QLabel>

#include <QIcon>

#include "DeviceTask.h"
#include "GraphAttr.h"
#include "RandomPlot.h"

DocumentWindow::DocumentWindow(const QString &portName, QWidget *parent)
    : QWidget(parent)
    , portName(portName)
{
    setWindowIcon(QIcon(QStringLiteral(":/images/korven.png")));
    setWindowTitle(portName);
    setMinimumSize(200, 160);

    task = new DeviceTask(portName, this, this);
    connect(task, &DeviceTask::deviceTaskStarted, this, &DocumentWindow::documentWindowReady);
    connect(task, &DeviceTask::deleteNowSignal, this, &QWidget::hide);
    connect(task, &DeviceTask::deleteNowSignal, this, &QObject::deleteLater);
    task->start();
}

DocumentWindow::~DocumentWindow()
{
    task->stop();
    task->wait();
    delete task;
}

void DocumentWindow::documentWindowReady()
{
    emit documentWindowStarted();
}

void DocumentWindow::graphViewChange(GraphAttr *attr)
{
    RandomPlot *plot = task->plotWidget();
    plot->setCanvasBackground(QBrush(attr->getBackgroundColor()));
    plot->applyGraphAttr(attr);
    plot->replot();
}

void DocumentWindow::exportDocument()
{
}

bool DocumentWindow::event(QEvent *e)
{
    // Mouse moves end here instead of travelling on to the workspace.
    if (e->type() == QEvent::MouseMove)
        return true;
    return QWidget::event(e);
}

void DocumentWindow::resizeEvent(QResizeEvent *e)
{
    QLabel *units = task->unitsWidget();
    units->setFont(QFont(QStringLiteral("Verdana"), e->size().width() / 15));
    units->update();
}

// The window stays until the link has closed its port; the port name goes
// back to the selector at once.
void DocumentWindow::closeEvent(QCloseEvent *e)
{
    task->deviceClose();
    emit documentWindowDestroyed(portName);
    e->ignore();
}
