#include "TColorBorderComboBox.h"

#include "ShownItemList.h"
#include "TColorBorderEdit.h"

#include <QPainter>
#include <QStyleOptionComboBox>
#include <QWheelEvent>

namespace lumora
{

TColorBorderComboBox::TColorBorderComboBox(QWidget *parent) : QComboBox(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    // Clicks and Tab give the focus; the wheel does not, so passing over the box never picks it up.
    setFocusPolicy(Qt::StrongFocus);
}

void TColorBorderComboBox::showPopup()
{
    QComboBox::showPopup();
    HighlightShownItem(this, ExactItemRow(this));
}

void TColorBorderComboBox::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        event->ignore(); // left to the parents, so a scroll area around the box still scrolls
        return;
    }
    QComboBox::wheelEvent(event);
}

void TColorBorderComboBox::setBorderColor(const QColor &color)
{
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    update();
}

QColor TColorBorderComboBox::color() const
{
    return palette().color(QPalette::Base);
}

void TColorBorderComboBox::setColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

QRect TColorBorderComboBox::buttonRect() const
{
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, this);
}

void TColorBorderComboBox::paintEvent(QPaintEvent *event)
{
    QComboBox::paintEvent(event);
    QPainter p(this);
    PaintBorderRings(p, rect(), borderColor_, color());
    const QRect b = buttonRect();
    if (b.isEmpty())
        return;
    p.fillRect(b, borderColor_);
    // Centre as (right - left) div 2 with an exclusive right edge.
    const int cx = b.left() + b.width() / 2;
    const int cy = b.top() + b.height() / 2 - 1;
    p.fillRect(QRect(cx - 3, cy, 7, 1), Qt::white);
    p.fillRect(QRect(cx - 2, cy + 2, 5, 1), Qt::white);
    p.fillRect(QRect(cx, cy + 4, 1, 1), Qt::white);
}

} // namespace lumora
