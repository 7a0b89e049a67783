#ifndef SCROLLBAR_H
#define SCROLLBAR_H

#include <QScrollBar>

// A scroll bar whose slider stands for an interval of a double range. The
// integer slider works on a fixed grid of baseTicks over the whole range, so
// its resolution does not depend on how far the operator has zoomed in.
class ScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit ScrollBar(QWidget *parent = nullptr);
    explicit ScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);
    ScrollBar(double minBase, double maxBase, Qt::Orientation orientation,
              QWidget *parent = nullptr);

    bool isReversed() const { return reversed; }
    void setReversed(bool on);

    double getBaseMin() const { return baseMin; }
    double getBaseMax() const { return baseMax; }

    double sliderMin() const;
    double sliderMax() const;

    int thickness() const;

signals:
    void sliderMoved(Qt::Orientation orientation, double min, double max);
    void valueChanged(Qt::Orientation orientation, double min, double max);

public slots:
    virtual void setBase(double min, double max);
    virtual void moveSlider(double min, double max);

protected:
    void sliderSpan(int value, double &min, double &max) const;
    int valueToTick(double value) const;
    double tickToValue(int tick) const;

private slots:
    void catchValueChanged(int value);
    void catchSliderMoved(int value);

private:
    void init();

    bool reversed;
    double baseMin;
    double baseMax;
    int baseTicks;
};

#endif // SCROLLBAR_H
