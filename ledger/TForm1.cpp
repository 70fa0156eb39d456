#include "TForm1.h"

#include "ClickPanel.h"
#include "GridParts.h"
#include "MonthTotals.h"
#include "QueryLines.h"
#include "controls/Align.h"
#include "controls/DockSplitter.h"
#include "controls/SkinImages.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "controls/TQRXPosition.h"
#include "controls/TScrollBox.h"
#include "core/DateText.h"
#include "core/Reply.h"
#include "core/Session.h"
#include "grid/Tform_date.h"
#include "grid/TfrmAdd.h"
#include "lists/TForm_nb.h"
#include "reports/TfrmMonth.h"
#include "reports/TfrmQueryMore.h"
#include "util/DialogParts.h"
#include "util/Helpers.h"
#include "util/MessageSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
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
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

TImagePanel *panel(QWidget *parent, const char *name, const QColor &color)
{
    auto *p = new TImagePanel(parent);
    p->setObjectName(QLatin1String(name));
    p->setBevelOuter(TImagePanel::bvNone);
    p->setColor(color);
    return p;
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
    b->setGeometry(x, 3, 49, 17);
    b->setFont(songTi(14));
    b->setTextColor(QColor(0x23, 0x6E, 0xD4)); // TColor 13922083
    b->setColor(Qt::white);
    return b;
}

TPNGButtonEx *imageButton(QWidget *parent, const QString &caption, const QString &image, const QString &hint)
{
    auto *b = new TPNGButtonEx(parent);
    b->setCaption(caption);
    b->setToolTip(hint);
    b->setCursor(Qt::PointingHandCursor);
    if (!image.isEmpty()) {
        b->setButtonLayout(TPNGButtonEx::pbsImageAbove);
        b->setImageNormal(SkinImage(image));
    } else {
        b->setButtonLayout(TPNGButtonEx::pbsImageBackground);
        b->setImageNormal(SkinImage(QStringLiteral("text_button_normal")));
        b->setImageDown(SkinImage(QStringLiteral("text_button_down")));
        b->setImageOver(SkinImage(QStringLiteral("text_button_over")));
    }
    return b;
}

// A small flat picture button of the bottom bar; `image` names its three pictures ("bar_month" gives
// bar_month_normal, _down and _over).
TPNGButtonEx *barImageButton(const QString &image, const QString &hint, int x, QWidget *parent)
{
    auto *b = new TPNGButtonEx(parent);
    b->setToolTip(hint);
    b->setButtonLayout(TPNGButtonEx::pbsImageAbove);
    b->setImageNormal(SkinImage(image + QStringLiteral("_normal")));
    b->setImageDown(SkinImage(image + QStringLiteral("_down")));
    b->setImageOver(SkinImage(image + QStringLiteral("_over")));
    b->setGeometry(x, 4, 22, 21);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

// Main window tool areas: a light grey line on the left, top and bottom; docked children stay one pixel inside.
void setToolAreaBorders(TImagePanel *area)
{
    area->setBorderWidth(1);
    area->setBorderColor(QColor(0xCC, 0xCC, 0xCC)); // TColor 13421772
    area->setBorderBrawKinds(TImagePanel::bbkLeft | TImagePanel::bbkTop | TImagePanel::bbkBottom);
}

// Marks the unsaved-lines question as answered for the rest of one command.
struct ConfirmedScope {
    explicit ConfirmedScope(bool &flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~ConfirmedScope() { flag_ = old_; }
    bool &flag_;
    bool old_;
};

} // namespace

template <typename F> void TForm1::guarded(F &&f)
{
    try {
        f();
    } catch (const LumoraError &e) {
        ShowMessage(QStringLiteral("发生错误:") + e.message());
    }
}

TForm1::TForm1(std::unique_ptr<LedgerParts> parts, QWidget *parent) : TFormVSkin(parent), parts_(std::move(parts))
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
    QFont font = songTi(14);
    setFont(font);
    setToolTipDuration(10000);
    buildCaption();

    // Docked in this order: the bars at top and bottom take their bands, the record area the rest.
    PanelM2 = panel(pnlClient, "PanelM2", QColor(0xF7, 0xF7, 0xF7));
    PanelM2->resize(992, 89);
    setAlign(PanelM2, Align::Top);
    buildTop(PanelM2);
    Panel_st1 = panel(pnlClient, "Panel_st1", QColor(0xF0, 0xF0, 0xF0));
    Panel_st1->resize(992, 53);
    setAlign(Panel_st1, Align::Bottom);
    buildBottom(Panel_st1);
    PanelM = panel(pnlClient, "PanelM", Qt::white);
    PanelM->setBorderWidth(2);
    PanelM->setBorderColor(QColor(0xA0, 0xA0, 0xA0));
    setAlign(PanelM, Align::Client);
    buildRecordArea(PanelM);

    TFormVSkin::FormCreate();
    // The frameless window's outer size: the caption bar is part of it.
    resize(992, 537);
    // Where a first run opens; the position file moves it from there.
    CentreOnScreen(this);

    // The three navigation bars share one place; one of them shows at a time.
    pnlPage->setGeometry(pnlDay->geometry());
    pnlMonth->setGeometry(pnlDay->geometry());
    pnlDay->raise();
    pnlDay->hide();
    pnlMonth->hide();
    pnlPage->show();
    setMonthText(query::MonthText(QDate::currentDate()));

    if (!parts_)
        parts_ = std::make_unique<GridParts>(gridHj1);
    parts_->PageInfoChanged = [this](const PageInfo &page) { PageInfoChanged(page); };
    parts_->PageInfoText = [this](const QString &text) { txtPageInfo->setText(text); };
    parts_->PageTotalText = [this](const QString &text) { hj_day_label1->setText(text); };
    parts_->RecountRequested = [this](const QDateTime &date) { RecountMonth(date); };
    parts_->EditCategories = [this] {
        if (OpenCategoryDialog)
            OpenCategoryDialog();
    };
    pnlMainGrid->setWidget(parts_->gridWidget());
    parts_->gridWidget()->show();

    QGuiApplication::setApplicationDisplayName(windowTitle());
    CurrentDay = QDateTime::currentDateTime();

    PickDateHandler = [](const QString &text, QString &picked) { return PickDate(text, picked); };
    PickMonthHandler = [this](QString &year, QString &month) {
        if (!frmMonth_)
            frmMonth_ = new TfrmMonth(this);
        if (frmMonth_->exec() != QDialog::Accepted)
            return false;
        year = frmMonth_->yearText();
        month = frmMonth_->monthText();
        return true;
    };
    OpenQueryMore = [this] {
        if (!frmQueryMore_) {
            frmQueryMore_ = new TfrmQueryMore(this);
            frmQueryMore_->ResetCurPage = [this] { CurPage = 0; };
        }
        frmQueryMore_->exec();
    };
    OpenCategoryDialog = [this] {
        if (!formNb_)
            formNb_ = new TForm_nb(this);
        formNb_->exec();
    };

    QRXPosition1 = new TQRXPosition(this);
    QRXPosition1->Loaded();

    // Up and Down reach the window before the focused control.
    qApp->installEventFilter(this);
}

void TForm1::buildCaption()
{
    ImagePanel1->setColor(QColor(0x32, 0x32, 0x3A)); // TColor 3813938
    UsePlainCaption(true);
    LabelCaption->move(39, 12);
    PNGButtonEx1 = imageButton(pnlCaptionCenter, QStringLiteral("官方网站"), QString(), QString());
    PNGButtonEx1->setObjectName(QStringLiteral("PNGButtonEx1"));
    PNGButtonEx1->setFont(songTi(12));
    PNGButtonEx1->setGeometry(btnMin->x() - 80, 5, 74, 27);
    PNGButtonEx1->setStyleSheet(QStringLiteral("color: white;"));
    setAnchors(PNGButtonEx1, Qt::TopEdge | Qt::RightEdge);
}

void TForm1::buildTop(QWidget *top)
{
    ImagePanel3 = panel(top, "ImagePanel3", QColor(0xF7, 0xF7, 0xF7));
    ImagePanel3->resize(992, 42);
    setToolAreaBorders(ImagePanel3);
    setAlign(ImagePanel3, Align::Top);
    ImagePanel10 = panel(ImagePanel3, "ImagePanel10", QColor(0xF7, 0xF7, 0xF7));
    ImagePanel10->resize(53, 42);
    setAlign(ImagePanel10, Align::Left);
    auto *icon = new QLabel(ImagePanel10);
    icon->setPixmap(QPixmap::fromImage(SkinImage(QStringLiteral("icon_ledger"))));
    icon->setGeometry(10, 5, 36, 32);
    ImagePanel7 = panel(ImagePanel3, "ImagePanel7", QColor(0xF7, 0xF7, 0xF7));
    setAlign(ImagePanel7, Align::Client);

    btnDelete = imageButton(ImagePanel7, QString(), QStringLiteral("icon_delete"), QStringLiteral("删除"));
    btnDelete->setGeometry(8, 3, 41, 34);
    btnNew2 = imageButton(ImagePanel7, QStringLiteral("新增"), QString(),
                          QStringLiteral("适合新手的简单添加方式(设计上与手机版客户端保持一致)"));
    btnNew2->setGeometry(56, 3, 41, 34);
    btnNew = imageButton(ImagePanel7, QStringLiteral("新增(表格行)"), QString(),
                         QStringLiteral("新增加一条记录,您也可在输入信息后连续按回车键来新增一条记录"));
    btnNew->setGeometry(104, 3, 97, 34);
    for (TPNGButtonEx *b : {btnNew2, btnNew}) {
        b->setFont(songTi(12));
        // The text-button pictures are drawn for 72 x 25; these buttons are larger.
        b->setImageNormal(SkinImage(QStringLiteral("text_button_normal")).scaled(b->size()));
        b->setImageDown(SkinImage(QStringLiteral("text_button_down")).scaled(b->size()));
        b->setImageOver(SkinImage(QStringLiteral("text_button_over")).scaled(b->size()));
    }
    Label6 = new QLabel(QStringLiteral("!"), ImagePanel7);
    Label6->setGeometry(340, 11, 10, 20);
    Label6->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    Label4 = new ClickPanel(QStringLiteral("不好用!提出意见!"), ImagePanel7);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setAutoFillBackground(false);
    Label4->setTextColor(Qt::blue);
    QFont underlined = songTi(12);
    underlined.setUnderline(true);
    Label4->setFont(underlined);
    // Sized to its text, like a label that sizes itself.
    Label4->move(352, 16);
    Label4->adjustSize();

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
    ImagePanel17->setColor(QColor(0xFF, 0x80, 0x40));     // TColor 4227327
    ImagePanel17->setTextColor(QColor(0xF5, 0xF5, 0xF5)); // TColor 16119285
    btnSerach_last50->setColor(ActiveColor);

    PNGButtonEx9 =
        imageButton(top, QStringLiteral("<<"), QString(), QStringLiteral("常规视图 - 绝大部分用户使用这种视图就行啦"));
    PNGButtonEx9->setGeometry(688, 64, 25, 25);
    btnSupper = imageButton(top, QStringLiteral(">>"), QString(),
                            QStringLiteral("高级视图 - 电脑水平较高的用户可尝试使用更多的功能"));
    btnSupper->setGeometry(712, 64, 25, 25);
    btnAddSum = new ClickPanel(QStringLiteral("更新当月合计"), top);
    btnAddSum->setGeometry(742, 67, 76, 20);
    btnAddSum->setFont(songTi(12));
    btnAddSum->setColor(Qt::white);
}

void TForm1::buildRecordArea(QWidget *area)
{
    gridHj1 = new QTableWidget(area);
    gridHj1->setObjectName(QStringLiteral("gridHj1"));
    MonthTotals::SetupGrid(gridHj1);
    gridHj1->setFont(songTi(12));
    gridHj1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    gridHj1->horizontalHeader()->setStretchLastSection(true);
    const int amountWidths[] = {52, 52, 56};
    for (int column = 0; column < 3; ++column)
        gridHj1->setColumnWidth(column, amountWidths[column]);
    gridHj1->resize(kGridHj1Width, 400);
    setAlign(gridHj1, Align::Right);
    Splitter1 = new DockSplitter(area);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->resize(8, 400);
    setAlign(Splitter1, Align::Right);

    pnlRecords = new QWidget(area);
    pnlRecords->setObjectName(QStringLiteral("pnlRecords"));
    pnlRecords->setAutoFillBackground(true);
    setAlign(pnlRecords, Align::Client);
    auto *column = new QVBoxLayout(pnlRecords);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    ImagePanel6 = panel(pnlRecords, "ImagePanel6", QColor(0xF0, 0xF0, 0xF0)); // TColor 15790320
    ImagePanel6->setFixedHeight(23);
    const struct {
        const char *caption;
        int x, width;
    } headings[] = {{"名称", 0, 185},   {"金额", 185, 88},  {"收入/支出", 273, 88},
                    {"类型", 361, 104}, {"时间", 465, 112}, {"状态", 577, 112}};
    QList<QPair<QWidget *, int>> headingCells;
    for (const auto &h : headings) {
        auto *cell = new TImagePanel(ImagePanel6);
        headingCells.append({cell, h.x});
        cell->setBevelOuter(TImagePanel::bvNone);
        cell->setColor(QColor(0xF0, 0xF0, 0xF0));
        cell->setCaption(QString::fromUtf8(h.caption));
        cell->setFont(songTi(12));
        cell->setBorderBrawKinds(TImagePanel::bbkRight);
        cell->setBorderWidth_v(1);
        cell->setGeometry(h.x, 0, h.width, 23);
    }
    column->addWidget(ImagePanel6);
    // The lines are wider than the record area at the start size: it scrolls sideways, the headings with it.
    pnlMainGrid = new TScrollBox(pnlRecords);
    pnlMainGrid->setObjectName(QStringLiteral("pnlMainGrid"));
    column->addWidget(pnlMainGrid, 1);
    connect(pnlMainGrid->horizontalScrollBar(), &QScrollBar::valueChanged, ImagePanel6, [headingCells](int offset) {
        for (const auto &[cell, x] : headingCells)
            cell->move(x - offset, 0);
    });
}

void TForm1::buildBottom(QWidget *bottom)
{
    ImagePanel2 = panel(bottom, "ImagePanel2", QColor(0xF0, 0xF0, 0xF0));
    ImagePanel2->resize(992, 29);
    setToolAreaBorders(ImagePanel2);
    setAlign(ImagePanel2, Align::Top);
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
    txtQueryMonth->setGeometry(55, 0, 73, 23);
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

    btnMore1 = barImageButton(QStringLiteral("bar_more"), QStringLiteral("更多查询 - 切换:按天查看记录/查看最后50条"),
                              832, ImagePanel2);
    btnQueryMonth = barImageButton(QStringLiteral("bar_month"), QStringLiteral("按月份查看"), 856, ImagePanel2);
    btnQueryLast = barImageButton(QStringLiteral("bar_last50"), QStringLiteral("查看最后50条"), 878, ImagePanel2);
    btnMore1->setObjectName(QStringLiteral("btnMore1"));
    btnQueryMonth->setObjectName(QStringLiteral("btnQueryMonth"));
    btnQueryLast->setObjectName(QStringLiteral("btnQueryLast"));

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
    connectCommands();
}

void TForm1::connectCommands()
{
    connect(btnDelete, &TPNGButtonEx::OnClick, this, &TForm1::btnDeleteClick);
    connect(btnNew, &TPNGButtonEx::OnClick, this, &TForm1::btnNewClick);
    connect(btnNew2, &TPNGButtonEx::OnClick, this, &TForm1::btnNew2Click);
    connect(Label4, &ClickPanel::clicked, this, &TForm1::Label4Click);
    connect(PNGButtonEx1, &TPNGButtonEx::OnClick, this, [] { ShellOpen(HomePageUrl); });
    connect(btnSupper, &TPNGButtonEx::OnClick, this, &TForm1::btnSupperClick);
    connect(PNGButtonEx9, &TPNGButtonEx::OnClick, this, &TForm1::PNGButtonEx9Click);
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
    connect(btnQueryLast, &TPNGButtonEx::OnClick, this, &TForm1::btnQueryLastClick);
    connect(btnQueryMonth, &TPNGButtonEx::OnClick, this, &TForm1::btnQueryMonthClick);
    connect(btnMore1, &TPNGButtonEx::OnClick, this, &TForm1::btnMore1Click);
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

void TForm1::PageInfoChanged(const PageInfo &page)
{
    RecCount = page.RecCount;
    RecCountInPage = page.RecCountInPage;
    CurPage = page.CurPage;
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
    // The grid asks and finds the record again after the answer: a reply may re-bind the line meanwhile.
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
        frmAdd_->OnRecordSaved = [this] { QueryLast50(0); };
        frmAdd_->OpenCategoryDialog = [this] {
            if (OpenCategoryDialog)
                OpenCategoryDialog();
        };
        connect(frmAdd_, &QDialog::finished, this, [this] {
            if (frmAdd_->Saved)
                RecountMonth(QDateTime::currentDateTime());
        });
        if (SetUpQuickAdd)
            SetUpQuickAdd(frmAdd_);
    }
    frmAdd_->PrepareAdd();
    // Window-modal without a nested loop: the recount follows from finished().
    frmAdd_->open();
}

void TForm1::Label4Click()
{
    ShellOpen(FeedbackUrl);
}

void TForm1::setViewSize(int width, int height)
{
    resize(width, height);
    // Centred exactly, as the view buttons promise, even where the window is larger than the screen.
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width / 2, height / 2));
    }
    gridHj1->resize(kGridHj1WideWidth, gridHj1->height());
    if (PanelM->layout()) {
        PanelM->layout()->invalidate();
        PanelM->layout()->activate();
    }
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
    TFormVSkin::closeEvent(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *target = qobject_cast<QWidget *>(watched);
        // The filter sees a key once per receiver on its way up; act for the focused control of this window only.
        if ((key == Qt::Key_Up || key == Qt::Key_Down) && target && target == QApplication::focusWidget() &&
            isAncestorOf(target)) {
            // An open drop-down list keeps its keys (its popup is a window of its own, but be sure).
            for (QWidget *w = target; w && w != this; w = w->parentWidget())
                if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->view()->isVisible())
                    return TFormVSkin::eventFilter(watched, event);
            if (key == Qt::Key_Down)
                parts_->NextLine();
            else
                parts_->PreviousLine();
            return true;
        }
    }
    return TFormVSkin::eventFilter(watched, event);
}

} // namespace lumora
