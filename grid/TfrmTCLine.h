#pragma once

#include "core/ItemInfo.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace lumora
{

class TColorBorderComboBox;
class THttpThreadControl;
class TImagePanel;
class TPNGButtonEx;
class TfrmVGrid;
struct TakenRecord;

// One row of the record grid: edits its own copy of a record in place, keyboard first, and saves, deletes and
// locks that record. The grid re-binds the same editor to whatever record its slot shows.
class TfrmTCLine : public QWidget
{
    Q_OBJECT
public:
    static constexpr int LineHeight = 32;
    static constexpr int LineWidth = 809; // the cells from the name to the "more" button

    explicit TfrmTCLine(TfrmVGrid *grid, QWidget *parent = nullptr);
    ~TfrmTCLine() override;

    TItemInfo Info;
    int RecordIndex = -1;
    int SlotPosition = 0;
    bool Binding = false;
    QString PendingSaveId; // id_guid of the last save sent, cleared when its reply is matched

    // Cells and fields, named as the rest of the program refers to them.
    TImagePanel *pnlLine = nullptr;
    TImagePanel *pnlName1 = nullptr;
    TImagePanel *ImagePanel4 = nullptr;
    TImagePanel *ImagePanel2 = nullptr;
    TImagePanel *ImagePanel1 = nullptr;
    TImagePanel *ImagePanel5 = nullptr;
    TImagePanel *ImagePanel6 = nullptr;
    QLabel *conNew = nullptr;
    QLabel *txtIndex = nullptr;
    QLineEdit *name1 = nullptr;
    QLineEdit *money1 = nullptr;
    TColorBorderComboBox *in1 = nullptr;
    QLabel *in1_tag = nullptr;
    TColorBorderComboBox *type1 = nullptr;
    TPNGButtonEx *type1_add = nullptr;
    QLineEdit *create_time = nullptr;
    TPNGButtonEx *create_time_POP = nullptr;
    TPNGButtonEx *btnSave = nullptr;
    QLabel *txtSave = nullptr;
    QLabel *input_user = nullptr;
    TPNGButtonEx *is_lock = nullptr;
    TPNGButtonEx *PNGButtonEx1 = nullptr;
    QLabel *id = nullptr;
    QMenu *PopupMenu_more = nullptr;
    QAction *N_SumMonth = nullptr;
    QAction *N_LockRec = nullptr;
    QAction *N4 = nullptr;
    QAction *N1 = nullptr;

    // The request component of the newest save, delete and lock; each request has its own, so a reply always
    // knows which record it answers.
    QPointer<THttpThreadControl> httpSave;
    QPointer<THttpThreadControl> httpDelete;
    QPointer<THttpThreadControl> httpLock;

    TfrmVGrid *grid() const { return grid_; }

    void Bind();
    void Activate();
    void Commit(bool modified);
    void RefreshStatus();
    void SaveAndAdvance();
    void FocusNextLine();
    void NextLine();
    void PreviousLine();

    void SaveRecord();
    // Posts the delete of the record with that key; the reply removes it wherever it is then.
    void DeleteRecord(const QString &idGuid, int index);
    void LockRecord();

    // The record this line shows, as a command takes it before a question or dialog.
    TakenRecord TakeRecord() const;

    // Shows the status as the caption and hint of txtSave and stores it in StatusText.
    void SetStatus(const QString &status);
    void SetActiveLook(bool active);

    // Depth-first over the child widgets in child order, by object name.
    static QWidget *FindControlByName(QWidget *root, const QString &name);

    // Menu and button handlers.
    void btnSaveClick();
    void PNGButtonEx1Click();
    void N_SumMonthClick();
    void N4Click();
    void N1Click();
    void type1DropDown();
    void type1_addClick();
    void create_time_POPClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    void FieldEnter(QWidget *field);
    void FieldExit(QWidget *field);
    bool FieldKeyDown(QWidget *field, int key);
    bool FieldKeyUp(QWidget *field, int key);
    void FieldChanged(QWidget *field);
    void FocusField(QWidget *field);
    bool OwnListOpen(QWidget *field) const;
    void ScrollOneAndStay();
    THttpThreadControl *NewRequest();
    void SendLock(const TItemInfo &sent, int index);
    void SetRecordDate(const TakenRecord &taken, const QString &date);

    void httpSaveHttpData(THttpThreadControl *http, const TItemInfo &sent);
    void httpDeleteHttpData(THttpThreadControl *http, const QString &sentId, int sentIndex);
    void httpLockHttpData(THttpThreadControl *http, const TItemInfo &sent, int sentIndex);
    void httpSaveHttpError(THttpThreadControl *http);

    TfrmVGrid *grid_;
};

} // namespace lumora
