#include "TImagePanel.h"

#include <QPaintEvent>
#include <QPainter>

namespace lumora
{

namespace
{
const QColor kBtnFace(240, 240, 240);
const QColor kBtnHighlight(255, 255, 255);
const QColor kBtnShadow(160, 160, 160);

// A three-dimensional frame `width` pixels thick; shrinks `r` by it. Top and left in `top` (but the top-right
// and bottom-left corner pixels), right and bottom in `bottom`.
void frame3D(QPainter &p, QRect &r, const QColor &top, const QColor &bottom, int width)
{
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), top);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), top);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottom);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottom);
        r.adjust(1, 1, -1, -1);
    }
}
} // namespace

void PaintParentBackground(QPainter &painter, const QWidget *child)
{
    QWidget *parent = child ? child->parentWidget() : nullptr;
    if (!parent)
        return;
    const QRegion source = QRegion(child->geometry()).intersected(parent->rect());
    if (source.isEmpty())
        return;
    // Only the parent itself: its children (this one among them) are not drawn, which also keeps this from
    // recursing into our own paint.
    const QPoint target = source.boundingRect().topLeft() - child->pos();
    parent->render(&painter, target, source, QWidget::DrawWindowBackground);
}

TImagePanel::TImagePanel(QWidget *parent) : QWidget(parent), color_(kBtnFace)
{
    // Painting covers the whole panel, so nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateMargins();
}

void TImagePanel::updateMargins()
{
    const int m = (bevelOuter_ != bvNone ? bevelWidth_ : 0) + borderWidth_ + (bevelInner_ != bvNone ? bevelWidth_ : 0);
    setContentsMargins(m, m, m, m);
}

void TImagePanel::setBevelOuter(BevelCut cut)
{
    if (bevelOuter_ == cut)
        return;
    bevelOuter_ = cut;
    updateMargins();
    update();
}

void TImagePanel::setBevelInner(BevelCut cut)
{
    if (bevelInner_ == cut)
        return;
    bevelInner_ = cut;
    updateMargins();
    update();
}

void TImagePanel::setBevelWidth(int width)
{
    width = qMax(1, width);
    if (bevelWidth_ == width)
        return;
    bevelWidth_ = width;
    updateMargins();
    update();
}

void TImagePanel::setBorderWidth(int width)
{
    width = qMax(0, width);
    if (borderWidth_ == width)
        return;
    borderWidth_ = width;
    updateMargins();
    update();
}

void TImagePanel::setColor(const QColor &color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void TImagePanel::setCaption(const QString &caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    update();
}

void TImagePanel::setAlignment(Qt::Alignment alignment)
{
    if (alignment_ == alignment)
        return;
    alignment_ = alignment;
    update();
}

void TImagePanel::setTransparent(bool on)
{
    transparent_ = on;
    // A transparent panel without a parent leaves what was there before.
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
}

void TImagePanel::setBorderColor(const QColor &color)
{
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    update();
}

void TImagePanel::setBkImage(const QImage &image)
{
    bkImage_ = image;
    update();
}

void TImagePanel::setFillImage(const QImage &image)
{
    fillImage_ = image;
    update();
}

void TImagePanel::setBorderBrawKinds(BorderBrawKinds kinds)
{
    if (borderBrawKinds_ == kinds)
        return;
    borderBrawKinds_ = kinds;
    update();
}

void TImagePanel::paintPanel(QPainter &p) const
{
    QRect r = rect();
    if (bevelOuter_ != bvNone)
        frame3D(p, r, bevelOuter_ == bvRaised ? kBtnHighlight : kBtnShadow,
                bevelOuter_ == bvRaised ? kBtnShadow : kBtnHighlight, bevelWidth_);
    frame3D(p, r, color_, color_, borderWidth_);
    if (bevelInner_ != bvNone)
        frame3D(p, r, bevelInner_ == bvRaised ? kBtnHighlight : kBtnShadow,
                bevelInner_ == bvRaised ? kBtnShadow : kBtnHighlight, bevelWidth_);
    if (r.width() > 0 && r.height() > 0)
        p.fillRect(r, color_);
    if (!caption_.isEmpty()) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        const Qt::Alignment h = alignment_ & Qt::AlignHorizontal_Mask;
        p.drawText(r, int(h ? h : Qt::AlignHCenter) | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
    }
}

void TImagePanel::paintDecoration(QPainter &p) const
{
    const int t = borderWidth_v_ > 0 ? borderWidth_v_ : borderWidth_;
    const QRect r(0, 0, width(), height());
    // Each line is one pixel wide and leaves out its end point, so it covers [start, end) on its row or column.
    for (int i = 0; i < t; ++i) {
        if (borderBrawKinds_ & bbkTop)
            p.fillRect(QRect(r.left(), r.top() + i, r.width(), 1), borderColor_);
        if (borderBrawKinds_ & bbkRight)
            p.fillRect(QRect(r.right() - i, r.top(), 1, r.height()), borderColor_);
        if (borderBrawKinds_ & bbkBottom)
            p.fillRect(QRect(r.left(), r.bottom() - i, r.width(), 1), borderColor_);
        if (borderBrawKinds_ & bbkLeft)
            p.fillRect(QRect(r.left() + i, r.top(), 1, r.height()), borderColor_);
    }
    if (!fillImage_.isNull())
        p.drawImage(r, fillImage_);
}

void TImagePanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (transparent_) {
        // Composed off-screen and copied in one step; the panel's own fill and caption are never seen.
        QImage bitmap(size(), QImage::Format_ARGB32_Premultiplied);
        bitmap.fill(Qt::transparent);
        {
            QPainter b(&bitmap);
            PaintParentBackground(b, this);
            paintDecoration(b);
            if (!bkImage_.isNull())
                b.drawImage(0, 0, bkImage_);
        }
        p.drawImage(0, 0, bitmap);
    } else {
        paintPanel(p);
        paintDecoration(p);
    }
    p.end();
    emit OnPaint(this);
}

} // namespace lumora
