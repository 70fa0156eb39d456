#pragma once

#include <QApplication>
#include <QSpontaneKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace lumora::test
{

// A wheel turn over the middle of a widget as the window system delivers it: spontaneous, so the application gives
// the focus to a widget that takes it by wheel and passes a turn the widget ignores on to its parents.
inline bool TurnWheel(QWidget *widget, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF pos = QRectF(widget->rect()).center();
    QWheelEvent event(pos, widget->mapToGlobal(pos), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                      false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    return qApp->notify(widget, &event);
}

} // namespace lumora::test
