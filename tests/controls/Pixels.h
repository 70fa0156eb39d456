#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

// Small helpers shared by the control tests: what a widget paints, and mouse events with explicit screen
// positions (the skin reads the cursor in screen coordinates).
namespace testing
{

inline QImage Render(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Only what the widget itself paints, on a transparent image (no window background behind it).
inline QImage RenderBare(QWidget *w)
{
    QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img.convertToFormat(QImage::Format_ARGB32);
}

// "#rrggbb" of a pixel, so a failing comparison names the colours.
inline QString At(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y).name();
}

inline void SendMouse(QWidget *w, QEvent::Type type, QPoint local, QPoint global,
                      Qt::MouseButton button = Qt::LeftButton)
{
    // A move carries the held button in `buttons` and none in `button`; a release holds nothing any more.
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(local), QPointF(global), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

// A press, a move and a release at screen positions, mapped into w's coordinates where it stands now.
inline void Press(QWidget *w, QPoint global, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(w, QEvent::MouseButtonPress, global - w->mapToGlobal(QPoint(0, 0)), global, button);
}
inline void Move(QWidget *w, QPoint global, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(w, QEvent::MouseMove, global - w->mapToGlobal(QPoint(0, 0)), global, button);
}
inline void Release(QWidget *w, QPoint global, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(w, QEvent::MouseButtonRelease, global - w->mapToGlobal(QPoint(0, 0)), global, button);
}

} // namespace testing
