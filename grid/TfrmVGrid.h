#pragma once

#include "core/ItemInfo.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QTimer;

namespace lumora
{

// A record as a command found it before asking the user: after the answer the command acts on this record only,
// found again with FindRecord, since a reply that arrived meanwhile may have re-bound the line.
struct TakenRecord {
    QString id_guid;
    QString name1;
    int index = -1;
};

class TfrmItem;
class TfrmLockConfirm;
class TfrmTCLine;
class TScrollBarEx;

// The record area: the whole page in RecordList, shown through a fixed pool of 31 line editors that scrolling
// re-binds instead of creating or destroying widgets.
class TfrmVGrid : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PoolSize = 31;
    static constexpr int ScrollMax = 1000;

    explicit TfrmVGrid(QWidget *parent = nullptr);
    ~TfrmVGrid() override;

    QList<TItemInfo> RecordList;
    // The 31 slots and their editors; asking for them builds any not built yet.
    const QList<TfrmItem *> &Slots();
    const QList<TfrmTCLine *> &LinePool(); // entry i is the editor in slot i
    // Builds the editors not built yet one at a time while the event loop is idle and `window` is active, so that
    // the first page need not wait for them after the sign-in in `window`.
    void BuildSlotsWhileIdle(QWidget *window);
    // The editors built so far, without building the others: none of them shows a record before all are built.
    const QList<TfrmTCLine *> &BuiltLines() const { return linePool_; }
    int TopIndex = 0;
    int ActiveRecordIndex = 0;
    QString ActiveFieldName;
    QPointer<TfrmTCLine> ActiveLineEditor; // the line activated last

    QWidget *Panel11 = nullptr;
    TScrollBarEx *ScrollBarEx_V = nullptr;
    QWidget *Panel1 = nullptr;

    int RecordCount() const { return static_cast<int>(RecordList.size()); }
    void ShowFrom(int top);
    void ScrollTo(int top);
    int VisibleLineCount() const;
    TfrmTCLine *ActiveLine() const;
    bool HasUnsavedLines() const;
    void AppendBlankRecord();
    void ScrollToEnd();
    TfrmTCLine *FindLineById(const QString &idGuid) const;
    int IndexOfRecordId(const QString &idGuid) const;
    // The index of a taken record now: by id_guid, or for a record without one the same index when it still holds
    // a record without one and of the same name; -1 when it is gone.
    int FindRecord(const TakenRecord &taken) const;
    // The record a delete or lock reply answers: by id_guid, or for a record sent without one the record at the
    // index it had, while that still has none; -1 when it is gone.
    int RecordOfReply(const QString &idGuid, int sentIndex) const;
    // The shown line editor that holds the record at index, or none.
    TfrmTCLine *LineOfRecord(int index) const;
    void RemoveRecord(int index);

    // Up and Down as the main window's key preview sees them; false when the key is left to an open list.
    bool PreviewArrowKey(int key);
    void NextLine();
    void PreviousLine();

    // The main window's delete command ("删除"): question, blank-record check, then the delete request of the record
    // the line showed when the question was asked.
    void DeleteActiveRecord();

    void ScrollBarEx_VChange();
    void ScrollBarEx_VChangeAddOne();
    void ScrollBarEx_VChangeDecOne();

    // Hooks the main window fills: the month recount of a line's menu, and the category list dialog.
    std::function<void(const QDateTime &)> OnRecountMonth;
    std::function<void()> OnEditCategories;
    // Answers the lock question instead of the dialog when set (tests).
    std::function<bool()> OnConfirmLock;

    // The lock confirmation dialog, created on first use and kept; true when "锁定" was chosen.
    bool ConfirmLock();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPointer<TfrmLockConfirm> lockConfirm_;
    // Built when the grid is first shown or first asked for a line, so that creating the hidden main window before
    // the sign-in does not wait for 31 editors.
    QList<TfrmItem *> slots_;
    QList<TfrmTCLine *> linePool_;
    QTimer *idleBuild_ = nullptr;
    QPointer<QWidget> idleWindow_;
    void BuildSlot();
    void BuildSlots();
    void StopIdleBuild();
    void LayoutSlots();
    void SetThumb(double position);
    TfrmTCLine *LineOfFocus() const;
};

} // namespace lumora
