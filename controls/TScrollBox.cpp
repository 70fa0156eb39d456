#include "TScrollBox.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace lumora
{

TScrollBox::TScrollBox(QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TScrollBox::wheelEvent(QWheelEvent *event)
{
    const QPoint angle = event->angleDelta();
    const bool altVertical = event->modifiers().testFlag(Qt::AltModifier) && angle.x() == 0 && angle.y() != 0;
    if (!altVertical) {
        QScrollArea::wheelEvent(event);
        return;
    }
    QWheelEvent sideways(event->position(), event->globalPosition(), event->pixelDelta().transposed(),
                         angle.transposed(), event->buttons(), event->modifiers() & ~Qt::AltModifier, event->phase(),
                         event->inverted(), Qt::MouseEventNotSynthesized, event->pointingDevice());
    QCoreApplication::sendEvent(horizontalScrollBar(), &sideways);
    event->setAccepted(sideways.isAccepted());
}

} // namespace lumora
