#include "CategoryBox.h"

#include "CategoryList.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>

namespace lumora
{

void FillCategoryBox(QComboBox *box, const QStringList &leadingItems)
{
    if (!box)
        return;
    const QString typed = box->currentText();
    {
        // The items change, not the user's choice: no change events for the refill itself.
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(leadingItems + SplitCategoryLines(CategoryListText));
        // The current item follows the text, so the list does not drop down on the first row.
        box->setCurrentIndex(box->findText(typed, Qt::MatchExactly | Qt::MatchCaseSensitive));
        if (box->isEditable())
            box->setEditText(typed);
    }
}

namespace
{

class DropDownFiller : public QObject
{
public:
    DropDownFiller(QComboBox *box, const QStringList &leadingItems) : QObject(box), box_(box), leading_(leadingItems) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (isDropDownTrigger(watched, event))
            FillCategoryBox(box_, leading_);
        return false;
    }

private:
    bool isDropDownTrigger(QObject *watched, QEvent *event) const
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // Presses inside an editable box's text field place the cursor; only the box itself drops down.
            return watched == box_.data() && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F4)
                return true;
            // A box without a text field also drops down on Space.
            if (key->key() == Qt::Key_Space && !box_->isEditable() && key->modifiers() == Qt::NoModifier)
                return true;
            return (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) &&
                   key->modifiers().testFlag(Qt::AltModifier);
        }
        default:
            return false;
        }
    }

    QPointer<QComboBox> box_;
    QStringList leading_;
};

} // namespace

void BindCategoryBox(QComboBox *box, const QStringList &leadingItems)
{
    if (!box)
        return;
    FillCategoryBox(box, leadingItems);
    auto *filler = new DropDownFiller(box, leadingItems);
    box->installEventFilter(filler);
    if (QLineEdit *edit = box->lineEdit())
        edit->installEventFilter(filler);
}

} // namespace lumora
