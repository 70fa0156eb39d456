#include "Align.h"

#include <QEvent>
#include <QScopedValueRollback>
#include <QVariant>
#include <QWidget>

namespace lumora
{

namespace
{
const char kAlignProperty[] = "lumoraAlign";
const char kAnchorsProperty[] = "lumoraAnchors";
const char kAnchorBaseProperty[] = "lumoraAnchorBase";

DockLayout *dockLayoutOf(QWidget *parent)
{
    if (!parent)
        return nullptr;
    if (auto *dock = qobject_cast<DockLayout *>(parent->layout()))
        return dock;
    if (parent->layout())
        return nullptr; // the parent is laid out some other way; the value is only stored
    return new DockLayout(parent);
}

void ensureDocked(QWidget *child)
{
    DockLayout *dock = dockLayoutOf(child->parentWidget());
    if (!dock)
        return;
    if (dock->indexOf(child) < 0)
        dock->addWidget(child, alignOf(child));
    dock->invalidate();
    dock->activate();
}
} // namespace

void setAlign(QWidget *child, Align align)
{
    if (!child)
        return;
    child->setProperty(kAlignProperty, static_cast<int>(align));
    ensureDocked(child);
}

Align alignOf(const QWidget *child)
{
    if (!child)
        return Align::None;
    const QVariant value = child->property(kAlignProperty);
    return value.isValid() ? static_cast<Align>(value.toInt()) : Align::None;
}

void setAnchors(QWidget *child, Qt::Edges anchors)
{
    if (!child)
        return;
    child->setProperty(kAnchorsProperty, static_cast<int>(anchors));
    // The child's geometry is taken as fitting the parent's present size.
    if (QWidget *parent = child->parentWidget())
        child->setProperty(kAnchorBaseProperty, parent->contentsRect().size());
    ensureDocked(child);
}

Qt::Edges anchorsOf(const QWidget *child)
{
    const QVariant value = child ? child->property(kAnchorsProperty) : QVariant();
    return value.isValid() ? Qt::Edges(value.toInt()) : Qt::Edges(Qt::LeftEdge | Qt::TopEdge);
}

DockLayout::DockLayout(QWidget *parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    // The windows size themselves; the layout must not impose a minimum size on them.
    setSizeConstraint(QLayout::SetNoConstraint);
}

DockLayout::~DockLayout()
{
    qDeleteAll(items_);
}

void DockLayout::addWidget(QWidget *widget, Align align)
{
    widget->setProperty(kAlignProperty, static_cast<int>(align));
    addChildWidget(widget);
    addItem(new QWidgetItem(widget));
    widget->installEventFilter(this);
}

void DockLayout::addItem(QLayoutItem *item)
{
    items_.append(item);
    invalidate();
}

QLayoutItem *DockLayout::itemAt(int index) const
{
    return items_.value(index);
}

QLayoutItem *DockLayout::takeAt(int index)
{
    if (index < 0 || index >= items_.size())
        return nullptr;
    return items_.takeAt(index);
}

int DockLayout::count() const
{
    return int(items_.size());
}

QSize DockLayout::sizeHint() const
{
    return parentWidget() ? parentWidget()->size() : QSize();
}

QSize DockLayout::minimumSize() const
{
    return QSize(0, 0);
}

bool DockLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && !laying_) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && alignOf(w) != Align::None && alignOf(w) != Align::Client && indexOf(w) >= 0)
            invalidate();
    }
    return QLayout::eventFilter(watched, event);
}

void DockLayout::setGeometry(const QRect &rect)
{
    const QScopedValueRollback<bool> laying(laying_, true);
    QLayout::setGeometry(rect);
    QRect rest = rect;
    const Align order[] = {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client};
    for (Align pass : order) {
        for (QLayoutItem *item : std::as_const(items_)) {
            QWidget *w = item->widget();
            if (!w || w->isHidden() || alignOf(w) != pass)
                continue;
            switch (pass) {
            case Align::Top:
                w->setGeometry(rest.left(), rest.top(), rest.width(), w->height());
                rest.setTop(rest.top() + w->height());
                break;
            case Align::Bottom:
                w->setGeometry(rest.left(), rest.bottom() + 1 - w->height(), rest.width(), w->height());
                rest.setBottom(rest.bottom() - w->height());
                break;
            case Align::Left:
                w->setGeometry(rest.left(), rest.top(), w->width(), rest.height());
                rest.setLeft(rest.left() + w->width());
                break;
            case Align::Right:
                w->setGeometry(rest.right() + 1 - w->width(), rest.top(), w->width(), rest.height());
                rest.setRight(rest.right() - w->width());
                break;
            case Align::Client:
                w->setGeometry(rest.left(), rest.top(), qMax(0, rest.width()), qMax(0, rest.height()));
                break;
            case Align::None:
                break;
            }
        }
    }

    // Anchored children keep their distances to the anchored edges as the parent's size changes: each remembers
    // the parent size its geometry fits.
    for (QLayoutItem *item : std::as_const(items_)) {
        QWidget *w = item->widget();
        if (!w || alignOf(w) != Align::None)
            continue;
        const QVariant base = w->property(kAnchorBaseProperty);
        w->setProperty(kAnchorBaseProperty, rect.size());
        if (!base.isValid())
            continue;
        const int dw = rect.width() - base.toSize().width();
        const int dh = rect.height() - base.toSize().height();
        const Qt::Edges a = anchorsOf(w);
        QRect g = w->geometry();
        if (a & Qt::RightEdge) {
            if (a & Qt::LeftEdge)
                g.setWidth(qMax(0, g.width() + dw));
            else
                g.moveLeft(g.left() + dw);
        }
        if (a & Qt::BottomEdge) {
            if (a & Qt::TopEdge)
                g.setHeight(qMax(0, g.height() + dh));
            else
                g.moveTop(g.top() + dh);
        }
        if (g != w->geometry())
            w->setGeometry(g);
    }
}

} // namespace lumora
