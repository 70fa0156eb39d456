#pragma once

#include <QColor>
#include <QComboBox>

namespace lumora
{

// A combo box with the edit's two rings and a drop-down button filled with BorderColor carrying a white striped
// arrow (rows of 7, 5 and 1 pixels, two apart). Its list opens on the item the box shows, and the wheel steps it only
// while it has the focus: a wheel turned over a line of records must not change that record.
class TColorBorderComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TColorBorderComboBox(QWidget *parent = nullptr);

    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor &color);
    // The background (the palette's base colour).
    QColor color() const;
    void setColor(const QColor &color);

    // The drop-down button's rectangle in the control's coordinates.
    QRect buttonRect() const;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QColor borderColor_ = QColor(255, 128, 0);
};

} // namespace lumora
