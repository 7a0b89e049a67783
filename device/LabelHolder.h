#ifndef LABELHOLDER_H
#define LABELHOLDER_H

#include <QSize>
#include <QWidget>

class WordLabel;

// Holds a line whose text changes often (figures rewritten at every reading)
// and stands for it in a layout: the same size hints and policy, the line
// filling it. The layouts, and so every window around them, hear of it only
// when its size hints change, also of a change made while it was hidden.
class LabelHolder : public QWidget
{
    Q_OBJECT

public:
    explicit LabelHolder(QWidget *parent = nullptr);

    WordLabel *label() const { return held; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Tells the layout of new size hints, if the label has any.
    void passOnSize();

    WordLabel *held;
    // The hints the layout was last told of.
    QSize toldHint;
    QSize toldMinimum;
};

#endif // LABELHOLDER_H
