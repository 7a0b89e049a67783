#ifndef LABELHOLDER_H
#define LABELHOLDER_H

#include <QSize>
#include <QWidget>

class QLabel;

// Holds a label whose text changes often (a line of figures rewritten at
// every reading) and stands for it in a layout: the same size hints and
// policy, the label filling it. A label asks its layout, and so every window
// around it, to lay out again at each new text, even when its size stays the
// same; here the layouts hear of it only when the label's size hints change.
class LabelHolder : public QWidget
{
    Q_OBJECT

public:
    explicit LabelHolder(QWidget *parent = nullptr);

    QLabel *label() const { return held; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Tells the layout of new size hints, if the label has any.
    void passOnSize();

    QLabel *held;
    // The hints the layout was last told of.
    QSize toldHint;
    QSize toldMinimum;
};

#endif // LABELHOLDER_H
