#pragma once

#include <QWidget>

namespace lumora
{

// A docked splitter bar: aligned left, right, top or bottom next to the control it resizes (its neighbour, the
// first visible and enabled sibling that holds the point just beyond the bar on the neighbour's side).
class DockSplitter : public QWidget
{
    Q_OBJECT
public:
    explicit DockSplitter(QWidget *parent = nullptr);

    int minSize() const { return minSize_; }
    void setMinSize(int size) { minSize_ = size; }

    QWidget *neighbour() const;
    static QWidget *FindNeighbour(const QWidget *splitter);

signals:
    void moved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int minSize_ = 30;
    bool dragging_ = false;
    QPoint last_;
};

} // namespace lumora
