#include "TfrmLockConfirm.h"

#include "util/DialogParts.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace lumora
{

TfrmLockConfirm::TfrmLockConfirm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("确定要锁定吗?"));
    setModal(true);
    auto *row = new QHBoxLayout(this);
    auto *lock = new QPushButton(QStringLiteral("锁定"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    lock->setDefault(true);
    row->addWidget(lock);
    row->addWidget(cancel);
    connect(lock, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(240, 80);
    CentreOnScreen(this);
}

} // namespace lumora
