#include "DocumentWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QImageWriter>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>

#include "DescriptionWindow.h"
#include "DeviceTask.h"
#include "GraphAttr.h"
#include "LineMonitor.h"
#include "PlotExport.h"
#include "RandomPlot.h"

DocumentWindow::DocumentWindow(const QString &portName, const ScaleSetup &setup, QWidget *parent)
    : QWidget(parent)
    , portName(portName)
{
    setWindowIcon(QIcon(QStringLiteral(":/images/korven.png")));
    setWindowTitle(portName);
    setMinimumSize(200, 160);

    task = new DeviceTask(portName, this, this, setup);
    // "ttyUSB0 - Packing line 2": the operator's name beside the port.
    connect(task, &DeviceTask::scaleNameChanged, this, [this](const QString &name) {
        setWindowTitle(name.isEmpty() ? this->portName : this->portName + QStringLiteral(" \u2013 ") + name);
    });
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
    // Filter names are not translated: they name file types, not operator texts.
    QStringList filters{QStringLiteral("PDF Documents (*.pdf)"),
                        QStringLiteral("SVG Documents (*.svg)"),
                        QStringLiteral("Postscript Documents (*.ps)")};
    const QList<QByteArray> imageFormats = QImageWriter::supportedImageFormats();
    if (!imageFormats.isEmpty()) {
        QStringList patterns;
        for (const QByteArray &format : imageFormats)
            patterns += QStringLiteral("*.") + QString::fromLatin1(format);
        filters += QStringLiteral("Images (%1)").arg(patterns.join(QLatin1Char(' ')));
    }

    // The dialogs run event loops of their own, in which the window may be
    // closed and deleted; their parent is the top-level window, so that a
    // dialog does not go with this one in the middle of its exec().
    const QPointer<DocumentWindow> alive(this);
    QString description;
    {
        // Runs itself in its constructor; it is not needed once its text is read.
        DescriptionWindow dialog;
        description = dialog.description();
    }
    if (!alive)
        return;

    // The dialog asks before an existing file is replaced: the proposed name
    // is the same for every export.
    const QString fileName = QFileDialog::getSaveFileName(
        window(), tr("Export Plot Name"), QStringLiteral("unnamed.pdf"),
        filters.join(QStringLiteral(";;")));
    if (!alive || fileName.isEmpty())
        return;

    PlotExport exporter(QSizeF(300, 200), 85);
    RandomPlot *plot = task->plotWidget();
    // Titles are set on copies of the plot's own, which keeps the fonts the
    // plot gave them (an empty QwtText would drop the axis title's bold font
    // and every later export would differ from the first), and cleared as
    // plain strings. They are drawn as plain text: the scale's name and unit
    // are shown as they are, markup and all.
    QwtText axisTitle = plot->axisTitle(QwtPlot::yLeft);
    axisTitle.setText(tr("units: ") + task->unitsWidget()->text(), QwtText::PlainText);
    plot->setAxisTitle(QwtPlot::yLeft, axisTitle);
    QString title = tr("KORVEN WEIGHING SOFTWARE") + QLatin1Char('\n')
                    + QLocale::c().toString(QDateTime::currentDateTime(),
                                            QStringLiteral("dd.MM.yyyy   hh:mm"));
    if (!task->scaleName().isEmpty())
        title += QLatin1Char('\n') + task->scaleName();
    title += QLatin1Char('\n') + description;
    if (task->isShowingStatistics())
        title += QLatin1Char('\n') + task->statisticsWidget()->text();
    QwtText plotTitle = plot->title();
    plotTitle.setText(title, QwtText::PlainText);
    plot->setTitle(plotTitle);
    const PlotExport::Result result = exporter.write(plot, fileName);

    // The titles belong to the document only; the live plot shows none.
    plot->setTitle(QString());
    plot->setAxisTitle(QwtPlot::xBottom, QString());
    plot->setAxisTitle(QwtPlot::yLeft, QString());
    plot->replot();

    const QString shownName = QDir::toNativeSeparators(fileName);
    QString problem;
    switch (result) {
    case PlotExport::Written:
        return;
    case PlotExport::UnknownFormat:
        problem = tr("The plot was not exported: %1 does not end in .pdf, .svg, .ps "
                     "or the suffix of an image type such as .png.")
                      .arg(shownName);
        break;
    case PlotExport::RenderFailed:
        problem = tr("The plot could not be rendered for %1.").arg(shownName);
        break;
    case PlotExport::NotAFile:
        problem = tr("The plot was not exported: %1 is a folder, a device, a pipe "
                     "or a socket, not a file.")
                      .arg(shownName);
        break;
    case PlotExport::ALink:
        problem = tr("The plot was not exported: %1 is a symbolic link. A plot is "
                     "written only to a regular file or under a new name, never through a link.")
                      .arg(shownName);
        break;
    case PlotExport::WriteFailed:
        problem = tr("The plot could not be written to %1:\n%2")
                      .arg(shownName, exporter.errorString());
        break;
    }
    // The file name is shown as typed, whatever it holds.
    QMessageBox box(QMessageBox::Warning, tr("Export Plot Name"), problem, QMessageBox::Ok, window());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

LineMonitor *DocumentWindow::showLineMonitor()
{
    if (!monitor)
        monitor = new LineMonitor(task, this);
    monitor->show();
    monitor->raise();
    monitor->activateWindow();
    return monitor;
}

void DocumentWindow::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        task->retranslate();
    QWidget::changeEvent(e);
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
