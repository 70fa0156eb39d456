#include "TfrmLockConfirm.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>

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
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace lumora
