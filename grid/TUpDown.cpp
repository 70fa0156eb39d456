#include "TUpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace lumora
{

TUpDown::TUpDown(QWidget *parent) : QWidget(parent)
{
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    for (QToolButton *b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(16);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void TUpDown::setAssociate(QLineEdit *edit)
{
    if (edit_)
        edit_->removeEventFilter(this);
    edit_ = edit;
    if (edit_) {
        edit_->installEventFilter(this);
        // Sits beside the edit at its height, as the arrows of an edit do.
        setFixedHeight(edit_->sizeHint().height());
    }
}

void TUpDown::setRange(int min, int max)
{
    min_ = std::min(min, max);
    max_ = std::max(min, max);
    position_ = std::clamp(position_, min_, max_);
}

void TUpDown::setPosition(int position)
{
    position_ = std::clamp(position, min_, max_);
    if (edit_)
        edit_->setText(QString::number(position_));
}

void TUpDown::stepBy(int steps)
{
    if (edit_) {
        bool ok = false;
        const int typed = edit_->text().trimmed().toInt(&ok);
        if (ok)
            position_ = std::clamp(typed, min_, max_);
    }
    // Computed in 64 bits: a step from the range's end must not overflow.
    setPosition(static_cast<int>(std::clamp<qint64>(qint64(position_) + steps, min_, max_)));
}

bool TUpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up) {
                stepBy(1);
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                stepBy(-1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumora
