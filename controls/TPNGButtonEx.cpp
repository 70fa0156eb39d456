#include "TPNGButtonEx.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace lumora
{

TPNGButtonEx::TPNGButtonEx(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    resize(23, 23);
}

void TPNGButtonEx::setTextLeft(int value)
{
    if (textLeft_ == value)
        return;
    textLeft_ = value;
    update();
}

void TPNGButtonEx::setTextTop(int value)
{
    if (textTop_ == value)
        return;
    textTop_ = value;
    update();
}

void TPNGButtonEx::setButtonLayout(TPNGButtonLayout layout)
{
    if (layout_ == layout)
        return;
    layout_ = layout;
    update();
}

void TPNGButtonEx::setCaption(const QString &caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    update();
}

void TPNGButtonEx::setImageNormal(const QImage &image)
{
    imageNormal_ = image;
    disabled_ = MakeDisabledImage(imageNormal_);
    update();
}

void TPNGButtonEx::setImageDown(const QImage &image)
{
    imageDown_ = image;
    update();
}

void TPNGButtonEx::setImageOver(const QImage &image)
{
    imageOver_ = image;
    update();
}

void TPNGButtonEx::setButtonStyle(TPNGButtonStyle style)
{
    if (style_ == style)
        return;
    style_ = style;
    update();
}

QImage TPNGButtonEx::MakeDisabledImage(const QImage &normal)
{
    if (normal.isNull())
        return {};
    if (normal.format() == QImage::Format_Indexed8 || normal.format() == QImage::Format_Mono ||
        normal.format() == QImage::Format_MonoLSB) {
        // A palette picture gets a fully opaque transparency table and is not faded.
        QImage copy = normal;
        QList<QRgb> table = copy.colorTable();
        for (QRgb &c : table)
            c = qRgba(qRed(c), qGreen(c), qBlue(c), 255);
        copy.setColorTable(table);
        return copy;
    }
    QImage copy = normal.convertToFormat(QImage::Format_ARGB32); // alpha 255 where there was none
    for (int y = 0; y < copy.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), qAlpha(line[x]) / 3);
    }
    return copy;
}

QImage TPNGButtonEx::chosenImage() const
{
    const bool pressed = state_ == bsDown && hot_;
    if (pressed && !imageDown_.isNull())
        return imageDown_;
    if (hot_ && !imageOver_.isNull() && isEnabled())
        return imageOver_;
    if (state_ == bsDisabled && !disabled_.isNull())
        return disabled_;
    return imageNormal_;
}

TPNGButtonEx::Placement TPNGButtonEx::placement() const
{
    Placement out;
    out.image = chosenImage();
    const QFontMetrics fm(font());
    const int W = width();
    const int H = height();
    const int iw = out.image.isNull() ? 0 : out.image.width();
    int ih = out.image.isNull() ? 0 : out.image.height();
    int tw = 0;
    int th = 0;
    if (!caption_.isEmpty()) {
        tw = fm.horizontalAdvance(caption_);
        th = fm.height();
        ih += 4;
    }
    int ix = (W - iw) / 2;
    int tx = (W - tw) / 2;
    int iy = 0;
    int ty = 0;
    switch (layout_) {
    case pbsImageAbove: {
        const int a = (H - ih - th) / 2;
        iy = a;
        ty = a + ih;
        break;
    }
    case pbsImageBellow: {
        const int a = (H - ih - th) / 2;
        ty = a;
        iy = a + th;
        break;
    }
    case pbsImageBackground:
        ix = 0;
        iy = 0;
        ty = (H - th) / 2;
        break;
    case pbsImageBackground_VS:
        ix = 0;
        iy = 0;
        out.column = true;
        break;
    }
    if (layout_ != pbsImageBackground_VS) {
        tx += textLeft_;
        ty += textTop_;
    }
    const int offset = (state_ == bsDown && hot_) ? 2 : 0;
    ix += offset;
    iy += offset;
    tx += offset;
    ty += offset;
    out.imagePos = QPoint(ix, iy);
    if (out.column)
        out.textRect =
            QRect(QPoint(textLeft_, textTop_), QPoint(textLeft_ + fm.horizontalAdvance(QStringLiteral("WW")), H))
                .adjusted(0, 0, -1, -1);
    else
        out.textRect = QRect(tx, ty, tw, th);
    return out;
}

void TPNGButtonEx::paintEvent(QPaintEvent *)
{
    const Placement pl = placement();
    QPainter p(this);
    if (!pl.image.isNull())
        p.drawImage(pl.imagePos, pl.image);
    if (caption_.isEmpty())
        return;
    p.setFont(font());
    p.setPen(state_ == bsDisabled ? palette().color(QPalette::Disabled, QPalette::WindowText)
                                  : palette().color(QPalette::Active, QPalette::ButtonText));
    if (pl.column) {
        // Chinese text breaks between characters, so the caption runs down the column.
        p.drawText(QRect(pl.textRect.left(), pl.textRect.top(), pl.textRect.width(), height() - pl.textRect.top()),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere, caption_);
    } else {
        p.setClipRect(rect());
        p.drawText(QRect(pl.textRect.topLeft(), QSize(pl.textRect.width() + 1, pl.textRect.height())),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, caption_);
    }
}

void TPNGButtonEx::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && state_ == bsNormal) {
        state_ = bsDown;
        update();
    }
    emit OnMouseDown(event);
}

void TPNGButtonEx::mouseReleaseEvent(QMouseEvent *event)
{
    if (state_ == bsDown) {
        const bool over = rect().contains(event->position().toPoint());
        state_ = bsNormal;
        update();
        if (event->button() == Qt::LeftButton && over)
            emit OnClick();
    }
    emit OnMouseUp(event);
}

void TPNGButtonEx::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const bool inside = rect().contains(pos);
    // The button holds the capture while pressed: wandering off and back shows the pressed look again.
    if (inside != hot_ && (state_ == bsDown || (inside && !hot_))) {
        hot_ = inside;
        update();
    }
    emit OnMouseMove(event);
}

void TPNGButtonEx::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click acts like a press, so the click still follows on release.
    mousePressEvent(event);
    emit OnDblClick();
}

void TPNGButtonEx::enterEvent(QEnterEvent *)
{
    hot_ = true;
    update();
}

void TPNGButtonEx::leaveEvent(QEvent *)
{
    hot_ = false;
    update();
}

void TPNGButtonEx::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled() && !imageNormal_.isNull())
            disabled_ = MakeDisabledImage(imageNormal_);
        state_ = isEnabled() ? bsNormal : bsDisabled;
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace lumora
