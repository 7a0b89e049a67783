#ifndef GRAPHVIEW_H
#define GRAPHVIEW_H

#include <QDialog>
#include <QVector>

class GraphAttr;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotGrid;

namespace Ui {
class GraphView;
}

// Edits the look of the plots on a live preview. The preview is the only
// store of the edited values: on OK the new record is read back from it.
class GraphView : public QDialog
{
    Q_OBJECT

public:
    explicit GraphView(GraphAttr *attr, QWidget *parent = nullptr);
    ~GraphView() override;

signals:
    // A new record without a parent; it is kept for the rest of the run.
    void graphAttrChange(GraphAttr *attr);

private slots:
    void changeColor();
    void changeStyle(const QString &text);
    void newGraphAttr();

private:
    Ui::GraphView *ui;
    QVector<double> previewX;
    QVector<double> previewY;
    QwtPlot *previewPlot;
    QwtPlotCurve *previewCurve;
    QwtPlotGrid *previewGrid;
};

#endif // GRAPHVIEW_H
