#pragma once

#include <QLayout>
#include <QList>

namespace lumora
{

// Docking of children the way the windows are designed: each aligned child takes a band off the space that the
// children before it left over, in the order they were docked. Top bands first, then bottom, left, right, and the
// client child gets what remains. Hidden children take no space.
enum class Align { None, Top, Bottom, Left, Right, Client };

// Docks a child in its parent (which must be set already); the parent gets a DockLayout if it has no layout.
// A child that is not docked (Align::None) keeps its geometry unless it is anchored (setAnchors).
void setAlign(QWidget *child, Align align);
Align alignOf(const QWidget *child);

// Edges that keep their distance to the parent's edges when the parent is resized (default left and top).
// Anchored right without left: the child moves with the right edge; anchored left and right: it stretches.
void setAnchors(QWidget *child, Qt::Edges anchors);
Qt::Edges anchorsOf(const QWidget *child);

class DockLayout : public QLayout
{
    Q_OBJECT
public:
    explicit DockLayout(QWidget *parent = nullptr);
    ~DockLayout() override;

    void addWidget(QWidget *widget, Align align);

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

protected:
    // A docked child that is resized by hand (a splitter, a view switch) docks again with its new size.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLayoutItem *> items_;
    bool laying_ = false;
};

} // namespace lumora
