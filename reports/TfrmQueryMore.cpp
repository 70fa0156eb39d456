#include "TfrmQueryMore.h"

#include "PersonTotals.h"
#include "QueryChartData.h"
#include "QueryChartsModule.h"
#include "QueryPeriod.h"
#include "QueryReply.h"
#include "QueryRequest.h"
#include "RecordsCsv.h"

#include "controls/SkinImages.h"
#include "controls/TPNGButtonEx.h"
#include "core/DateText.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/PaintGridCell.h"
#include "core/Protocol.h"
#include "core/Reply.h"
#include "core/Session.h"
#include "grid/ReportError.h"
#include "grid/Tform_date.h"
#include "lists/CategoryBox.h"
#include "util/MessageSeam.h"
#include "util/ModuleLoader.h"
#include "util/SaveFileSeam.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace lumora
{

namespace
{

const QString kHint1000 = QStringLiteral("如果查询范围过大将只返回前1000条记录");
constexpr int kShownReplyChars = 500;
const QString kTabStyle = QStringLiteral("QTabBar::tab { padding: 3px 1px; min-width: 44px; }");
constexpr int kPersonRole = Qt::UserRole;
constexpr int kAllPersonsRole = Qt::UserRole + 1;

QString NotADateMessage(const QString &text)
{
    return QStringLiteral("'%1' 不是有效的日期").arg(text);
}

TPNGButtonEx *SmallButton(const QString &caption, QWidget *parent, int width)
{
    auto *button = new TPNGButtonEx(parent);
    button->setButtonLayout(TPNGButtonEx::pbsImageBackground);
    button->setImageNormal(SkinImage(QStringLiteral("text_button_normal")));
    button->setImageDown(SkinImage(QStringLiteral("text_button_down")));
    button->setImageOver(SkinImage(QStringLiteral("text_button_over")));
    button->setCaption(caption);
    button->setFixedSize(width, 21);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QLabel *ColouredLabel(const QString &text, const QColor &colour, QWidget *parent, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

const QString TfrmQueryMore::ChartsMissingText = QStringLiteral("图表组件(lumora-charts)未安装,无法显示图表");

TfrmQueryMore::TfrmQueryMore(QWidget *parent, std::function<QDate()> today) : QDialog(parent), today_(std::move(today))
{
    setWindowTitle(QStringLiteral("费用查询"));
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);
    resize(748, 467);
    setSizeGripEnabled(true);

    httpAllData = new THttpThreadControl(this);
    httpAllData->ReadTimeout = 20000;
    httpAllData_sum = new THttpThreadControl(this);
    httpAllData_sum->ReadTimeout = 20000;
    httpAllData->OnHttpData = [this](THttpThreadControl *c) { httpAllDataHttpData(c); };
    httpAllData_sum->OnHttpData = [this](THttpThreadControl *c) { httpAllData_sumHttpData(c); };
    httpAllData->OnHttpError = [this](THttpThreadControl *c, const QString &err) { httpAllDataHttpError(c, err); };
    httpAllData_sum->OnHttpError = [this](THttpThreadControl *c, const QString &err) { httpAllDataHttpError(c, err); };

    PickDateFn = [](const QString &text, QString &result) { return PickDate(text, result); };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    BuildStrip();
    BuildResults();

    const QueryPeriod period = InitialQueryPeriod(Today());
    edit_date_begin1->setText(period.begin);
    edit_date_end1->setText(period.end);
}

TfrmQueryMore::~TfrmQueryMore() = default;

void TfrmQueryMore::BuildStrip()
{
    auto *strip = new QWidget(this);
    auto *rows = new QVBoxLayout(strip);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(4);

    auto *top = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("从"), strip);
    edit_date_begin1 = new QLineEdit(strip);
    edit_date_begin1->setFixedWidth(90);
    Button1 = new QPushButton(QStringLiteral("..."), strip);
    Button1->setFixedSize(22, 21);
    Label2 = new QLabel(QStringLiteral("到"), strip);
    edit_date_end1 = new QLineEdit(strip);
    edit_date_end1->setFixedWidth(90);
    Button2 = new QPushButton(QStringLiteral("..."), strip);
    Button2->setFixedSize(22, 21);
    // Enter in a date field must not open the date dialog through a dialog's default button.
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    Label3 = new QLabel(QStringLiteral("期间"), strip);
    Label4 = new QLabel(QStringLiteral("类别为："), strip);
    type1 = new QComboBox(strip);
    type1->setEditable(true);
    type1->setInsertPolicy(QComboBox::NoInsert);
    type1->setMinimumWidth(120);
    Label_sum1 = ColouredLabel(QStringLiteral("合计："), Qt::red, strip);
    hj_day_label1 = ColouredLabel(QStringLiteral("0"), Qt::red, strip);
    for (QWidget *w :
         {static_cast<QWidget *>(Label1), static_cast<QWidget *>(edit_date_begin1), static_cast<QWidget *>(Button1),
          static_cast<QWidget *>(Label2), static_cast<QWidget *>(edit_date_end1), static_cast<QWidget *>(Button2),
          static_cast<QWidget *>(Label3), static_cast<QWidget *>(Label4), static_cast<QWidget *>(type1),
          static_cast<QWidget *>(Label_sum1), static_cast<QWidget *>(hj_day_label1)})
        top->addWidget(w);
    top->addStretch(1);
    rows->addLayout(top);

    auto *bottom = new QHBoxLayout;
    btnCurMonth = SmallButton(QStringLiteral("本月"), strip, 45);
    btnMonth1 = SmallButton(QStringLiteral("上月"), strip, 45);
    btnMonth2 = SmallButton(QStringLiteral("下月"), strip, 45);
    CheckBox_max1 = new QCheckBox(QStringLiteral("金额大于"), strip);
    Edit_max1 = new QLineEdit(QStringLiteral("50"), strip);
    Edit_max1->setFixedWidth(60);
    btnQuery = SmallButton(QStringLiteral("开始查询"), strip, 75);
    QPalette white = btnQuery->palette();
    white.setColor(QPalette::ButtonText, Qt::white);
    btnQuery->setPalette(white);
    Label6 = ColouredLabel(QStringLiteral("!"), Qt::red, strip, true);
    Label5 = ColouredLabel(QStringLiteral("1000"), QColor(0, 0, 128), strip);
    Label6->setToolTip(kHint1000);
    Label5->setToolTip(kHint1000);
    for (QWidget *w :
         {static_cast<QWidget *>(btnCurMonth), static_cast<QWidget *>(btnMonth1), static_cast<QWidget *>(btnMonth2),
          static_cast<QWidget *>(CheckBox_max1), static_cast<QWidget *>(Edit_max1), static_cast<QWidget *>(btnQuery),
          static_cast<QWidget *>(Label6), static_cast<QWidget *>(Label5)})
        bottom->addWidget(w);
    bottom->addStretch(1);
    btnExport = SmallButton(QStringLiteral("导出..."), strip, 60);
    btnExport->setToolTip(QStringLiteral("把表格中显示的记录存为 CSV 文件"));
    bottom->addWidget(btnExport);
    rows->addLayout(bottom);

    strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout()->addWidget(strip);

    // The category box offers the two pseudo-categories and then the list as it is at each drop-down.
    BindCategoryBox(type1, {kAllExpenses, kAllIncome});
    type1->setCurrentIndex(0);
    type1->setEditText(kAllExpenses);

    connect(btnQuery, &TPNGButtonEx::OnClick, this, &TfrmQueryMore::btnQueryClick);
    connect(btnCurMonth, &TPNGButtonEx::OnClick, this, &TfrmQueryMore::btnCurMonthClick);
    connect(btnMonth1, &TPNGButtonEx::OnClick, this, &TfrmQueryMore::btnMonth1Click);
    connect(btnMonth2, &TPNGButtonEx::OnClick, this, &TfrmQueryMore::btnMonth2Click);
    connect(Button1, &QPushButton::clicked, this, &TfrmQueryMore::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmQueryMore::Button2Click);
    connect(btnExport, &TPNGButtonEx::OnClick, this, &TfrmQueryMore::btnExportClick);
}

void TfrmQueryMore::BuildResults()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);

    tabTotals1 = new QTabWidget(Splitter1);
    tabTotals1->setDocumentMode(true);
    tabTotals1->tabBar()->setExpanding(true);
    tabTotals1->tabBar()->setElideMode(Qt::ElideNone);
    tabTotals1->tabBar()->setUsesScrollButtons(false);
    // Narrow tabs, so that "按输入者分(前1000条)" beside "按类别分" still fits the pane's 185 pixels.
    tabTotals1->tabBar()->setStyleSheet(kTabStyle);
    const auto totalsTree = [this](const QString &hint) {
        auto *tree = new QTreeWidget(tabTotals1);
        tree->setHeaderHidden(true);
        tree->setRootIsDecorated(false);
        tree->setColumnCount(1);
        tree->setToolTip(hint);
        return tree;
    };
    treeType1 = totalsTree(QStringLiteral("双击显示指定类别详情"));
    treeUser1 = totalsTree(QStringLiteral("双击只显示这个输入者的记录"));
    tabTotals1->addTab(treeType1, QStringLiteral("按类别分"));
    tabTotals1->addTab(treeUser1, QStringLiteral("按输入者分"));

    // Row 0 keeps the column titles as the grid's first row (the cell painter draws it as the header); the
    // horizontal header shows the same titles, stays put while scrolling and lets the user size the columns.
    tabResults1 = new QTabWidget(Splitter1);
    tabResults1->setDocumentMode(true);
    tabResults1->tabBar()->setStyleSheet(kTabStyle);
    gridHj1 = new QTableWidget(1, 5, tabResults1);
    gridHj1->setItemDelegate(new GridCellDelegate(gridHj1));
    gridHj1->verticalHeader()->hide();
    gridHj1->verticalHeader()->setDefaultSectionSize(24);
    gridHj1->setShowGrid(true);
    gridHj1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridHj1->setSelectionMode(QAbstractItemView::SingleSelection);
    gridHj1->setWordWrap(true);
    const QStringList titles = {QStringLiteral("名称"), QStringLiteral("金额"), QStringLiteral("收入/支出"),
                                QStringLiteral("类型"), QStringLiteral("日期")};
    gridHj1->setHorizontalHeaderLabels(titles);
    gridHj1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    gridHj1->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background: #F9F9F9; }"));
    for (int column = 0; column < titles.size(); ++column) {
        auto *item = new QTableWidgetItem(titles.at(column));
        item->setFlags(Qt::ItemIsEnabled);
        gridHj1->setItem(0, column, item);
        gridHj1->setColumnWidth(column, column == 0 ? 139 : 100);
    }
    gridHj1->setRowHidden(0, true);
    pageChart1 = new QWidget(tabResults1);
    auto *chartLayout = new QVBoxLayout(pageChart1);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    tabResults1->addTab(gridHj1, QStringLiteral("明细"));
    tabResults1->addTab(pageChart1, QStringLiteral("图表"));

    Splitter1->addWidget(tabTotals1);
    Splitter1->addWidget(tabResults1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({185, 563});
    static_cast<QVBoxLayout *>(layout())->addWidget(Splitter1, 1);

    connect(treeType1, &QTreeWidget::itemDoubleClicked, this, [this] { treeType1DblClick(); });
    connect(treeUser1, &QTreeWidget::itemDoubleClicked, this, [this] { treeUser1DblClick(); });
    connect(tabResults1, &QTabWidget::currentChanged, this, &TfrmQueryMore::tabResults1Changed);
}

QDate TfrmQueryMore::Today() const
{
    return today_ ? today_() : QDate::currentDate();
}

QueryStrip TfrmQueryMore::CurrentStrip() const
{
    QueryStrip strip;
    strip.minimumChecked = CheckBox_max1->isChecked();
    strip.minimumText = Edit_max1->text();
    strip.beginText = edit_date_begin1->text();
    strip.endText = edit_date_end1->text();
    strip.categoryText = type1->currentText();
    return strip;
}

void TfrmQueryMore::btnQueryClick()
{
    btnQuery->setEnabled(false);
    if (ResetCurPage)
        ResetCurPage();
    const QueryStrip strip = CurrentStrip();
    const QString url = ServiceBaseUrl + protocol::ScriptPost;
    httpAllData->Post(url, QueryRequestLines(strip, false));
    httpAllData_sum->Post(url, QueryRequestLines(strip, true));
    ShowBusy();
}

void TfrmQueryMore::treeType1DblClick()
{
    const QTreeWidgetItem *node = treeType1->currentItem();
    if (!node)
        return;
    btnQuery->setEnabled(false);
    const QString category = CategoryOfNodeText(node->text(0));
    httpAllData->Post(ServiceBaseUrl + protocol::ScriptPost, DetailRequestLines(CurrentStrip(), category));
    ShowBusy();
}

void TfrmQueryMore::httpAllDataHttpData(THttpThreadControl *component)
{
    btnQuery->setEnabled(true);
    HideBusy();
    WriteDebugDump(component->ResponseText);
    // A reply that does not parse throws here; the component turns it into its error event, and the grid and the
    // total keep what they showed.
    const Reply reply = ParseReply(component->ResponseText);
    ShowRecords(ReadQueryRecords(reply));
    WriteDataDump(reply);
}

void TfrmQueryMore::httpAllData_sumHttpData(THttpThreadControl *component)
{
    btnQuery->setEnabled(true);
    HideBusy();
    ShowCategoryTotals({});
    const QString text = component->ResponseText;
    WriteDebugDump(text);
    Reply reply;
    try {
        reply = ParseReply(text);
    } catch (const LumoraError &) {
        QString shown = text;
        if (shown.size() > kShownReplyChars)
            shown = shown.left(kShownReplyChars) + QStringLiteral("...");
        ShowMessage(QStringLiteral("错误: ") + shown);
        return;
    }
    ShowCategoryTotals(ReadCategoryTotals(reply));
    WriteDataDump(reply);
}

void TfrmQueryMore::ShowCategoryTotals(const QList<CategoryTotal> &totals)
{
    categoryTotals_ = totals;
    treeType1->clear();
    QList<QTreeWidgetItem *> nodes;
    for (const CategoryTotal &total : totals)
        nodes.append(new QTreeWidgetItem(QStringList{CategoryNodeText(total)}));
    treeType1->addTopLevelItems(nodes);
    if (chartsModule_)
        chartsModule_->showSlices(charts, CategorySlices(totals));
}

void TfrmQueryMore::httpAllDataHttpError(THttpThreadControl *, const QString &)
{
    btnQuery->setEnabled(true);
    HideBusy();
}

void TfrmQueryMore::ShowRecords(const QueryRecords &records)
{
    records_ = records;
    ShowRows(records);
    ShowPersonTotals();
}

void TfrmQueryMore::ShowRows(const QueryRecords &records)
{
    shown_ = records.rows;
    gridHj1->setUpdatesEnabled(false);
    gridHj1->setRowCount(int(records.rows.size()) + 1);
    int row = 1;
    for (const QueryRecordRow &line : records.rows) {
        SetCell(row, 0, line.name1);
        SetCell(row, 1, line.money1);
        SetCell(row, 2, line.inOut);
        SetCell(row, 3, line.type1);
        SetCell(row, 4, line.create_time);
        ++row;
    }
    gridHj1->setUpdatesEnabled(true);
    hj_day_label1->setText(AmountText(records.expenseTotal));
}

void TfrmQueryMore::ShowPersonTotals()
{
    const QList<PersonTotal> totals = ReadPersonTotals(records_.rows);
    treeUser1->clear();
    auto *all = new QTreeWidgetItem(QStringList{AllPersonsNodeText(records_.expenseTotal)});
    all->setData(0, kAllPersonsRole, true);
    QList<QTreeWidgetItem *> nodes{all};
    for (const PersonTotal &total : totals) {
        auto *node = new QTreeWidgetItem(QStringList{PersonNodeText(total)});
        node->setData(0, kPersonRole, total.person);
        nodes.append(node);
    }
    treeUser1->addTopLevelItems(nodes);
    const QString caption = PersonTabCaption(records_);
    tabTotals1->setTabText(tabTotals1->indexOf(treeUser1), caption);
    tabTotals1->setTabToolTip(tabTotals1->indexOf(treeUser1), records_.IsCut() ? kHint1000 : QString());
    if (chartsModule_)
        chartsModule_->showBars(charts, PersonBars(totals));
}

void TfrmQueryMore::treeUser1DblClick()
{
    // The rows are those of the last reply, so no request goes out.
    const QTreeWidgetItem *node = treeUser1->currentItem();
    if (!node)
        return;
    if (node->data(0, kAllPersonsRole).toBool())
        ShowRows(records_);
    else
        ShowRows(RowsOfPerson(records_, node->data(0, kPersonRole).toString()));
}

void TfrmQueryMore::tabResults1Changed(int index)
{
    if (charts || tabResults1->widget(index) != pageChart1)
        return;
    chartsModule_ = qobject_cast<QueryChartsModule *>(LoadModule(QStringLiteral("lumora-charts")));
    if (chartsModule_) {
        charts = chartsModule_->createCharts(pageChart1);
    } else {
        auto *note = new QLabel(ChartsMissingText, pageChart1);
        note->setAlignment(Qt::AlignCenter);
        charts = note;
    }
    pageChart1->layout()->addWidget(charts);
    if (!chartsModule_)
        return;
    chartsModule_->showSlices(charts, CategorySlices(categoryTotals_));
    chartsModule_->showBars(charts, PersonBars(ReadPersonTotals(records_.rows)));
}

void TfrmQueryMore::btnExportClick()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Without a documents folder the dialog would open in whatever folder the program was started from.
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString proposed =
        folder + QLatin1Char('/') + ExportFileName(edit_date_begin1->text(), edit_date_end1->text());
    const QString path =
        AskSaveFileName(QStringLiteral("导出"), proposed, QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QString reason;
    if (!WriteWholeFile(path, RecordsCsv(shown_), &reason))
        ShowMessage(QStringLiteral("导出失败: ") + reason);
}

void TfrmQueryMore::SetCell(int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = gridHj1->item(row, column)) {
        item->setText(text);
        return;
    }
    gridHj1->setItem(row, column, new QTableWidgetItem(text));
}

void TfrmQueryMore::btnCurMonthClick()
{
    const QueryPeriod period = MonthQueryPeriod(Today());
    edit_date_begin1->setText(period.begin);
    edit_date_end1->setText(period.end);
}

void TfrmQueryMore::btnMonth1Click()
{
    ShiftPeriod(-1);
}

void TfrmQueryMore::btnMonth2Click()
{
    ShiftPeriod(1);
}

void TfrmQueryMore::ShiftPeriod(int months)
{
    const QString begin = edit_date_begin1->text();
    const std::optional<QueryPeriod> period = ShiftedQueryPeriod(begin, months);
    if (!period) {
        ReportError(LumoraError(NotADateMessage(begin.trimmed())));
        return;
    }
    edit_date_begin1->setText(period->begin);
    edit_date_end1->setText(period->end);
}

void TfrmQueryMore::Button1Click()
{
    PickInto(edit_date_begin1);
}

void TfrmQueryMore::Button2Click()
{
    PickInto(edit_date_end1);
}

void TfrmQueryMore::PickInto(QLineEdit *field)
{
    // PickDate refuses a text that is no date before any dialog shows; the refusal is reported like any error
    // nobody caught, and the field keeps its text.
    RunReported([this, field] {
        const QString text = field->text();
        if (!TextToDate(text))
            throw LumoraError(NotADateMessage(text.trimmed()));
        QString result;
        if (PickDateFn && PickDateFn(text, result))
            field->setText(result);
    });
}

void TfrmQueryMore::showEvent(QShowEvent *event)
{
    // The first opening stands in the middle of the screen, not over the window that opened it; later openings
    // keep where the user left it.
    if (!placed_) {
        placed_ = true;
        const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            // The frame is centred, as far as the desktop already tells its size.
            const QRect area = screen->availableGeometry();
            QRect frame = frameGeometry();
            frame.moveCenter(area.center());
            move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
        }
    }
    QDialog::showEvent(event);
}

} // namespace lumora
