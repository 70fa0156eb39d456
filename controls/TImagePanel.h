#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace lumora
{

// The container of the skin: a panel with bevels, a BorderWidth band, border lines on chosen sides, a stretched
// FillImage and, when Transparent, the parent's look behind it with BkImage on top. Children are laid out inside
// the bevels and the band (they are the widget's contents margins), docked with setAlign().
class TImagePanel : public QWidget
{
    Q_OBJECT
public:
    enum BevelCut { bvNone, bvLowered, bvRaised };
    enum BorderBrawKind { bbkLeft = 0x1, bbkTop = 0x2, bbkRight = 0x4, bbkBottom = 0x8 };
    Q_DECLARE_FLAGS(BorderBrawKinds, BorderBrawKind)

    explicit TImagePanel(QWidget *parent = nullptr);

    BevelCut bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(BevelCut cut);
    BevelCut bevelInner() const { return bevelInner_; }
    void setBevelInner(BevelCut cut);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);

    QColor color() const { return color_; }
    void setColor(const QColor &color);
    QString caption() const { return caption_; }
    void setCaption(const QString &caption);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    // Only stored: the next paint shows it.
    bool transparent() const { return transparent_; }
    void setTransparent(bool on);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor &color);
    QImage bkImage() const { return bkImage_; }
    void setBkImage(const QImage &image);
    QImage fillImage() const { return fillImage_; }
    void setFillImage(const QImage &image);
    BorderBrawKinds borderBrawKinds() const { return borderBrawKinds_; }
    void setBorderBrawKinds(BorderBrawKinds kinds);
    // Thickness of the border lines when above 0; otherwise BorderWidth is. Only stored: the next paint shows it.
    int borderWidth_v() const { return borderWidth_v_; }
    void setBorderWidth_v(int width) { borderWidth_v_ = width; }

signals:
    void OnPaint(lumora::TImagePanel *sender);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateMargins();
    void paintPanel(QPainter &p) const;
    void paintDecoration(QPainter &p) const;

    BevelCut bevelOuter_ = bvRaised;
    BevelCut bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    QColor color_;
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
    bool transparent_ = false;
    QColor borderColor_ = Qt::black;
    QImage bkImage_;
    QImage fillImage_;
    BorderBrawKinds borderBrawKinds_ = BorderBrawKinds(bbkLeft | bbkTop | bbkRight | bbkBottom);
    int borderWidth_v_ = 0;
};

// Paints what `parent` shows behind `child` into `painter` (whose origin is the child's top-left): the parent's
// background and its own painting, without any of its children. Shared by the transparent controls.
void PaintParentBackground(QPainter &painter, const QWidget *child);

} // namespace lumora

Q_DECLARE_OPERATORS_FOR_FLAGS(lumora::TImagePanel::BorderBrawKinds)
