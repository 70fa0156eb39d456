#pragma once

#include <QImage>
#include <QWidget>

namespace lumora
{

// The push button of the skin: PNG pictures for the normal, pressed and hovered looks, a faded picture for the
// disabled look, four placements of picture and caption. It never takes the keyboard focus.
class TPNGButtonEx : public QWidget
{
    Q_OBJECT
public:
    enum TPNGButtonLayout { pbsImageAbove, pbsImageBellow, pbsImageBackground, pbsImageBackground_VS };
    enum TPNGButtonStyle { pbsDefault, pbsFlat };
    enum ButtonState { bsNormal = 0, bsDown = 1, bsDisabled = 2 };

    explicit TPNGButtonEx(QWidget *parent = nullptr);

    int textLeft() const { return textLeft_; }
    void setTextLeft(int value);
    int textTop() const { return textTop_; }
    void setTextTop(int value);
    bool parentDoubleBuffered() const { return parentDoubleBuffered_; }
    void setParentDoubleBuffered(bool on) { parentDoubleBuffered_ = on; }
    TPNGButtonLayout buttonLayout() const { return layout_; }
    void setButtonLayout(TPNGButtonLayout layout);
    QString caption() const { return caption_; }
    void setCaption(const QString &caption);
    QImage imageNormal() const { return imageNormal_; }
    void setImageNormal(const QImage &image);
    QImage imageDown() const { return imageDown_; }
    void setImageDown(const QImage &image);
    QImage imageOver() const { return imageOver_; }
    void setImageOver(const QImage &image);
    TPNGButtonStyle buttonStyle() const { return style_; }
    void setButtonStyle(TPNGButtonStyle style);

    ButtonState buttonState() const { return state_; }
    bool isHot() const { return hot_; }
    QImage disabledImage() const { return disabled_; }

    // Where the next paint puts things: the chosen picture, its top-left, the caption's top-left (or, for
    // pbsImageBackground_VS, its column) and whether the caption is drawn in a column.
    struct Placement {
        QImage image;
        QPoint imagePos;
        QRect textRect;
        bool column = false;
    };
    Placement placement() const;

    // The faded copy of a picture: alpha divided by 3, palette pictures left opaque.
    static QImage MakeDisabledImage(const QImage &normal);

signals:
    void OnClick();
    void OnDblClick();
    void OnMouseDown(QMouseEvent *event);
    void OnMouseUp(QMouseEvent *event);
    void OnMouseMove(QMouseEvent *event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QImage chosenImage() const;

    int textLeft_ = 0;
    int textTop_ = 0;
    bool parentDoubleBuffered_ = true;
    TPNGButtonLayout layout_ = pbsImageAbove;
    QString caption_;
    QImage imageNormal_;
    QImage imageDown_;
    QImage imageOver_;
    QImage disabled_;
    TPNGButtonStyle style_ = pbsDefault;
    bool hot_ = false;
    ButtonState state_ = bsNormal;
};

} // namespace lumora
