#pragma once

#include <QDialog>

namespace lumora
{

// "确定要锁定吗?": accepted by "锁定", rejected by "取消".
class TfrmLockConfirm : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmLockConfirm(QWidget *parent = nullptr);
};

} // namespace lumora
