#pragma once

#include <QCheckBox>
#include <QColor>

namespace lumora
{

// A check box that draws itself entirely: a grey-framed white box, a three-pixel black tick and the caption at
// x 17 on a solid Color background. No focus rectangle and no disabled look.
class TColorCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit TColorCheckBox(QWidget *parent = nullptr);
    explicit TColorCheckBox(const QString &caption, QWidget *parent = nullptr);

    // Stored only: the drawing does not use it.
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor &color);
    QColor color() const { return color_; }
    void setColor(const QColor &color);

    // Box rectangle for a control of height h (left, top, right and bottom exclusive as in (0, 2, 13, 15)).
    static QRect BoxRect(int h);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QColor borderColor_;
    QColor color_;
};

} // namespace lumora
