#ifndef SCROLLZOOMER_H
#define SCROLLZOOMER_H

#include <qwt_plot_zoomer.h>

class QwtPlotCanvas;
class ScrollBar;

// A zoomer that pans with scroll bars laid inside the canvas. A bar is shown
// only while the zoom rectangle leaves part of the zoom base out in its
// direction; the canvas margin on the bar's side grows by the bar's thickness
// so that the bar never hides a part of the curve.
class ScrollZoomer : public QwtPlotZoomer
{
    Q_OBJECT

public:
    enum ScrollBarSide
    {
        SideOfScale = 0,
        SideOppositeScale = 1
    };

    explicit ScrollZoomer(QwtPlotCanvas *canvas);
    ~ScrollZoomer() override;

    ScrollBar *horizontalScrollBar() const;
    ScrollBar *verticalScrollBar() const;

    void setHScrollBarMode(Qt::ScrollBarPolicy mode);
    void setVScrollBarMode(Qt::ScrollBarPolicy mode);
    Qt::ScrollBarPolicy vScrollBarMode() const;
    Qt::ScrollBarPolicy hScrollBarMode() const;

    void setHScrollBarSide(ScrollBarSide side);
    void setVScrollBarSide(ScrollBarSide side);
    ScrollBarSide hScrollBarSide() const;
    ScrollBarSide vScrollBarSide() const;

    QWidget *getCornerWidget() const { return cornerWidget; }

    bool eventFilter(QObject *object, QEvent *event) override;

    virtual void setCorner(QWidget *widget);

protected:
    void rescale() override;

    virtual ScrollBar *scrollBarFor(Qt::Orientation orientation);
    virtual void refreshScrollBars();
    virtual void placeScrollBars(const QRect &rect);

private slots:
    void scrollBarMoved(Qt::Orientation o, double min, double max);

private:
    struct ScrollBarSetup
    {
        ~ScrollBarSetup();

        ScrollBar *scrollBar = nullptr;
        ScrollBarSide side = SideOppositeScale;
        Qt::ScrollBarPolicy mode = Qt::ScrollBarAsNeeded;
    };

    void setSide(Qt::Orientation orientation, ScrollBarSide side);
    bool scrollBarNeeded(Qt::Orientation orientation) const;
    int scrollBarAxis(const ScrollBarSetup *setup, Qt::Orientation orientation) const;
    ScrollBarSetup *setupFor(Qt::Orientation orientation) const;
    static int oppositeAxisOf(int axis);

    QWidget *cornerWidget;
    ScrollBarSetup *horizontal;
    ScrollBarSetup *vertical;
    bool inZoom;
    bool savedAlignCanvas;
};

#endif // SCROLLZOOMER_H
