#ifndef CANVASMOUSE_H
#define CANVASMOUSE_H

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// QTest::mouseMove only moves the cursor, which the offscreen platform never
// reports to a widget; the zoomer sees the canvas's own mouse events, so the
// tests hand it those directly.
namespace CanvasMouse {

inline void send(QWidget *canvas, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                 Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, canvas->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
}

inline void drag(QWidget *canvas, const QPoint &from, const QPoint &to)
{
    send(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(canvas, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(canvas, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(canvas, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

inline void click(QWidget *canvas, Qt::MouseButton button, const QPoint &pos)
{
    send(canvas, QEvent::MouseButtonPress, pos, button, button);
    send(canvas, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

} // namespace CanvasMouse

#endif // CANVASMOUSE_H
