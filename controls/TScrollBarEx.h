#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace lumora
{

// A vertical scrollbar drawn from three pictures. It scrolls nothing itself: it keeps a position between 0 and
// Max and reports the user's actions, a drag on every move and a release on an arrow or on the track.
class TScrollBarEx : public QWidget
{
    Q_OBJECT
public:
    explicit TScrollBarEx(QWidget *parent = nullptr);

    // Setting Max, Position or Transparent only stores the value: no event, no repaint.
    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; }
    QColor color() const { return color_; }
    void setColor(const QColor &color);
    QImage arrowTopImage() const { return arrowTop_; }
    void setArrowTopImage(const QImage &image);
    QImage arrowBottomImage() const { return arrowBottom_; }
    void setArrowBottomImage(const QImage &image);
    QImage dragVImage() const { return dragV_; }
    void setDragVImage(const QImage &image);
    QImage dragHImage() const { return dragH_; } // stored, never drawn
    void setDragHImage(const QImage &image) { dragH_ = image; }
    int max() const { return max_; }
    void setMax(int max) { max_ = max; }
    double position() const { return position_; }
    void setPosition(double position) { position_ = position; }

    int trackLength() const;
    int thumbTop() const;
    void Repaint() { update(); }

signals:
    void OnPaint();
    void OnChange();
    void OnChangeAtUp();
    void OnChangeAddOne();
    void OnChangeDecOne();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool transparent_ = false;
    QColor color_;
    QImage arrowTop_;
    QImage arrowBottom_;
    QImage dragV_;
    QImage dragH_;
    int max_ = 1000;
    double position_ = 0;
    bool dragging_ = false;
    double lastY_ = 0;
};

} // namespace lumora
