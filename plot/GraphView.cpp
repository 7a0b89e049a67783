#include "GraphView.h"
#include "ui_GraphView.h"

#include "GraphAttr.h"
#include "PlotTrace.h"

#include <QColorDialog>
#include <QDebug>
#include <QScopedPointer>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_symbol.h>

#include <cmath>

static QString colorStyleSheet(const QColor &color)
{
    return QStringLiteral("background:") + color.name();
}

static QwtSymbol *createMarker(const QColor &color)
{
    return new QwtSymbol(QwtSymbol::Rect, Qt::NoBrush, QPen(color), QSize(3, 3));
}

GraphView::GraphView(GraphAttr *attr, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::GraphView)
    , previewPlot(nullptr)
    , previewCurve(nullptr)
    , previewGrid(nullptr)
{
    ui->setupUi(this);

    // Without a record to start from, edit the look a new plot has.
    QScopedPointer<GraphAttr> fallback;
    if (!attr) {
        fallback.reset(GraphAttr::createDefault());
        attr = fallback.data();
    }

    // The combo lists the styles in the order Lines, Steps, Sticks, which is
    // not the order of Qwt's style values.
    switch (attr->getCurveStyle()) {
    case QwtPlotCurve::Lines:
        ui->comboBox->setCurrentIndex(0);
        break;
    case QwtPlotCurve::Steps:
        ui->comboBox->setCurrentIndex(1);
        break;
    case QwtPlotCurve::Sticks:
        ui->comboBox->setCurrentIndex(2);
        break;
    default:
        break;
    }

    ui->backgroundBtn->setStyleSheet(colorStyleSheet(attr->getBackgroundColor()));
    ui->symbolBtn->setStyleSheet(colorStyleSheet(attr->getSymbolColor()));
    ui->styleBtn->setStyleSheet(colorStyleSheet(attr->getCurveColor()));
    ui->gridBtn->setStyleSheet(colorStyleSheet(attr->getGridColor()));

    previewPlot = new QwtPlot;
    previewPlot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    previewPlot->setAxisScale(QwtPlot::xBottom, 0, 100, 0);
    previewPlot->setAxisAutoScale(QwtPlot::yLeft);
    previewPlot->setCanvasBackground(QBrush(attr->getBackgroundColor()));

    previewGrid = new QwtPlotGrid;
    previewGrid->setMajorPen(attr->getGridColor(), 0, Qt::DotLine);
    previewGrid->attach(previewPlot);

    for (int i = 0; i <= 96; i += 4) {
        previewX.prepend(i);
        previewY.prepend(std::sqrt(double(i)));
    }

    previewCurve = new QwtPlotCurve(QStringLiteral("weight"));
    previewCurve->setStyle(QwtPlotCurve::CurveStyle(attr->getCurveStyle()));
    previewCurve->setSymbol(createMarker(attr->getSymbolColor()));
    previewCurve->setPen(QPen(attr->getCurveColor()));
    previewCurve->setSamples(previewX, previewY);
    previewCurve->attach(previewPlot);
    previewPlot->replot();

    ui->viewBox->layout()->addWidget(previewPlot);

    connect(ui->symbolBtn, &QPushButton::clicked, this, &GraphView::changeColor);
    connect(ui->backgroundBtn, &QPushButton::clicked, this, &GraphView::changeColor);
    connect(ui->styleBtn, &QPushButton::clicked, this, &GraphView::changeColor);
    connect(ui->gridBtn, &QPushButton::clicked, this, &GraphView::changeColor);
    connect(ui->comboBox, &QComboBox::textActivated, this, &GraphView::changeStyle);
    // Connected after the form's accept(), so the record is sent as the
    // dialog closes.
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &GraphView::newGraphAttr);
}

GraphView::~GraphView()
{
    delete ui;
}

void GraphView::changeColor()
{
    QPushButton *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;

    const QColor color = QColorDialog::getColor(button->palette().color(QPalette::Window), this);
    // An invalid colour means the colour dialog was cancelled.
    if (!color.isValid())
        return;

    button->setStyleSheet(colorStyleSheet(color));

    if (button == ui->backgroundBtn)
        previewPlot->setCanvasBackground(QBrush(color));
    else if (button == ui->symbolBtn)
        previewCurve->setSymbol(createMarker(color));
    else if (button == ui->styleBtn)
        previewCurve->setPen(QPen(color));
    else if (button == ui->gridBtn)
        previewGrid->setMajorPen(color, 0, Qt::DotLine);

    previewPlot->replot();
}

void GraphView::changeStyle(const QString &text)
{
    // The combo texts are never translated, so they can name the style.
    if (text == QLatin1String("Sticks"))
        previewCurve->setStyle(QwtPlotCurve::Sticks);
    else if (text == QLatin1String("Lines"))
        previewCurve->setStyle(QwtPlotCurve::Lines);
    else if (text == QLatin1String("Steps"))
        previewCurve->setStyle(QwtPlotCurve::Steps);

    previewPlot->replot();
}

void GraphView::newGraphAttr()
{
    qCDebug(plotTrace) << "emitNewGraphAttr";

    const QColor background = previewPlot->canvasBackground().color();
    const QColor grid = previewGrid->majorPen().color();
    const QColor curve = previewCurve->pen().color();
    const QColor symbol = previewCurve->symbol()->pen().color();
    const int style = previewCurve->style();

    emit graphAttrChange(new GraphAttr(background, grid, curve, symbol, style));
}
