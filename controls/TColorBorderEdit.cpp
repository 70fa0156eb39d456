#include "TColorBorderEdit.h"

#include <QPainter>
#include <QProxyStyle>

namespace lumora
{

namespace
{
// The desktop style with one change: the character a password edit shows for each one typed.
class PasswordCharStyle : public QProxyStyle
{
public:
    explicit PasswordCharStyle(QChar mask) : mask_(mask) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return mask_.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar mask_;
};
} // namespace

void PaintBorderRings(QPainter &painter, const QRect &rect, const QColor &border, const QColor &background)
{
    auto ring = [&painter](const QRect &r, const QColor &c) {
        if (r.width() <= 0 || r.height() <= 0)
            return;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
    };
    ring(rect, border);
    ring(rect.adjusted(1, 1, -1, -1), background);
}

TColorBorderEdit::TColorBorderEdit(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    // The 2-pixel band in which the rings are drawn.
    setTextMargins(2, 2, 2, 2);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void TColorBorderEdit::setBorderColor(const QColor &color)
{
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    update();
}

QColor TColorBorderEdit::color() const
{
    return palette().color(QPalette::Base);
}

void TColorBorderEdit::setColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

void TColorBorderEdit::setPasswordChar(QChar mask)
{
    auto *style = new PasswordCharStyle(mask);
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
}

void TColorBorderEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter p(this);
    PaintBorderRings(p, rect(), borderColor_, color());
}

} // namespace lumora
