#pragma once

#include <QColor>
#include <QLabel>

namespace lumora
{

// A flat panel used as a button: caption centred on a plain background, clicked when released over it.
class ClickPanel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickPanel(const QString &caption, QWidget *parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor &color);
    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor &color);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyPalette();

    QColor color_ = Qt::white;
    QColor textColor_ = Qt::black;
    bool pressed_ = false;
};

} // namespace lumora
