#pragma once

#include <QColor>
#include <QLineEdit>

namespace lumora
{

// A one-line edit without the system frame: a 2-pixel band holds a one-pixel BorderColor ring outside a one-pixel
// ring of the background Color.
class TColorBorderEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TColorBorderEdit(QWidget *parent = nullptr);

    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor &color);
    // The background (the palette's base colour).
    QColor color() const;
    void setColor(const QColor &color);
    // Masks the text with `mask` for each character typed (a password box).
    void setPasswordChar(QChar mask);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor borderColor_ = Qt::black;
};

// The two rings shared by the edit and the combo box.
void PaintBorderRings(QPainter &painter, const QRect &rect, const QColor &border, const QColor &background);

} // namespace lumora
