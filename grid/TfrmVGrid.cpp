#include "TfrmVGrid.h"

#include "TfrmItem.h"
#include "TfrmLockConfirm.h"
#include "TfrmTCLine.h"
#include "VGridMath.h"

#include "controls/SkinImages.h"
#include "controls/TScrollBarEx.h"
#include "lists/CategoryList.h"
#include "util/MessageSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace lumora
{

TfrmVGrid::TfrmVGrid(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmVGrid"));
    auto *outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel11 = outer;
    Panel11->setObjectName(QStringLiteral("Panel11"));
    auto *fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(Panel11);
    auto *row = new QHBoxLayout(Panel11);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);

    Panel1 = new QWidget(Panel11);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
    Panel1->installEventFilter(this);
    // Never narrower than a line, so a narrow record area scrolls sideways instead of cutting the line's last cell.
    Panel1->setMinimumWidth(TfrmTCLine::LineWidth);
    row->addWidget(Panel1, 1);

    ScrollBarEx_V = new TScrollBarEx(Panel11);
    ScrollBarEx_V->setObjectName(QStringLiteral("ScrollBarEx_V"));
    ScrollBarEx_V->setFixedWidth(19);
    ScrollBarEx_V->setColor(QColor(0x27, 0x27, 0x27)); // TColor 2565927
    ScrollBarEx_V->setMax(ScrollMax);
    ScrollBarEx_V->setArrowTopImage(SkinImage(QStringLiteral("scroll_up")));
    ScrollBarEx_V->setArrowBottomImage(SkinImage(QStringLiteral("scroll_down")));
    ScrollBarEx_V->setDragVImage(SkinImage(QStringLiteral("scroll_thumb")));
    connect(ScrollBarEx_V, &TScrollBarEx::OnChange, this, &TfrmVGrid::ScrollBarEx_VChange);
    connect(ScrollBarEx_V, &TScrollBarEx::OnChangeAddOne, this, &TfrmVGrid::ScrollBarEx_VChangeAddOne);
    connect(ScrollBarEx_V, &TScrollBarEx::OnChangeDecOne, this, &TfrmVGrid::ScrollBarEx_VChangeDecOne);
    row->addWidget(ScrollBarEx_V);

    TopIndex = 0;
    linePool_.reserve(PoolSize);
    slots_.reserve(PoolSize);
}

void TfrmVGrid::BuildSlot()
{
    const int i = static_cast<int>(slots_.size());
    auto *slot = new TfrmItem(this, i, Panel1);
    slot->setObjectName(QStringLiteral("frmItem%1").arg(i));
    slots_.append(slot);
    linePool_.append(slot->line);
    slot->setBlank(true);
    slot->setGeometry(0, i * TfrmTCLine::LineHeight, Panel1->width(), TfrmTCLine::LineHeight);
    if (Panel1->isVisible())
        slot->show(); // a child added to a shown widget stays hidden until shown itself
}

void TfrmVGrid::BuildSlots()
{
    if (slots_.size() == PoolSize)
        return;
    while (slots_.size() < PoolSize)
        BuildSlot();
    StopIdleBuild();
}

void TfrmVGrid::StopIdleBuild()
{
    if (idleBuild_)
        idleBuild_->stop();
    if (idleWindow_)
        idleWindow_->removeEventFilter(this);
    idleWindow_ = nullptr;
}

void TfrmVGrid::BuildSlotsWhileIdle(QWidget *window)
{
    if (slots_.size() == PoolSize)
        return;
    idleWindow_ = window;
    if (!idleBuild_) {
        idleBuild_ = new QTimer(this);
        idleBuild_->setInterval(0);
        connect(idleBuild_, &QTimer::timeout, this, [this] {
            // One line per turn of the event loop, so keys typed meanwhile wait no longer than one line takes.
            if (!idleWindow_ || !idleWindow_->isActiveWindow()) {
                idleBuild_->stop(); // resumed when the window is active again
                return;
            }
            if (slots_.size() < PoolSize)
                BuildSlot();
            if (slots_.size() == PoolSize)
                StopIdleBuild();
        });
    }
    window->installEventFilter(this);
    if (window->isActiveWindow())
        idleBuild_->start();
}

const QList<TfrmItem *> &TfrmVGrid::Slots()
{
    BuildSlots();
    return slots_;
}

const QList<TfrmTCLine *> &TfrmVGrid::LinePool()
{
    BuildSlots();
    return linePool_;
}

void TfrmVGrid::showEvent(QShowEvent *event)
{
    BuildSlots();
    QWidget::showEvent(event);
}

TfrmVGrid::~TfrmVGrid() = default;

bool TfrmVGrid::eventFilter(QObject *watched, QEvent *event)
{
    // Building waits until the window is active: keys typed before that reach no window, and building meanwhile
    // would put off the activation.
    if (watched == idleWindow_ && event->type() == QEvent::WindowActivate && slots_.size() < PoolSize)
        idleBuild_->start();
    if (watched == Panel1 && event->type() == QEvent::Resize)
        LayoutSlots();
    return QWidget::eventFilter(watched, event);
}

void TfrmVGrid::LayoutSlots()
{
    // Slots below the bottom of Panel1 exist and are bound; they are only clipped.
    const int width = Panel1->width();
    for (int i = 0; i < slots_.size(); ++i)
        slots_[i]->setGeometry(0, i * TfrmTCLine::LineHeight, width, TfrmTCLine::LineHeight);
}

void TfrmVGrid::ShowFrom(int top)
{
    BuildSlots();
    top = VGridMath::ClampTop(top, RecordCount());
    TopIndex = top;
    for (int i = 0; i < PoolSize; ++i) {
        const int r = top + i;
        TfrmItem *slot = slots_[i];
        if (r > RecordCount() - 1) {
            slot->setBlank(true);
            continue;
        }
        slot->setBlank(false);
        TfrmTCLine *line = slot->line;
        line->Info = RecordList[r];
        line->RecordIndex = r;
        line->Bind();
    }
}

void TfrmVGrid::SetThumb(double position)
{
    ScrollBarEx_V->setPosition(position);
    ScrollBarEx_V->Repaint();
}

void TfrmVGrid::ScrollTo(int top)
{
    ShowFrom(top);
    SetThumb(VGridMath::ThumbAfterScrollTo(TopIndex, RecordCount(), ScrollBarEx_V->max()));
}

int TfrmVGrid::VisibleLineCount() const
{
    // Every slot has the line's fixed height, also before slot 0 is built.
    return VGridMath::VisibleLineCount(height(), slots_.isEmpty() ? TfrmTCLine::LineHeight : slots_[0]->height());
}

TfrmTCLine *TfrmVGrid::LineOfFocus() const
{
    // The window's focus widget, so the answer holds also while the window is not the active one.
    QWidget *focused = window()->focusWidget();
    for (QWidget *w = focused; w; w = w->parentWidget()) {
        if (auto *line = qobject_cast<TfrmTCLine *>(w))
            return line->grid() == this ? line : nullptr;
    }
    return nullptr;
}

TfrmTCLine *TfrmVGrid::ActiveLine() const
{
    return LineOfFocus();
}

bool TfrmVGrid::HasUnsavedLines() const
{
    // Every record counts, also one scrolled out of all editors; the editors' copies count while they show one.
    for (const TItemInfo &info : RecordList)
        if (info.Modified)
            return true;
    // Slots not built yet show no record.
    for (const TfrmTCLine *line : linePool_)
        if (!line->isHidden() && line->Info.Modified)
            return true;
    return false;
}

void TfrmVGrid::AppendBlankRecord()
{
    TItemInfo blank;
    blank.IsNew = true;
    blank.in1 = QStringLiteral("0");
    blank.create_time = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    blank.type1 = FirstCategory(CategoryListText);
    RecordList.append(blank);
}

void TfrmVGrid::ScrollToEnd()
{
    ShowFrom(RecordCount() - VisibleLineCount());
    ScrollTo(TopIndex);
    for (TfrmTCLine *line : linePool_) {
        if (!line->isHidden() && line->RecordIndex == RecordCount() - 1) {
            line->name1->setFocus(); // ignored by Qt when the window is hidden
            break;
        }
    }
}

TfrmTCLine *TfrmVGrid::FindLineById(const QString &idGuid) const
{
    if (idGuid.isEmpty())
        return nullptr;
    for (TfrmTCLine *line : linePool_)
        if (!line->isHidden() && line->Info.id_guid == idGuid)
            return line;
    return nullptr;
}

int TfrmVGrid::IndexOfRecordId(const QString &idGuid) const
{
    if (idGuid.isEmpty())
        return -1;
    for (int i = 0; i < RecordList.size(); ++i)
        if (RecordList[i].id_guid == idGuid)
            return i;
    return -1;
}

int TfrmVGrid::FindRecord(const TakenRecord &taken) const
{
    if (!taken.id_guid.isEmpty())
        return IndexOfRecordId(taken.id_guid);
    if (taken.index < 0 || taken.index >= RecordCount())
        return -1;
    const TItemInfo &record = RecordList[taken.index];
    return record.id_guid.isEmpty() && record.name1 == taken.name1 ? taken.index : -1;
}

int TfrmVGrid::RecordOfReply(const QString &idGuid, int sentIndex) const
{
    if (!idGuid.isEmpty())
        return IndexOfRecordId(idGuid);
    if (sentIndex >= 0 && sentIndex < RecordCount() && RecordList[sentIndex].id_guid.isEmpty())
        return sentIndex;
    return -1;
}

TfrmTCLine *TfrmVGrid::LineOfRecord(int index) const
{
    if (index < 0)
        return nullptr;
    for (TfrmTCLine *line : linePool_)
        if (!line->isHidden() && line->RecordIndex == index)
            return line;
    return nullptr;
}

void TfrmVGrid::RemoveRecord(int index)
{
    if (index < 0 || index >= RecordCount())
        return;
    RecordList.removeAt(index);
    ShowFrom(TopIndex);
}

bool TfrmVGrid::PreviewArrowKey(int key)
{
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    if (auto *combo = qobject_cast<QComboBox *>(window()->focusWidget()))
        if (combo->view() && combo->view()->isVisible())
            return false;
    if (key == Qt::Key_Down)
        NextLine();
    else
        PreviousLine();
    return true;
}

void TfrmVGrid::NextLine()
{
    TfrmTCLine *line = LineOfFocus();
    if (!line)
        return;
    const QString field = window()->focusWidget()->objectName();
    const int slot = static_cast<int>(linePool_.indexOf(line));
    TfrmTCLine *target = slot + 1 < linePool_.size() ? linePool_[slot + 1] : line;
    if (target->isHidden() || slot == VGridMath::LastVisibleSlot(VisibleLineCount())) {
        ShowFrom(TopIndex + 1); // the cursor follows its record
        return;
    }
    if (QWidget *w = TfrmTCLine::FindControlByName(target, field))
        w->setFocus();
}

void TfrmVGrid::PreviousLine()
{
    TfrmTCLine *line = LineOfFocus();
    if (!line)
        return;
    const QString field = window()->focusWidget()->objectName();
    const int slot = static_cast<int>(linePool_.indexOf(line));
    if (slot == 0) {
        ShowFrom(TopIndex - 1);
        return;
    }
    if (QWidget *w = TfrmTCLine::FindControlByName(linePool_[slot - 1], field))
        w->setFocus();
}

void TfrmVGrid::DeleteActiveRecord()
{
    TfrmTCLine *line = ActiveLine();
    if (!line) {
        ShowMessage(QStringLiteral("尚未选择要操作的记录."));
        return;
    }
    const TakenRecord taken = line->TakeRecord();
    if (!ConfirmYesNo(QStringLiteral("确实要删除此记录吗? [名称:") + taken.name1 + QStringLiteral("]")))
        return;
    const int index = FindRecord(taken);
    if (index < 0)
        return; // deleted or replaced while the question was open
    if (RecordList[index].IsNew) {
        ShowMessage(QStringLiteral("此为空记录,无需删除."));
        return;
    }
    // The asking line owns the request; the reply finds the record by its key.
    line->DeleteRecord(RecordList[index].id_guid, index);
}

bool TfrmVGrid::ConfirmLock()
{
    if (!lockConfirm_)
        lockConfirm_ = new TfrmLockConfirm(window());
    return lockConfirm_->exec() == QDialog::Accepted;
}

void TfrmVGrid::ScrollBarEx_VChange()
{
    ShowFrom(VGridMath::TopForDrag(RecordCount(), ScrollBarEx_V->position(), ScrollBarEx_V->max()));
}

void TfrmVGrid::ScrollBarEx_VChangeAddOne()
{
    ShowFrom(TopIndex + 1);
    SetThumb(VGridMath::ThumbAfterArrow(TopIndex, RecordCount(), ScrollBarEx_V->max()));
}

void TfrmVGrid::ScrollBarEx_VChangeDecOne()
{
    ShowFrom(TopIndex - 1);
    SetThumb(VGridMath::ThumbAfterArrow(TopIndex, RecordCount(), ScrollBarEx_V->max()));
}

} // namespace lumora
