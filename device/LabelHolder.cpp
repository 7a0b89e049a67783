#include "LabelHolder.h"

#include <QEvent>
#include "WordLabel.h"

LabelHolder::LabelHolder(QWidget *parent)
    : QWidget(parent)
    , held(new WordLabel(this))
{
    setSizePolicy(held->sizePolicy());
    toldHint = held->sizeHint();
    toldMinimum = held->minimumSizeHint();
}

QSize LabelHolder::sizeHint() const
{
    return held->sizeHint();
}

QSize LabelHolder::minimumSizeHint() const
{
    return held->minimumSizeHint();
}

// The label, having no layout of its own to tell, posts its request here
// while this is shown; while it is hidden the request waits for the show.
bool LabelHolder::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show)
        passOnSize();
    return QWidget::event(event);
}

void LabelHolder::resizeEvent(QResizeEvent *event)
{
    held->setGeometry(rect());
    QWidget::resizeEvent(event);
}

void LabelHolder::passOnSize()
{
    const QSize hint = held->sizeHint();
    const QSize minimum = held->minimumSizeHint();
    if (hint == toldHint && minimum == toldMinimum)
        return;
    toldHint = hint;
    toldMinimum = minimum;
    updateGeometry();
}
