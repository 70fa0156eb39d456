#include "TForm1.h"

#include "ClickPanel.h"
#include "PlaceholderParts.h"
#include "QueryLines.h"
#include "core/DateText.h"
#include "core/PaintGridCell.h"
#include "core/Reply.h"
#include "core/Session.h"
#include "grid/TfrmAdd.h"
#include "util/Helpers.h"
#include "util/MessageSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumora
{

const QColor TForm1::ActiveColor = QColor(0x54, 0x54, 0x54);
const QColor TForm1::InactiveColor = QColor(0xC0, 0xC0, 0xC0);
const QString TForm1::UnsavedQuestion = QStringLiteral("还有未保存的记录,是否查看一下?");
const QString TForm1::FeedbackUrl =
    QStringLiteral("http://127.0.0.1:8086/ms/vdisk/show_bbs.php?id={6F1C2B7E-3D5A-4C8E-9B1F-2A7D4E6C8B30}");
const QString TForm1::HomePageUrl = QStringLiteral("http://127.0.0.1:8086/ms/");

namespace
{

constexpr int kGridHj1Width = 253;
constexpr int kGridHj1WideWidth = 286;

QFont songTi(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

ClickPanel *modeButton(const QString &caption, int x, QWidget *parent)
{
    auto *b = new ClickPanel(caption, parent);
    b->setGeometry(x, 41, 76, 20);
    b->setFont(songTi(12));
    b->setTextColor(Qt::white);
    b->setColor(TForm1::InactiveColor);
    return b;
}

ClickPanel *barButton(const QString &caption, int x, QWidget *parent)
{
    auto *b = new ClickPanel(caption, parent);
    b->setGeometry(x, 2, 49, 17);
    b->setFont(songTi(14));
    b->setTextColor(QColor(0xD4, 0x6E, 0x23));
    b->setColor(Qt::white);
    return b;
}

QToolButton *flatButton(const QString &text, const QString &hint, int x, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setGeometry(x, 4, 22, 21);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

} // namespace

template <typename F> void TForm1::guarded(F &&f)
{
    try {
        f();
    } catch (const LumoraError &e) {
        ShowMessage(QStringLiteral("发生错误:") + e.message());
    }
}

TForm1::TForm1(std::unique_ptr<LedgerParts> parts, QWidget *parent) : QWidget(parent), parts_(std::move(parts))
{
    FormCreate();
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
}

void TForm1::FormCreate()
{
    setWindowTitle(QStringLiteral("Lumora 2016 v2"));
    QFont font = this->font();
    font.setPixelSize(14);
    setFont(font);
    resize(992 + 16, 537 + 53);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    pnlCaption = new QWidget(this);
    buildCaption(pnlCaption);
    outer->addWidget(pnlCaption);

    pnlClient = new QWidget(this);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    outer->addWidget(pnlClient, 1);
    auto *client = new QVBoxLayout(pnlClient);
    client->setContentsMargins(8, 0, 8, 8);
    client->setSpacing(0);

    PanelM2 = new QWidget(pnlClient);
    PanelM2->setFixedHeight(89);
    buildTop(PanelM2);
    client->addWidget(PanelM2);

    PanelM = new QWidget(pnlClient);
    buildRecordArea(PanelM);
    client->addWidget(PanelM, 1);

    Panel_st1 = new QWidget(pnlClient);
    Panel_st1->setFixedHeight(53);
    buildBottom(Panel_st1);
    client->addWidget(Panel_st1);

    connectCommands();

    // The three navigation bars share one place; one of them shows at a time.
    pnlPage->setGeometry(pnlDay->geometry());
    pnlMonth->setGeometry(pnlDay->geometry());
    pnlDay->raise();
    pnlDay->hide();
    pnlMonth->hide();
    pnlPage->show();
    setMonthText(query::MonthText(QDate::currentDate()));

    if (!parts_)
        parts_ = std::make_unique<PlaceholderParts>(gridHj1);
    parts_->PageLoaded = [this](const PageInfo &page, bool hasInfo, double total) { PageLoaded(page, hasInfo, total); };
    auto *gridLayout = new QVBoxLayout(pnlMainGrid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(parts_->gridWidget());

    qApp->setApplicationDisplayName(QString());
    qApp->setApplicationName(windowTitle());
    CurrentDay = QDateTime::currentDateTime();

    // Up and Down reach the window before the focused control.
    qApp->installEventFilter(this);
}

void TForm1::buildCaption(QWidget *bar)
{
    bar->setObjectName(QStringLiteral("pnlCaption"));
    bar->setFixedHeight(37);
    bar->setStyleSheet(QStringLiteral("#pnlCaption { background: #32323A; } #pnlCaption QLabel { color: white; }"));
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 4, 10, 4);
    lblCaption = new QLabel(windowTitle(), bar);
    lblCaption->setFont(songTi(14, true));
    row->addWidget(lblCaption);
    row->addStretch();
    PNGButtonEx1 = new QPushButton(QStringLiteral("官方网站"), bar);
    PNGButtonEx1->setFixedSize(74, 27);
    PNGButtonEx1->setFont(songTi(12));
    PNGButtonEx1->setCursor(Qt::PointingHandCursor);
    PNGButtonEx1->setStyleSheet(
        QStringLiteral("QPushButton { color: white; background: #4A4A55; border: 1px solid #5C5C68; }"));
    row->addWidget(PNGButtonEx1);
}

void TForm1::buildTop(QWidget *top)
{
    ImagePanel3 = new QWidget(top);
    ImagePanel3->setObjectName(QStringLiteral("ImagePanel3"));
    ImagePanel3->setGeometry(0, 0, 2000, 42);
    ImagePanel3->setStyleSheet(QStringLiteral("#ImagePanel3 { background: #F7F7F7; border-bottom: 1px solid #CCCCCC; "
                                              "border-top: 1px solid #CCCCCC; }"));
    auto *tools = new QWidget(ImagePanel3);
    tools->setGeometry(53, 0, 600, 42);
    btnDelete = new QPushButton(QStringLiteral("删除"), tools);
    btnDelete->setGeometry(8, 3, 41, 34);
    btnDelete->setToolTip(QStringLiteral("删除"));
    btnNew2 = new QPushButton(QStringLiteral("新增"), tools);
    btnNew2->setGeometry(56, 3, 41, 34);
    btnNew2->setToolTip(QStringLiteral("适合新手的简单添加方式(设计上与手机版客户端保持一致)"));
    btnNew = new QPushButton(QStringLiteral("新增(表格行)"), tools);
    btnNew->setGeometry(104, 3, 97, 34);
    btnNew->setToolTip(QStringLiteral("新增加一条记录,您也可在输入信息后连续按回车键来新增一条记录"));
    for (QPushButton *b : {btnDelete, btnNew2, btnNew}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
    }
    Label6 = new QLabel(QStringLiteral("!"), tools);
    Label6->setGeometry(340, 11, 10, 20);
    Label6->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    Label4 = new ClickPanel(QStringLiteral("不好用!提出意见!"), tools);
    Label4->setGeometry(352, 12, 130, 20);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label4->setAutoFillBackground(false);
    Label4->setTextColor(Qt::blue);
    QFont underlined = Label4->font();
    underlined.setUnderline(true);
    Label4->setFont(underlined);

    btnSerach_last50 = modeButton(QStringLiteral("最后50条"), 397, top);
    btnSerach_lastMonth = modeButton(QStringLiteral("本月"), 474, top);
    btnSerach_Min = modeButton(QStringLiteral("大笔支出"), 551, top);
    btnSerach_Min->setToolTip(QStringLiteral("只显示金额大于100的记录"));
    btnSerach_curRecMonth = modeButton(QStringLiteral("指定月份"), 628, top);
    btnSerach_curRecMonth->setToolTip(QStringLiteral("指定月份"));
    btnSerach_curRecDay = modeButton(QStringLiteral("指定某天"), 705, top);
    btnSerach_curRecDay->setToolTip(QStringLiteral("指定某天"));
    btnSerach_curRecDay->hide();
    ImagePanel17 = new ClickPanel(QStringLiteral("更多查询>>"), top);
    ImagePanel17->setGeometry(787, 41, 73, 21);
    ImagePanel17->setFont(songTi(12));
    ImagePanel17->setColor(QColor(0xFF, 0x80, 0x40));
    ImagePanel17->setTextColor(QColor(0xF5, 0xF5, 0xF5));
    btnSerach_last50->setColor(ActiveColor);
    // Keep the query buttons above the toolbar strip they overlap by one pixel.
    for (QWidget *w : {static_cast<QWidget *>(btnSerach_last50), static_cast<QWidget *>(btnSerach_lastMonth),
                       static_cast<QWidget *>(btnSerach_Min), static_cast<QWidget *>(btnSerach_curRecMonth),
                       static_cast<QWidget *>(ImagePanel17)})
        w->raise();

    PNGButtonEx9 = new QPushButton(QStringLiteral("<<"), top);
    PNGButtonEx9->setGeometry(688, 64, 25, 25);
    PNGButtonEx9->setToolTip(QStringLiteral("常规视图 - 绝大部分用户使用这种视图就行啦"));
    btnSupper = new QPushButton(QStringLiteral(">>"), top);
    btnSupper->setGeometry(712, 64, 25, 25);
    btnSupper->setToolTip(QStringLiteral("高级视图 - 电脑水平较高的用户可尝试使用更多的功能"));
    for (QPushButton *b : {PNGButtonEx9, btnSupper})
        b->setFocusPolicy(Qt::NoFocus);
    btnAddSum = new ClickPanel(QStringLiteral("更新当月合计"), top);
    btnAddSum->setGeometry(742, 67, 76, 20);
    btnAddSum->setFont(songTi(12));
    btnAddSum->setStyleSheet(QStringLiteral("border: 1px solid #CCCCCC;"));
}

void TForm1::buildRecordArea(QWidget *area)
{
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(2, 2, 2, 2);
    Splitter1 = new QSplitter(Qt::Horizontal, area);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(8);
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1);

    auto *left = new QWidget;
    left->setObjectName(QStringLiteral("recordPanel"));
    left->setStyleSheet(QStringLiteral("#recordPanel { background: white; }"));
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    ImagePanel6 = new QWidget(left);
    ImagePanel6->setObjectName(QStringLiteral("ImagePanel6"));
    ImagePanel6->setFixedHeight(23);
    ImagePanel6->setStyleSheet(QStringLiteral("#ImagePanel6 { background: #F0F0F0; } QLabel { border-right: 1px "
                                              "solid black; color: black; }"));
    const struct {
        const char *caption;
        int x, width;
    } headings[] = {{"名称", 0, 185},   {"金额", 185, 88},  {"收入/支出", 273, 88},
                    {"类型", 361, 104}, {"时间", 465, 112}, {"状态", 577, 112}};
    for (const auto &h : headings) {
        auto *cell = new QLabel(QString::fromUtf8(h.caption), ImagePanel6);
        cell->setGeometry(h.x, 0, h.width, 23);
        cell->setAlignment(Qt::AlignCenter);
    }
    leftLayout->addWidget(ImagePanel6);
    pnlMainGrid = new QWidget(left);
    pnlMainGrid->setObjectName(QStringLiteral("pnlMainGrid"));
    leftLayout->addWidget(pnlMainGrid, 1);
    Splitter1->addWidget(left);

    gridHj1 = new QTableWidget(0, 4);
    gridHj1->setObjectName(QStringLiteral("gridHj1"));
    gridHj1->horizontalHeader()->hide();
    gridHj1->verticalHeader()->hide();
    gridHj1->setFrameShape(QFrame::NoFrame);
    gridHj1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridHj1->setItemDelegate(new GridCellDelegate(gridHj1));
    gridHj1->setColumnWidth(0, 60);
    gridHj1->setColumnWidth(1, 60);
    gridHj1->setColumnWidth(2, 60);
    gridHj1->horizontalHeader()->setStretchLastSection(true);
    Splitter1->addWidget(gridHj1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({992 - kGridHj1Width, kGridHj1Width});
}

void TForm1::buildBottom(QWidget *bottom)
{
    ImagePanel2 = new QWidget(bottom);
    ImagePanel2->setObjectName(QStringLiteral("ImagePanel2"));
    ImagePanel2->setGeometry(0, 0, 2000, 29);
    ImagePanel2->setStyleSheet(QStringLiteral("#ImagePanel2 { background: #F0F0F0; border-top: 1px solid #CCCCCC; }"));
    Label3 = new QLabel(QStringLiteral("输入信息然后按回车键,就这么简单!"), ImagePanel2);
    Label3->setGeometry(16, 6, 330, 18);
    txtPageInfo = new QLabel(ImagePanel2);
    txtPageInfo->setGeometry(376, 6, 205, 18);

    pnlDay = new QWidget(ImagePanel2);
    pnlDay->setGeometry(584, 3, 240, 23);
    btnQueryMore_day = barButton(QStringLiteral("上一日"), 2, pnlDay);
    btnQueryMore_day2 = barButton(QStringLiteral("下一日"), 55, pnlDay);
    pnlPage = new QWidget(ImagePanel2);
    btnPrePage = barButton(QStringLiteral("上一页"), 2, pnlPage);
    btnNextPage = barButton(QStringLiteral("下一页"), 55, pnlPage);
    pnlMonth = new QWidget(ImagePanel2);
    PNGButtonEx8 = barButton(QStringLiteral("上一月"), 2, pnlMonth);
    txtQueryMonth = new QComboBox(pnlMonth);
    txtQueryMonth->setObjectName(QStringLiteral("txtQueryMonth"));
    txtQueryMonth->setGeometry(55, 0, 73, 22);
    txtQueryMonth->setEditable(true);
    txtQueryMonth->setInsertPolicy(QComboBox::NoInsert);
    txtQueryMonth->setMaxVisibleItems(24);
    PNGButtonEx10 = barButton(QStringLiteral("下一月"), 132, pnlMonth);
    for (QWidget *bar : {pnlDay, pnlPage, pnlMonth}) {
        bar->setAutoFillBackground(true);
        QPalette p = bar->palette();
        p.setColor(QPalette::Window, Qt::white);
        bar->setPalette(p);
    }

    btnMore1 =
        flatButton(QStringLiteral("▾"), QStringLiteral("更多查询 - 切换:按天查看记录/查看最后50条"), 832, ImagePanel2);
    btnQueryMonth = flatButton(QStringLiteral("月"), QStringLiteral("按月份查看"), 856, ImagePanel2);
    btnQueryLast = flatButton(QStringLiteral("50"), QStringLiteral("查看最后50条"), 878, ImagePanel2);

    hj_day_label2 = new ClickPanel(QStringLiteral("[日期]"), bottom);
    hj_day_label2->setGeometry(8, 34, 183, 16);
    hj_day_label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hj_day_label2->setAutoFillBackground(false);
    hj_day_label2->setToolTip(QStringLiteral("点击显示指定日期的数据记录"));
    hj_day_label2->hide();
    hj_day_label1 = new QLabel(QStringLiteral("[合计]"), bottom);
    hj_day_label1->setGeometry(193, 32, 200, 20);
    hj_day_label1->setFont(songTi(16, true));
    hj_day_label1->setStyleSheet(QStringLiteral("color: red;"));
    hj_day_label1->hide();

    PopupMenu_more1 = new QMenu(this);
    N_QueryLast = PopupMenu_more1->addAction(QStringLiteral("查看最后50条"));
    N_QueryDay = PopupMenu_more1->addAction(QStringLiteral("按日期查看"));
    N_QueryMonth = PopupMenu_more1->addAction(QStringLiteral("按月份查看"));
}

void TForm1::connectCommands()
{
    connect(btnDelete, &QPushButton::clicked, this, &TForm1::btnDeleteClick);
    connect(btnNew, &QPushButton::clicked, this, &TForm1::btnNewClick);
    connect(btnNew2, &QPushButton::clicked, this, &TForm1::btnNew2Click);
    connect(Label4, &ClickPanel::clicked, this, &TForm1::Label4Click);
    connect(PNGButtonEx1, &QPushButton::clicked, this, [] { ShellOpen(HomePageUrl); });
    connect(btnSupper, &QPushButton::clicked, this, &TForm1::btnSupperClick);
    connect(PNGButtonEx9, &QPushButton::clicked, this, &TForm1::PNGButtonEx9Click);
    connect(btnAddSum, &ClickPanel::clicked, this, [this] { RecountMonth(QDateTime::currentDateTime()); });

    connect(btnSerach_last50, &ClickPanel::clicked, this, &TForm1::btnSerach_last50Click);
    connect(btnSerach_lastMonth, &ClickPanel::clicked, this, &TForm1::btnSerach_lastMonthClick);
    connect(btnSerach_Min, &ClickPanel::clicked, this, &TForm1::btnSerach_MinClick);
    connect(btnSerach_curRecMonth, &ClickPanel::clicked, this, &TForm1::btnSerach_curRecMonthClick);
    connect(btnSerach_curRecDay, &ClickPanel::clicked, this, &TForm1::PickDayClick);
    connect(hj_day_label2, &ClickPanel::clicked, this, &TForm1::PickDayClick);
    connect(ImagePanel17, &ClickPanel::clicked, this, &TForm1::ImagePanel17Click);
    connect(btnQueryMore_day, &ClickPanel::clicked, this, &TForm1::btnQueryMore_dayClick);
    connect(btnQueryMore_day2, &ClickPanel::clicked, this, &TForm1::btnQueryMore_day2Click);
    connect(btnPrePage, &ClickPanel::clicked, this, &TForm1::btnPrePageClick);
    connect(btnNextPage, &ClickPanel::clicked, this, &TForm1::btnNextPageClick);
    connect(PNGButtonEx8, &ClickPanel::clicked, this, [this] { ShiftCurrentMonth(-1); });
    connect(PNGButtonEx10, &ClickPanel::clicked, this, [this] { ShiftCurrentMonth(1); });
    connect(btnQueryLast, &QToolButton::clicked, this, &TForm1::btnQueryLastClick);
    connect(btnQueryMonth, &QToolButton::clicked, this, &TForm1::btnQueryMonthClick);
    connect(btnMore1, &QToolButton::clicked, this, &TForm1::btnMore1Click);
    connect(N_QueryLast, &QAction::triggered, this, &TForm1::btnQueryLastClick);
    connect(N_QueryDay, &QAction::triggered, this, &TForm1::N_QueryDayClick);
    connect(N_QueryMonth, &QAction::triggered, this, &TForm1::btnQueryMonthClick);
    connect(txtQueryMonth, &QComboBox::currentTextChanged, this, [this] {
        if (!settingMonthText_)
            txtQueryMonthChange();
    });
}

// ---- queries

bool TForm1::MayReplacePage()
{
    // A new page replaces the record list; edits not yet saved would be lost without a word.
    if (pageConfirmed_ || !parts_->HasUnsavedLines())
        return true;
    return !ConfirmYesNo(UnsavedQuestion);
}

namespace
{
// Marks the unsaved-lines question as answered for the rest of one command.
struct ConfirmedScope {
    explicit ConfirmedScope(bool &flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~ConfirmedScope() { flag_ = old_; }
    bool &flag_;
    bool old_;
};
} // namespace

void TForm1::SendDataQuery(int page, const QString &lines)
{
    if (!MayReplacePage())
        return;
    if (page == 0)
        CurPage = 0;
    parts_->SendDataQuery(page, lines);
}

void TForm1::QueryLast50(int page)
{
    SendDataQuery(page, query::Last50Lines(SessionInputUser, MinMoney, page));
}

void TForm1::QueryDay()
{
    if (!MayReplacePage())
        return;
    ConfirmedScope scope(pageConfirmed_);
    hj_day_label2->setText(query::DayCaption(CurrentDay.date()));
    CurPage = 0;
    SendDataQuery(0, query::DayLines(CurrentDay.date()));
}

void TForm1::QueryMonthRange(const QString &begin, const QString &end)
{
    SendDataQuery(0, query::MonthRangeLines(SessionInputUser, MinMoney, begin, end));
}

void TForm1::ShowMonth(QString month)
{
    if (month.isEmpty())
        month = txtQueryMonth->currentText();
    const QDate begin = query::MonthStart(month);
    if (!MayReplacePage())
        return;
    ConfirmedScope scope(pageConfirmed_);
    hj_day_label2->setText(query::MonthCaption(month));
    hj_day_label2->show();
    hj_day_label1->setText(QString());
    hj_day_label1->show();
    QueryMonthRange(DateToText(begin), DateToText(begin.addMonths(1)));
    setMonthText(month);
}

void TForm1::FillMonthList(const QString &month)
{
    QStringList items;
    for (int i = 0; i < txtQueryMonth->count(); ++i)
        items << txtQueryMonth->itemText(i);
    const QStringList merged = query::FillMonthList(items, month);
    if (merged == items)
        return;
    const bool old = settingMonthText_;
    settingMonthText_ = true;
    const QString text = txtQueryMonth->currentText();
    txtQueryMonth->clear();
    txtQueryMonth->addItems(merged);
    txtQueryMonth->setEditText(text);
    settingMonthText_ = old;
}

void TForm1::setMonthText(const QString &month)
{
    const bool old = settingMonthText_;
    settingMonthText_ = true;
    const int index = txtQueryMonth->findText(month);
    if (index >= 0)
        txtQueryMonth->setCurrentIndex(index);
    txtQueryMonth->setEditText(month);
    settingMonthText_ = old;
}

void TForm1::ShiftCurrentMonth(int n)
{
    guarded([&] {
        if (CurrentMonth.isEmpty())
            CurrentMonth = txtQueryMonth->currentText();
        CurrentMonth = query::ShiftMonth(CurrentMonth, n);
        ShowMonth(CurrentMonth);
    });
}

void TForm1::RecountMonth(const QDateTime &date)
{
    if (!date.isValid()) {
        ShowMessage(QStringLiteral("日期格式错误."));
        return;
    }
    parts_->RecountMonth(date);
}

void TForm1::PageLoaded(const PageInfo &page, bool hasInfo, double total)
{
    RecCount = 0;
    if (hasInfo) {
        RecCount = page.RecCount;
        RecCountInPage = page.RecCountInPage;
        CurPage = page.CurPage;
    }
    txtPageInfo->setText(QStringLiteral("总数: %1 页次: %2 每页: %3").arg(RecCount).arg(CurPage).arg(RecCountInPage));
    hj_day_label1->setText(QString::asprintf("%.2f", total));
}

void TForm1::ResetQueryButtons()
{
    for (ClickPanel *b : {btnSerach_last50, btnSerach_lastMonth, btnSerach_curRecMonth, btnSerach_curRecDay})
        b->setColor(InactiveColor);
}

void TForm1::ShowPagingButtons()
{
    btnPrePage->show();
    btnNextPage->show();
    hj_day_label1->hide();
    hj_day_label2->hide();
}

void TForm1::ShowTotalLabels()
{
    btnPrePage->hide();
    btnNextPage->hide();
    hj_day_label1->setText(QStringLiteral("[合计]"));
    hj_day_label1->show();
    hj_day_label2->setText(QStringLiteral("[日期]"));
    hj_day_label2->show();
}

void TForm1::btnSerach_last50Click()
{
    if (!MayReplacePage())
        return;
    ConfirmedScope scope(pageConfirmed_);
    ResetQueryButtons();
    btnSerach_last50->setColor(ActiveColor);
    ShowPagingButtons();
    CurPage = 0;
    QueryLast50(0);
}

void TForm1::btnSerach_lastMonthClick()
{
    if (!MayReplacePage())
        return;
    ConfirmedScope scope(pageConfirmed_);
    ResetQueryButtons();
    btnSerach_lastMonth->setColor(ActiveColor);
    ShowTotalLabels();
    const QDateTime now = QDateTime::currentDateTime();
    hj_day_label2->setText(query::ThisMonthCaption(now.date()));
    CurPage = 0;
    SendDataQuery(0, query::ThisMonthLines(MinMoney, now));
}

void TForm1::btnSerach_MinClick()
{
    if (!MayReplacePage())
        return;
    ConfirmedScope scope(pageConfirmed_);
    ResetQueryButtons();
    btnSerach_last50->setColor(ActiveColor);
    MinMoney = MinMoney.isEmpty() ? QStringLiteral("100") : QString();
    btnSerach_Min->setColor(MinMoney.isEmpty() ? InactiveColor : ActiveColor);
    QueryLast50(0);
}

void TForm1::btnSerach_curRecMonthClick()
{
    if (!MayReplacePage())
        return;
    ConfirmedScope scope(pageConfirmed_);
    ResetQueryButtons();
    btnSerach_curRecMonth->setColor(ActiveColor);
    ShowTotalLabels();
    QString year, month;
    if (!PickMonthHandler || !PickMonthHandler(year, month))
        return;
    CurPage = 0;
    SendDataQuery(0, query::ChosenMonthLines(MinMoney, year, month));
}

void TForm1::PickDayClick()
{
    guarded([&] {
        QString picked;
        if (!PickDateHandler || !PickDateHandler(DateToText(CurrentDay.date()), picked))
            return;
        const std::optional<QDate> day = TextToDate(picked.trimmed());
        if (!day)
            throw LumoraError(QStringLiteral("'%1' is not a valid date").arg(picked));
        if (!MayReplacePage())
            return;
        ConfirmedScope scope(pageConfirmed_);
        ResetQueryButtons();
        btnSerach_curRecDay->setColor(ActiveColor);
        ShowTotalLabels();
        CurrentDay = QDateTime(*day, CurrentDay.time());
        QueryDay();
    });
}

void TForm1::btnQueryMore_dayClick()
{
    if (!MayReplacePage())
        return;
    CurrentDay = CurrentDay.addDays(-1);
    ConfirmedScope scope(pageConfirmed_);
    QueryDay();
}

void TForm1::btnQueryMore_day2Click()
{
    if (!MayReplacePage())
        return;
    CurrentDay = CurrentDay.addDays(1);
    ConfirmedScope scope(pageConfirmed_);
    QueryDay();
}

void TForm1::btnNextPageClick()
{
    QueryLast50(CurPage + 1);
}

void TForm1::btnPrePageClick()
{
    if (CurPage == 0) {
        ShowInfo(QStringLiteral("已到第一页."), QStringLiteral("Info"));
        return;
    }
    QueryLast50(CurPage - 1);
}

void TForm1::btnQueryLastClick()
{
    if (!MayReplacePage())
        return;
    ConfirmedScope scope(pageConfirmed_);
    pnlDay->hide();
    pnlPage->show();
    pnlMonth->hide();
    QueryLast50(0);
}

void TForm1::N_QueryDayClick()
{
    pnlDay->show();
    pnlPage->hide();
    pnlMonth->hide();
}

void TForm1::btnQueryMonthClick()
{
    guarded([&] {
        if (!MayReplacePage())
            return;
        ConfirmedScope scope(pageConfirmed_);
        pnlDay->hide();
        pnlPage->hide();
        pnlMonth->show();
        FillMonthList(txtQueryMonth->currentText().trimmed());
        CurrentMonth = txtQueryMonth->currentText();
        ShowMonth(CurrentMonth);
    });
}

void TForm1::txtQueryMonthChange()
{
    guarded([&] {
        FillMonthList(txtQueryMonth->currentText().trimmed());
        if (pnlMonth->isHidden())
            return;
        CurrentMonth = txtQueryMonth->currentText();
        ShowMonth(CurrentMonth);
    });
}

void TForm1::btnMore1Click()
{
    PopupMenu_more1->popup(btnMore1->mapToGlobal(QPoint(0, btnMore1->height())));
}

void TForm1::ImagePanel17Click()
{
    if (OpenQueryMore)
        OpenQueryMore();
}

// ---- commands

void TForm1::btnDeleteClick()
{
    TItemInfo info;
    if (!parts_->ActiveRecord(info)) {
        ShowMessage(QStringLiteral("尚未选择要操作的记录."));
        return;
    }
    if (!ConfirmYesNo(QStringLiteral("确实要删除此记录吗? [名称:") + info.name1 + QStringLiteral("]")))
        return;
    if (info.IsNew) {
        ShowMessage(QStringLiteral("此为空记录,无需删除."));
        return;
    }
    parts_->DeleteActiveRecord();
}

void TForm1::btnNewClick()
{
    parts_->AppendBlankRecord();
    parts_->ScrollToEnd();
}

void TForm1::btnNew2Click()
{
    if (!frmAdd_) {
        // Kept for the rest of the run; parented to the window so it goes with it.
        frmAdd_ = new TfrmAdd(this);
        frmAdd_->setWindowFlag(Qt::Dialog);
        frmAdd_->OnRecordSaved = [this] { QueryLast50(0); };
        connect(frmAdd_, &QDialog::finished, this, [this] {
            if (frmAdd_->Saved)
                RecountMonth(QDateTime::currentDateTime());
        });
        if (SetUpQuickAdd)
            SetUpQuickAdd(frmAdd_);
    }
    frmAdd_->PrepareAdd(CategoryText ? CategoryText() : QString());
    frmAdd_->open();
}

void TForm1::Label4Click()
{
    ShellOpen(FeedbackUrl);
}

void TForm1::setViewSize(int width, int height)
{
    resize(width, height);
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width / 2, height / 2));
    }
    const QList<int> sizes = Splitter1->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    Splitter1->setSizes({qMax(0, total - kGridHj1WideWidth), kGridHj1WideWidth});
}

void TForm1::btnSupperClick()
{
    setViewSize(1114, 700);
}

void TForm1::PNGButtonEx9Click()
{
    setViewSize(990, 610);
}

// ---- window events

void TForm1::closeEvent(QCloseEvent *event)
{
    if (parts_->HasUnsavedLines() && ConfirmYesNo(UnsavedQuestion)) {
        event->ignore();
        return;
    }
    event->accept();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return QWidget::eventFilter(watched, event);
    auto *target = qobject_cast<QWidget *>(watched);
    // The filter sees a key once per receiver on its way up; act for the focused control only.
    if (!target || target != QApplication::focusWidget() || !isAncestorOf(target))
        return QWidget::eventFilter(watched, event);
    // An open drop-down list keeps its keys (its popup is a window of its own, but be sure).
    for (QWidget *w = target; w && w != this; w = w->parentWidget())
        if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->view()->isVisible())
            return QWidget::eventFilter(watched, event);
    if (key == Qt::Key_Down)
        parts_->NextLine();
    else
        parts_->PreviousLine();
    return true;
}

} // namespace lumora
