#include "ClickPanel.h"

#include <QMouseEvent>

namespace lumora
{

ClickPanel::ClickPanel(const QString &caption, QWidget *parent) : QLabel(caption, parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    applyPalette();
}

void ClickPanel::setColor(const QColor &color)
{
    if (color_ == color)
        return;
    color_ = color;
    applyPalette();
}

void ClickPanel::setTextColor(const QColor &color)
{
    if (textColor_ == color)
        return;
    textColor_ = color;
    applyPalette();
}

void ClickPanel::applyPalette()
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color_);
    p.setColor(QPalette::WindowText, textColor_);
    setPalette(p);
    update();
}

void ClickPanel::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        emit clicked();
}

} // namespace lumora
