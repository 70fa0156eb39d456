#pragma once

#include <QColor>
#include <QComboBox>

namespace lumora
{

// A combo box with the edit's two rings and a drop-down button filled with BorderColor carrying a white striped
// arrow (rows of 7, 5 and 1 pixels, two apart).
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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor borderColor_ = QColor(255, 128, 0);
};

} // namespace lumora
