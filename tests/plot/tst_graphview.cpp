#include <QtTest>

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_symbol.h>

#include "DialogScript.h"
#include "GraphAttr.h"
#include "GraphView.h"

class tst_GraphView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<GraphAttr *>(); }
    void defaultRecordOpensOnStepsWithItsColours();
    void okSendsTheRecordReadBackFromThePreview();
    void colourDialogChangesOnlyWhatWasPicked();
    void styleNamesStayUntranslated();
};

// Translates every text, so an untranslated one stands out.
class EverythingTranslator : public QTranslator
{
public:
    QString translate(const char *, const char *, const char *, int) const override
    {
        return QStringLiteral("X");
    }
    bool isEmpty() const override { return false; }
};

static QwtPlotCurve *previewCurve(const GraphView &view)
{
    const QwtPlot *plot = view.findChild<QwtPlot *>();
    return static_cast<QwtPlotCurve *>(plot->itemList(QwtPlotItem::Rtti_PlotCurve).value(0));
}

static QString styleOf(const GraphView &view, const char *button)
{
    return view.findChild<QPushButton *>(QLatin1String(button))->styleSheet();
}

static void press(GraphView &view, QDialogButtonBox::StandardButton which)
{
    view.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(which)->click();
}

// Picks the colour in the colour dialog.
static DialogScript::Answer pick(const QColor &color)
{
    return [color](QWidget *modal) {
        auto *dialog = qobject_cast<QColorDialog *>(modal);
        if (!dialog)
            return cancel(modal);
        dialog->setCurrentColor(color);
        dialog->accept();
    };
}

void tst_GraphView::defaultRecordOpensOnStepsWithItsColours()
{
    QScopedPointer<GraphAttr> attr(GraphAttr::createDefault());
    GraphView view(attr.data());
    QCOMPARE(view.findChild<QComboBox *>(QStringLiteral("comboBox"))->currentText(),
             QStringLiteral("Steps"));
    QCOMPARE(styleOf(view, "backgroundBtn"), QStringLiteral("background:#1d648d"));
    QCOMPARE(styleOf(view, "styleBtn"), QStringLiteral("background:#000000"));
    QCOMPARE(styleOf(view, "gridBtn"), QStringLiteral("background:#a0a0a4"));
    QCOMPARE(styleOf(view, "symbolBtn"), QStringLiteral("background:#ffffff"));

    // 25 white markers rising as a square root over 0 .. 100.
    const QwtPlotCurve *curve = previewCurve(view);
    QCOMPARE(int(curve->dataSize()), 25);
    QCOMPARE(curve->sample(0), QPointF(96, std::sqrt(96.0)));
    QCOMPARE(curve->sample(24), QPointF(0, 0));
    QCOMPARE(curve->symbol()->pen().color(), QColor(Qt::white));
    QCOMPARE(curve->style(), QwtPlotCurve::Steps);
    QCOMPARE(view.findChild<QwtPlot *>()->axisScaleDiv(QwtPlot::xBottom).interval(), QwtInterval(0, 100));
}

void tst_GraphView::okSendsTheRecordReadBackFromThePreview()
{
    QScopedPointer<GraphAttr> attr(GraphAttr::createDefault());
    {
        GraphView view(attr.data());
        QSignalSpy sent(&view, &GraphView::graphAttrChange);
        press(view, QDialogButtonBox::Ok);
        QCOMPARE(sent.count(), 1);
        QScopedPointer<GraphAttr> record(sent.at(0).at(0).value<GraphAttr *>());
        QVERIFY(!record->parent());
        QCOMPARE(record->getBackgroundColor(), attr->getBackgroundColor());
        QCOMPARE(record->getGridColor(), attr->getGridColor());
        QCOMPARE(record->getCurveColor(), attr->getCurveColor());
        QCOMPARE(record->getSymbolColor(), attr->getSymbolColor());
        QCOMPARE(record->getCurveStyle(), attr->getCurveStyle());
    }
    {
        GraphView view(attr.data());
        QSignalSpy sent(&view, &GraphView::graphAttrChange);
        // One step down from "Steps", as the operator would with the keyboard.
        QComboBox *combo = view.findChild<QComboBox *>(QStringLiteral("comboBox"));
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), QStringLiteral("Sticks"));
        QCOMPARE(previewCurve(view)->style(), QwtPlotCurve::Sticks);
        press(view, QDialogButtonBox::Ok);
        QCOMPARE(sent.count(), 1);
        QScopedPointer<GraphAttr> record(sent.at(0).at(0).value<GraphAttr *>());
        QCOMPARE(record->getCurveStyle(), 1);
    }
    {
        GraphView view(attr.data());
        QSignalSpy sent(&view, &GraphView::graphAttrChange);
        press(view, QDialogButtonBox::Cancel);
        QCOMPARE(sent.count(), 0);
    }
}

void tst_GraphView::colourDialogChangesOnlyWhatWasPicked()
{
    QScopedPointer<GraphAttr> attr(GraphAttr::createDefault());
    GraphView view(attr.data());
    QSignalSpy sent(&view, &GraphView::graphAttrChange);
    QPushButton *gridButton = view.findChild<QPushButton *>(QStringLiteral("gridBtn"));
    const QwtPlotGrid *grid = static_cast<QwtPlotGrid *>(
        view.findChild<QwtPlot *>()->itemList(QwtPlotItem::Rtti_PlotGrid).value(0));

    DialogScript script;
    script.then(cancel).then(pick(Qt::red));
    gridButton->click();
    QCOMPARE(gridButton->styleSheet(), QStringLiteral("background:#a0a0a4"));
    QCOMPARE(grid->majorPen().color(), QColor(Qt::gray));

    gridButton->click();
    QCOMPARE(script.met, QStringList({"QColorDialog", "QColorDialog"}));
    QCOMPARE(gridButton->styleSheet(), QStringLiteral("background:#ff0000"));
    QCOMPARE(grid->majorPen().color(), QColor(Qt::red));
    QCOMPARE(grid->majorPen().style(), Qt::DotLine);
    QCOMPARE(styleOf(view, "backgroundBtn"), QStringLiteral("background:#1d648d"));

    // The pick lives only in the preview: Cancel sends nothing.
    press(view, QDialogButtonBox::Cancel);
    QCOMPARE(sent.count(), 0);
}

void tst_GraphView::styleNamesStayUntranslated()
{
    EverythingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    QScopedPointer<GraphAttr> attr(GraphAttr::createDefault());
    GraphView view(attr.data());
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(view.windowTitle(), QStringLiteral("X"));
    QCOMPARE(view.findChild<QLabel *>(QStringLiteral("label_3"))->text(), QStringLiteral("X"));
    QComboBox *combo = view.findChild<QComboBox *>(QStringLiteral("comboBox"));
    QCOMPARE(combo->itemText(0), QStringLiteral("Lines"));
    QCOMPARE(combo->itemText(1), QStringLiteral("Steps"));
    QCOMPARE(combo->itemText(2), QStringLiteral("Sticks"));
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(previewCurve(view)->style(), QwtPlotCurve::Lines);
}

QTEST_MAIN(tst_GraphView)
#include "tst_graphview.moc"
