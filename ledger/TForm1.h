#pragma once

#include "LedgerParts.h"
#include "controls/TFormVSkin.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QTableWidget;

namespace lumora
{

class ClickPanel;
class DockSplitter;
class TForm_nb;
class TScrollBox;
class TImagePanel;
class TPNGButtonEx;
class TQRXPosition;
class TfrmAdd;
class TfrmMonth;
class TfrmQueryMore;

// The ledger: one page of records from the service, the query modes that choose it, the month totals beside it,
// and the commands on records. Start-up creates it hidden, then calls QueryLast50(0) after the sign-in.
class TForm1 : public TFormVSkin
{
    Q_OBJECT
public:
    // parts: the record grid, page loader and month totals; null gives the real ones (tests pass their own).
    explicit TForm1(std::unique_ptr<LedgerParts> parts = {}, QWidget *parent = nullptr);
    ~TForm1() override;

    // Queries (each returns after posting; the page arrives later).
    void QueryLast50(int page);
    void QueryDay();
    void QueryMonthRange(const QString &begin, const QString &end);
    void ShowMonth(QString month);
    void FillMonthList(const QString &month);
    void ShiftCurrentMonth(int n);
    void RecountMonth(const QDateTime &date);

    void ResetQueryButtons();
    void ShowPagingButtons();
    void ShowTotalLabels();

    // Commands.
    void btnDeleteClick();
    void btnNewClick();
    void btnNew2Click();
    void btnSupperClick();
    void PNGButtonEx9Click();
    void Label4Click();

    LedgerParts *parts() const { return parts_.get(); }
    TfrmAdd *quickAdd() const { return frmAdd_; }

    // The dialogs the window opens: the program's own from the start; tests put their own in.
    std::function<bool(const QString &dateText, QString &picked)> PickDateHandler; // PickDate
    std::function<bool(QString &year, QString &month)> PickMonthHandler;           // TfrmMonth, true on OK
    std::function<void()> OpenQueryMore;                                           // TfrmQueryMore, the expense query
    std::function<void()> OpenCategoryDialog;                                      // TForm_nb
    std::function<void(TfrmAdd *)> SetUpQuickAdd; // called once, when the quick-add dialog is made

    // Query state.
    int CurPage = 0;
    int RecCount = 0;
    int RecCountInPage = 0;
    QString MinMoney;
    QDateTime CurrentDay;
    QString CurrentMonth;

    static const QColor ActiveColor;   // #545454
    static const QColor InactiveColor; // #C0C0C0
    static const QString UnsavedQuestion;
    static const QString FeedbackUrl;
    static const QString HomePageUrl;

    // Controls, named as the rest of the program knows them.
    TPNGButtonEx *PNGButtonEx1 = nullptr;
    TImagePanel *PanelM2 = nullptr;
    TImagePanel *ImagePanel3 = nullptr;
    TImagePanel *ImagePanel10 = nullptr;
    TImagePanel *ImagePanel7 = nullptr;
    TPNGButtonEx *btnDelete = nullptr;
    TPNGButtonEx *btnNew2 = nullptr;
    TPNGButtonEx *btnNew = nullptr;
    QLabel *Label6 = nullptr;
    ClickPanel *Label4 = nullptr;
    ClickPanel *btnSerach_last50 = nullptr;
    ClickPanel *btnSerach_lastMonth = nullptr;
    ClickPanel *btnSerach_Min = nullptr;
    ClickPanel *btnSerach_curRecMonth = nullptr;
    ClickPanel *btnSerach_curRecDay = nullptr;
    ClickPanel *ImagePanel17 = nullptr;
    TPNGButtonEx *PNGButtonEx9 = nullptr;
    TPNGButtonEx *btnSupper = nullptr;
    ClickPanel *btnAddSum = nullptr;
    TImagePanel *PanelM = nullptr;
    QWidget *pnlRecords = nullptr;
    TImagePanel *ImagePanel6 = nullptr;
    TScrollBox *pnlMainGrid = nullptr;
    DockSplitter *Splitter1 = nullptr;
    QTableWidget *gridHj1 = nullptr;
    TImagePanel *Panel_st1 = nullptr;
    TImagePanel *ImagePanel2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *txtPageInfo = nullptr;
    QWidget *pnlPage = nullptr;
    ClickPanel *btnPrePage = nullptr;
    ClickPanel *btnNextPage = nullptr;
    QWidget *pnlDay = nullptr;
    ClickPanel *btnQueryMore_day = nullptr;
    ClickPanel *btnQueryMore_day2 = nullptr;
    QWidget *pnlMonth = nullptr;
    ClickPanel *PNGButtonEx8 = nullptr;
    ClickPanel *PNGButtonEx10 = nullptr;
    QComboBox *txtQueryMonth = nullptr;
    TPNGButtonEx *btnMore1 = nullptr;
    TPNGButtonEx *btnQueryMonth = nullptr;
    TPNGButtonEx *btnQueryLast = nullptr;
    ClickPanel *hj_day_label2 = nullptr;
    QLabel *hj_day_label1 = nullptr;
    QMenu *PopupMenu_more1 = nullptr;
    QAction *N_QueryLast = nullptr;
    QAction *N_QueryDay = nullptr;
    QAction *N_QueryMonth = nullptr;
    TQRXPosition *QRXPosition1 = nullptr;

    // Button handlers of the query modes.
    void btnSerach_last50Click();
    void btnSerach_lastMonthClick();
    void btnSerach_MinClick();
    void btnSerach_curRecMonthClick();
    void PickDayClick(); // hj_day_label2 and btnSerach_curRecDay
    void btnQueryMore_dayClick();
    void btnQueryMore_day2Click();
    void btnNextPageClick();
    void btnPrePageClick();
    void btnQueryLastClick();
    void N_QueryDayClick();
    void btnQueryMonthClick();
    void btnMore1Click();
    void ImagePanel17Click();
    void txtQueryMonthChange();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildCaption();
    void buildTop(QWidget *parent);
    void buildRecordArea(QWidget *parent);
    void buildBottom(QWidget *parent);
    void connectCommands();
    void PageInfoChanged(const PageInfo &page);
    void SendDataQuery(int page, const QString &lines);
    bool MayReplacePage();
    void setMonthText(const QString &month);
    void setViewSize(int width, int height);
    // Runs a handler; a conversion error is reported as the program's general error message.
    template <typename F> void guarded(F &&f);

    std::unique_ptr<LedgerParts> parts_;
    TfrmAdd *frmAdd_ = nullptr;
    TfrmMonth *frmMonth_ = nullptr;
    TfrmQueryMore *frmQueryMore_ = nullptr;
    TForm_nb *formNb_ = nullptr;
    bool pageConfirmed_ = false; // the unsaved-lines question was already answered for this command
    bool settingMonthText_ = false;
};

} // namespace lumora
