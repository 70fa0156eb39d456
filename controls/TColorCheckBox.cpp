#include "TColorCheckBox.h"

#include <QPainter>

namespace lumora
{

TColorCheckBox::TColorCheckBox(QWidget *parent) : TColorCheckBox(QString(), parent) {}

TColorCheckBox::TColorCheckBox(const QString &caption, QWidget *parent)
    : QCheckBox(caption, parent), borderColor_(100, 100, 100), color_(240, 240, 240)
{
    // The paint covers the whole control; background erase would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TColorCheckBox::setBorderColor(const QColor &color)
{
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    update();
}

void TColorCheckBox::setColor(const QColor &color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

QRect TColorCheckBox::BoxRect(int h)
{
    // (0, 2)-(13, 15) moved down by (h - 16) div 2; div rounds towards zero.
    return QRect(QPoint(0, 2), QPoint(12, 14)).translated(0, (h - 16) / 2);
}

bool TColorCheckBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void TColorCheckBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    const int h = r.height();
    QRect box = BoxRect(h);
    p.fillRect(r, color_);
    p.fillRect(box, QColor(128, 128, 128));
    box.adjust(1, 1, -1, -1);
    p.fillRect(box, Qt::white);
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        const QFontMetrics fm(font());
        p.drawText(QPoint(17, (h - fm.height()) / 2 + fm.ascent()), text());
    }
    if (checkState() == Qt::Checked) {
        // Three passes of a one-pixel line give a tick three pixels thick. Lines are drawn without their end
        // point, as the platform's line drawing does.
        const int x = box.left() + 2;
        const int y = box.top() + 4;
        p.setPen(QPen(Qt::black, 1));
        for (int i = 0; i < 3; ++i) {
            // (x, y+i) -> (x+2, y+i+2): the diagonal down, end point included by the next segment.
            for (int k = 0; k < 2; ++k)
                p.drawPoint(x + k, y + i + k);
            // (x+2, y+i+2) -> (x+7, y+i-3): up to, not including, the end point.
            for (int k = 0; k < 5; ++k)
                p.drawPoint(x + 2 + k, y + i + 2 - k);
        }
    }
}

} // namespace lumora
