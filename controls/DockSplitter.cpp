#include "DockSplitter.h"

#include "Align.h"

#include <QLayout>
#include <QMouseEvent>
#include <QPainter>

namespace lumora
{

DockSplitter::DockSplitter(QWidget *parent) : QWidget(parent)
{
    resize(3, 3);
}

QWidget *DockSplitter::neighbour() const
{
    return FindNeighbour(this);
}

QWidget *DockSplitter::FindNeighbour(const QWidget *splitter)
{
    if (!splitter || !splitter->parentWidget())
        return nullptr;
    const Align align = alignOf(splitter);
    QPoint p = splitter->pos();
    switch (align) {
    case Align::Top:
        p.ry() -= 1;
        break;
    case Align::Bottom:
        p.ry() += splitter->height();
        break;
    case Align::Left:
        p.rx() -= 1;
        break;
    case Align::Right:
        p.rx() += splitter->width();
        break;
    default:
        return nullptr;
    }
    const bool towardsStart = align == Align::Top || align == Align::Left;
    for (QObject *object : splitter->parentWidget()->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (!child || child == splitter || child->isWindow())
            continue;
        if (child->isHidden() || !child->isEnabled())
            continue;
        QRect r = child->geometry();
        // A collapsed control still counts one pixel on the splitter's side.
        if (r.width() == 0)
            r = towardsStart ? QRect(r.left() - 1, r.top(), 1, r.height()) : QRect(r.left(), r.top(), 1, r.height());
        if (r.height() == 0)
            r = towardsStart ? QRect(r.left(), r.top() - 1, r.width(), 1) : QRect(r.left(), r.top(), r.width(), 1);
        if (r.contains(p))
            return child;
    }
    return nullptr;
}

void DockSplitter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
}

void DockSplitter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    last_ = event->globalPosition().toPoint();
}

void DockSplitter::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging_)
        return;
    QWidget *n = neighbour();
    const QPoint now = event->globalPosition().toPoint();
    const QPoint d = now - last_;
    if (!n)
        return;
    last_ = now;
    switch (alignOf(this)) {
    case Align::Left:
        n->resize(qMax(minSize_, n->width() + d.x()), n->height());
        break;
    case Align::Right:
        n->resize(qMax(minSize_, n->width() - d.x()), n->height());
        break;
    case Align::Top:
        n->resize(n->width(), qMax(minSize_, n->height() + d.y()));
        break;
    case Align::Bottom:
        n->resize(n->width(), qMax(minSize_, n->height() - d.y()));
        break;
    default:
        return;
    }
    if (QLayout *layout = parentWidget()->layout()) {
        layout->invalidate();
        layout->activate();
    }
    emit moved();
}

void DockSplitter::mouseReleaseEvent(QMouseEvent *)
{
    dragging_ = false;
}

} // namespace lumora
