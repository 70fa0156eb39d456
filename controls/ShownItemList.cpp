#include "ShownItemList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPointer>

namespace lumora
{

namespace
{

// One per box, a child of it: watches the list view for Enter while the highlight is still the one shown.
class ShownItemGuard : public QObject
{
public:
    explicit ShownItemGuard(QComboBox *box) : QObject(box), box_(box)
    {
        setObjectName(QStringLiteral("ShownItemGuard"));
        // Installed after the list's own filter, so this one sees the keys first.
        box->view()->installEventFilter(this);
    }

    void highlight(int row)
    {
        QAbstractItemView *view = box_->view();
        QItemSelectionModel *selection = view->selectionModel();
        disconnect(moved_);
        const QModelIndex index =
            row >= 0 ? box_->model()->index(row, box_->modelColumn(), box_->rootModelIndex()) : QModelIndex();
        if (index.isValid()) {
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            view->scrollTo(index, QAbstractItemView::PositionAtCenter);
        } else {
            selection->clear();
        }
        untouched_ = true;
        moved_ = connect(selection, &QItemSelectionModel::currentChanged, this, [this] { untouched_ = false; });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (!untouched_ || (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress))
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        box_->hidePopup();
        key->accept();
        return true;
    }

private:
    QPointer<QComboBox> box_;
    QMetaObject::Connection moved_;
    bool untouched_ = false;
};

} // namespace

void HighlightShownItem(QComboBox *box, int row)
{
    if (!box || !box->view()->isVisible())
        return;
    auto *guard = box->findChild<ShownItemGuard *>(QStringLiteral("ShownItemGuard"), Qt::FindDirectChildrenOnly);
    if (!guard)
        guard = new ShownItemGuard(box);
    guard->highlight(row);
}

int ExactItemRow(const QComboBox *box)
{
    return box ? box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
}

} // namespace lumora
