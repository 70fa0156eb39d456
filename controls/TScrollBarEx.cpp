#include "TScrollBarEx.h"

#include "TImagePanel.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace lumora
{

TScrollBarEx::TScrollBarEx(QWidget *parent) : QWidget(parent), color_(240, 240, 240)
{
    // The paint covers the whole control (unless transparent without a parent), so nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TScrollBarEx::setColor(const QColor &color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void TScrollBarEx::setArrowTopImage(const QImage &image)
{
    arrowTop_ = image;
    update();
}

void TScrollBarEx::setArrowBottomImage(const QImage &image)
{
    arrowBottom_ = image;
    update();
}

void TScrollBarEx::setDragVImage(const QImage &image)
{
    dragV_ = image;
    update();
}

int TScrollBarEx::trackLength() const
{
    return height() - arrowTop_.height() - arrowBottom_.height() - dragV_.height();
}

int TScrollBarEx::thumbTop() const
{
    if (max_ == 0)
        return arrowTop_.height();
    return int(std::trunc(trackLength() * position_ / max_)) + arrowTop_.height();
}

void TScrollBarEx::paintEvent(QPaintEvent *)
{
    QImage bitmap(size(), QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    {
        QPainter b(&bitmap);
        if (transparent_ && parentWidget())
            PaintParentBackground(b, this);
        else if (!transparent_)
            b.fillRect(bitmap.rect(), color_);
        if (!arrowTop_.isNull())
            b.drawImage(0, 0, arrowTop_);
        if (!arrowBottom_.isNull())
            b.drawImage(0, height() - arrowBottom_.height(), arrowBottom_);
        if (!dragV_.isNull())
            b.drawImage(0, thumbTop(), dragV_);
    }
    QPainter p(this);
    p.drawImage(0, 0, bitmap);
    p.end();
    emit OnPaint();
}

void TScrollBarEx::mousePressEvent(QMouseEvent *event)
{
    dragging_ = true;
    lastY_ = event->globalPosition().y();
}

void TScrollBarEx::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging_ || !isVisible())
        return;
    const double y = event->globalPosition().y();
    const int track = trackLength();
    // A bar no taller than its pictures has no track to move along (and nothing to divide by).
    if (track > 0) {
        position_ += (y - lastY_) * max_ / track;
        position_ = qBound(0.0, position_, double(max_));
    }
    lastY_ = y;
    update();
    emit OnChange();
}

void TScrollBarEx::mouseReleaseEvent(QMouseEvent *event)
{
    dragging_ = false;
    const double y = event->position().y();
    const int bottom = height() - arrowBottom_.height();
    const int top = arrowTop_.height();
    if (y > bottom)
        emit OnChangeAddOne();
    if (y < top)
        emit OnChangeDecOne();
    if (top < y && y < bottom)
        emit OnChangeAtUp();
    update();
}

} // namespace lumora
