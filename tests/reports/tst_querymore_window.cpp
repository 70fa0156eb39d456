#include "tst_querymore_replies.h"

#include "controls/TPNGButtonEx.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "reports/TfrmQueryMore.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"
#include "util/ModuleLoader.h"
#include "util/SaveFileSeam.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace lumora;
using namespace lumora::test;

namespace
{

// The fields of a form body, values decoded from %XX and GBK; a repeated name keeps every value in order.
QList<QPair<QString, QString>> Fields(const QByteArray &body)
{
    QList<QPair<QString, QString>> fields;
    for (const QByteArray &part : body.split('&')) {
        if (part.isEmpty())
            continue;
        const qsizetype eq = part.indexOf('=');
        QByteArray value = part.mid(eq + 1);
        value.replace('+', ' ');
        fields.append({QString::fromLatin1(part.left(eq)), FromGbk(QByteArray::fromPercentEncoding(value))});
    }
    return fields;
}

QString Field(const QByteArray &body, const QString &name)
{
    const auto fields = Fields(body);
    for (const auto &[key, value] : fields)
        if (key == name)
            return value;
    return QStringLiteral("<missing>");
}

bool IsTotals(const RecordedRequest &request)
{
    return request.body.contains("sum1=sum1");
}

QString ThreeRecords()
{
    return ReplyWithRows({
        RecordRow(QStringLiteral("午饭"), QStringLiteral("12.5"), QStringLiteral("0"), QStringLiteral("餐饮"),
                  QStringLiteral("2014-03-02")),
        RecordRow(QStringLiteral("工资"), QStringLiteral("5000"), QStringLiteral("1"), QStringLiteral("工资"),
                  QStringLiteral("2014-03-05")),
        RecordRow(QStringLiteral("外卖"), QStringLiteral("20"), QStringLiteral("0"), QStringLiteral("餐饮(外卖)"),
                  QStringLiteral("2014-03-06")),
    });
}

QString TwoTotals()
{
    return ReplyWithRows({TotalRow(QStringLiteral("餐饮"), QStringLiteral("12.5")),
                          TotalRow(QStringLiteral("餐饮(外卖)"), QStringLiteral("20"))});
}

QStringList NodeTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// Counts the replies and failures a component hands to the window, after the window's own handlers ran.
struct ReplyCounter {
    int data = 0;
    int errors = 0;
    void watch(THttpThreadControl *component)
    {
        const auto onData = component->OnHttpData;
        const auto onError = component->OnHttpError;
        component->OnHttpData = [this, onData](THttpThreadControl *c) {
            onData(c);
            ++data;
        };
        component->OnHttpError = [this, onError](THttpThreadControl *c, const QString &err) {
            onError(c, err);
            ++errors;
        };
    }
};

QStringList GridRow(const QTableWidget *grid, int row)
{
    QStringList cells;
    for (int column = 0; column < grid->columnCount(); ++column)
        cells << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
    return cells;
}

QStringList GridNames(const QTableWidget *grid)
{
    QStringList names;
    for (int row = 1; row < grid->rowCount(); ++row)
        names << grid->item(row, 0)->text();
    return names;
}

QStringList TabTexts(const QTabWidget *tabs)
{
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i)
        texts << tabs->tabText(i);
    return texts;
}

void ClickTab(QTabWidget *tabs, int index)
{
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
}

void DoubleClickNode(QTreeWidget *tree, int index)
{
    const QRect rect = tree->visualItemRect(tree->topLevelItem(index));
    QVERIFY(rect.isValid());
    // What the window system delivers for a double click: press, release, double-click, release.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, rect.center());
}

// The chart module's pictures, found as the window shows them.
QChart *ChartOf(QWidget *charts, const char *view)
{
    auto *found = charts ? charts->findChild<QChartView *>(QLatin1String(view)) : nullptr;
    return found ? found->chart() : nullptr;
}

QPieSeries *Pie(QWidget *charts)
{
    QChart *chart = ChartOf(charts, "chartType1");
    return chart ? qobject_cast<QPieSeries *>(chart->series().value(0)) : nullptr;
}

QStringList People(QWidget *charts)
{
    QChart *chart = ChartOf(charts, "chartUser1");
    auto *axis = chart ? qobject_cast<QBarCategoryAxis *>(chart->axes(Qt::Vertical).value(0)) : nullptr;
    return axis ? axis->categories() : QStringList{"no axis"};
}

QBarSet *Bars(QWidget *charts)
{
    QChart *chart = ChartOf(charts, "chartUser1");
    auto *series = chart ? qobject_cast<QHorizontalBarSeries *>(chart->series().value(0)) : nullptr;
    return series ? series->barSets().value(0) : nullptr;
}

QStringList SliceLabels(const QPieSeries *pie)
{
    if (!pie)
        return {"no pie"};
    QStringList labels;
    for (const QPieSlice *slice : pie->slices())
        labels << slice->label();
    return labels;
}

QList<qreal> SliceValues(const QPieSeries *pie)
{
    QList<qreal> values;
    if (!pie)
        return {-1};
    for (const QPieSlice *slice : pie->slices())
        values << slice->value();
    return values;
}

QList<qreal> BarValues(const QBarSet *set)
{
    QList<qreal> values;
    if (!set)
        return {-1};
    for (int i = 0; i < set->count(); ++i)
        values << set->at(i);
    return values;
}

} // namespace

class TestQueryMoreWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithItsPeriodAndStrip();
    void categoryBoxRefillsFromTheList();
    void periodButtons_data();
    void periodButtons();
    void shiftWithANonDateReportsAndKeepsFields();
    void dateButtons();
    void querySendsBothRequestsAndFillsGridAndTree();
    void incomeQuery();
    void typedCategoryIsSentTrimmed();
    void detailQueryKeepsBracketsOfTheCategory();
    void doubleClickWithoutNodeSendsNothing();
    void totalsReplyNotXmlShowsTheReply();
    void recordsReplyNotXmlKeepsTheGrid();
    void networkFailureReenablesSilently();
    void firstReplyReenablesTheButton();
    void byPersonTabTotalsTheLastRecords();
    void chartsFollowTheReplies();
    void chartsPageWithoutTheModule();
    void exportSavesTheShownRows();
    void failedOrCancelledExportLeavesNoFile();

private:
    std::unique_ptr<TfrmQueryMore> shownForm();
    void queryHousehold(TfrmQueryMore *form, qsizetype matching = -1);
    std::unique_ptr<TfrmQueryMore> makeForm(const QDate &today = QDate(2014, 3, 15));
    void answer(const QString &records, const QString &totals);

    QTemporaryDir dir_;
    std::unique_ptr<LoopbackHttpServer> server_;
    std::unique_ptr<ScopedMessageCapture> messages_;
};

void TestQueryMoreWindow::initTestCase()
{
    QVERIFY(dir_.isValid());
    SetModulePath(QStringLiteral("lumora-charts"), QStringLiteral(LUMORA_CHARTS_MODULE));
    SetExeFolder(dir_.path() + QLatin1Char('/'));
}

void TestQueryMoreWindow::init()
{
    ResetSession();
    SessionUser = QStringLiteral("用户");
    SessionPassword = QStringLiteral("pw");
    SessionInputUser = QStringLiteral("me");
    CategoryListText = QStringLiteral("餐饮\r\n交通\r\n");
    server_ = std::make_unique<LoopbackHttpServer>();
    QVERIFY(server_->listen());
    ServiceBaseUrl = server_->url(QStringLiteral("ms/kessum/"));
    messages_ = std::make_unique<ScopedMessageCapture>();
}

void TestQueryMoreWindow::cleanup()
{
    messages_.reset();
    server_.reset();
    HideBusy();
}

std::unique_ptr<TfrmQueryMore> TestQueryMoreWindow::makeForm(const QDate &today)
{
    return std::make_unique<TfrmQueryMore>(nullptr, [today] { return today; });
}

std::unique_ptr<TfrmQueryMore> TestQueryMoreWindow::shownForm()
{
    auto form = makeForm();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return {};
    return form;
}

void TestQueryMoreWindow::queryHousehold(TfrmQueryMore *form, qsizetype matching)
{
    answer(ReplyWithRows(HouseholdRows(), matching), TwoTotals());
    QTest::mouseClick(form->btnQuery, Qt::LeftButton);
    QTRY_COMPARE(form->gridHj1->rowCount(), 7);
    QTRY_COMPARE(form->treeType1->topLevelItemCount(), 2);
}

void TestQueryMoreWindow::answer(const QString &records, const QString &totals)
{
    server_->setHandler([records, totals](const RecordedRequest &request) {
        return CannedResponse::text(IsTotals(request) ? totals : records);
    });
}

void TestQueryMoreWindow::startsWithItsPeriodAndStrip()
{
    // Given today is 31 March, when the window is made
    const auto form = makeForm(QDate(2014, 3, 31));

    // Then the period runs from the last day of February to tomorrow, and the strip has its start values
    QCOMPARE(form->windowTitle(), QStringLiteral("费用查询"));
    QCOMPARE(form->edit_date_begin1->text(), QStringLiteral("2014-02-28"));
    QCOMPARE(form->edit_date_end1->text(), QStringLiteral("2014-04-01"));
    QCOMPARE(form->type1->currentText(), QStringLiteral("<全部支出>"));
    QVERIFY(!form->CheckBox_max1->isChecked());
    QCOMPARE(form->Edit_max1->text(), QStringLiteral("50"));
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("0"));
    QCOMPARE(form->gridHj1->rowCount(), 1);
    QCOMPARE(form->gridHj1->columnCount(), 5);
    QCOMPARE(GridRow(form->gridHj1, 0), QStringList({"名称", "金额", "收入/支出", "类型", "日期"}));
    QCOMPARE(form->gridHj1->columnWidth(0), 139);
    QCOMPARE(form->gridHj1->columnWidth(4), 100);
    QCOMPARE(form->btnQuery->caption(), QStringLiteral("开始查询"));
    QCOMPARE(form->Label5->toolTip(), QStringLiteral("如果查询范围过大将只返回前1000条记录"));
    QCOMPARE(form->treeType1->toolTip(), QStringLiteral("双击显示指定类别详情"));
    QCOMPARE(form->httpAllData->ReadTimeout, 20000);
    QCOMPARE(form->httpAllData_sum->ReadTimeout, 20000);
}

void TestQueryMoreWindow::categoryBoxRefillsFromTheList()
{
    // Given a window made with two categories
    const auto form = makeForm();
    QCOMPARE(form->type1->count(), 4);
    QCOMPARE(form->type1->itemText(1), QStringLiteral("<全部收入>"));

    // When the list changes and the box drops down
    CategoryListText = QStringLiteral("住房\r\n");
    form->show();
    QTest::keyClick(form->type1, Qt::Key_F4);
    form->type1->hidePopup();

    // Then the box offers the pseudo-categories and the new list, and keeps its text
    QCOMPARE(form->type1->count(), 3);
    QCOMPARE(form->type1->itemText(0), QStringLiteral("<全部支出>"));
    QCOMPARE(form->type1->itemText(2), QStringLiteral("住房"));
    QCOMPARE(form->type1->currentText(), QStringLiteral("<全部支出>"));
}

void TestQueryMoreWindow::periodButtons_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::newRow("本月 on a month's last day") << QDate(2014, 1, 31) << "2013-12-31"
                                                << "cur"
                                                << "2014-01-01"
                                                << "2014-02-01";
    QTest::newRow("本月 on new year's eve") << QDate(2014, 12, 31) << "2014-11-30"
                                            << "cur"
                                            << "2014-12-01"
                                            << "2015-01-01";
    QTest::newRow("上月 from 2014-03-31") << QDate(2014, 6, 1) << "2014-03-31"
                                          << "prev"
                                          << "2014-02-01"
                                          << "2014-03-01";
    QTest::newRow("上月 across the year") << QDate(2014, 6, 1) << "2014-01-31"
                                          << "prev"
                                          << "2013-12-01"
                                          << "2014-01-01";
    QTest::newRow("下月 from a month's last day") << QDate(2014, 6, 1) << "2014-01-31"
                                                  << "next"
                                                  << "2014-02-01"
                                                  << "2014-03-01";
}

void TestQueryMoreWindow::periodButtons()
{
    QFETCH(QDate, today);
    QFETCH(QString, start);
    QFETCH(QString, button);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    const auto form = makeForm(today);
    form->edit_date_begin1->setText(start);

    if (button == QLatin1String("cur"))
        emit form->btnCurMonth->OnClick();
    else if (button == QLatin1String("prev"))
        emit form->btnMonth1->OnClick();
    else
        emit form->btnMonth2->OnClick();

    QCOMPARE(form->edit_date_begin1->text(), begin);
    QCOMPARE(form->edit_date_end1->text(), end);
    QVERIFY(messages_->messages.isEmpty());
    QCOMPARE(server_->requestCount(), 0); // the buttons only set the period
}

void TestQueryMoreWindow::shiftWithANonDateReportsAndKeepsFields()
{
    const auto form = makeForm();
    form->edit_date_begin1->setText(QStringLiteral("2014-02-30"));
    form->edit_date_end1->setText(QStringLiteral("2014-03-01"));

    form->btnMonth1Click();

    QCOMPARE(messages_->texts(), QStringList{QStringLiteral("发生错误:'2014-02-30' 不是有效的日期")});
    QCOMPARE(form->edit_date_begin1->text(), QStringLiteral("2014-02-30"));
    QCOMPARE(form->edit_date_end1->text(), QStringLiteral("2014-03-01"));
}

void TestQueryMoreWindow::dateButtons()
{
    // Given a picker that confirms the start field and cancels the end field
    const auto form = makeForm();
    QStringList asked;
    form->PickDateFn = [&asked](const QString &text, QString &result) {
        asked << text;
        if (text.startsWith(QLatin1String("2014-02"))) {
            result = QStringLiteral("2014-1-9");
            return true;
        }
        result = QStringLiteral("never used");
        return false;
    };

    // When both "..." buttons are clicked, and then the start button on a field that is no date
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    form->edit_date_begin1->setText(QStringLiteral("soon"));
    QTest::mouseClick(form->Button1, Qt::LeftButton);

    // Then the confirmed field takes the result, the cancelled one keeps its text, and the non-date opens nothing
    QCOMPARE(asked, QStringList({"2014-02-15", "2014-03-16"}));
    QCOMPARE(form->edit_date_end1->text(), QStringLiteral("2014-03-16"));
    QCOMPARE(form->edit_date_begin1->text(), QStringLiteral("soon"));
    QCOMPARE(messages_->texts(), QStringList{QStringLiteral("发生错误:'soon' 不是有效的日期")});
}

void TestQueryMoreWindow::querySendsBothRequestsAndFillsGridAndTree()
{
    // Given a window with a minimum amount and a service with three records and two category totals
    const auto form = makeForm();
    int resets = 0;
    form->ResetCurPage = [&resets] { ++resets; };
    form->CheckBox_max1->setChecked(true);
    answer(ThreeRecords(), TwoTotals());

    // When the query starts
    QTest::mouseClick(form->btnQuery, Qt::LeftButton);

    // Then the button is off while both requests go out, the main window's page counter is reset
    QCOMPARE(resets, 1);
    QVERIFY(!form->btnQuery->isEnabled());
    QVERIFY(BusyVisible());
    QTRY_COMPARE(server_->requestCount(), 2);
    QTRY_COMPARE(form->treeType1->topLevelItemCount(), 2);
    QTRY_COMPARE(form->gridHj1->rowCount(), 4);
    QVERIFY(form->btnQuery->isEnabled());
    QVERIFY(!BusyVisible());

    // ... with the fields in order, the totals request adding "sum1=sum1"
    const QList<RecordedRequest> requests = server_->requests();
    const QByteArray records = IsTotals(requests.at(0)) ? requests.at(1).body : requests.at(0).body;
    const QByteArray totals = IsTotals(requests.at(0)) ? requests.at(0).body : requests.at(1).body;
    const QList<QPair<QString, QString>> expected = {
        {"user_name", "用户"},       {"user_pass", "pw"}, {"input_user", "me"}, {"client_type", "pc"},
        {"protocol_version", "1.0"}, {"action", "data"},  {"mini_money", "50"}, {"bdate1", "2014-02-15"},
        {"edate1", "2014-03-16"},    {"type1", ""},       {"in1", "0"},
    };
    QCOMPARE(Fields(records), expected);
    QList<QPair<QString, QString>> expectedTotals = expected;
    expectedTotals.append({QStringLiteral("sum1"), QStringLiteral("sum1")});
    QCOMPARE(Fields(totals), expectedTotals);
    QCOMPARE(requests.at(0).path, QByteArray("/ms/kessum/kessum_sqlite_post.php"));

    // ... and the grid, the expense total and the tree show the replies
    QCOMPARE(GridRow(form->gridHj1, 1), QStringList({"午饭", "12.50", "支出", "餐饮", "2014-03-02"}));
    QCOMPARE(GridRow(form->gridHj1, 2), QStringList({"工资", "5000.00", "收入", "工资", "2014-03-05"}));
    QCOMPARE(GridRow(form->gridHj1, 3), QStringList({"外卖", "20.00", "支出", "餐饮(外卖)", "2014-03-06"}));
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("32.50"));
    QCOMPARE(NodeTexts(form->treeType1), QStringList({"餐饮(12.50)", "餐饮(外卖)(20.00)"}));
    QVERIFY(messages_->messages.isEmpty());
    QVERIFY(QFile::exists(ExeFolder() + QStringLiteral("debug.xml")));
    QVERIFY(QFile::exists(ExeFolder() + QStringLiteral("data.xml")));

    // When a later query finds fewer records, the grid shrinks to them
    answer(ReplyWithRows({}), ReplyWithRows({}));
    form->btnQueryClick();
    QTRY_COMPARE(form->gridHj1->rowCount(), 1);
    QTRY_COMPARE(form->treeType1->topLevelItemCount(), 0);
    QTRY_COMPARE(form->hj_day_label1->text(), QStringLiteral("0.00"));
    QCOMPARE(resets, 2);
}

void TestQueryMoreWindow::incomeQuery()
{
    const auto form = makeForm();
    form->type1->setEditText(QStringLiteral("<全部收入>"));
    answer(ReplyWithRows({RecordRow(QStringLiteral("工资"), QStringLiteral("5000"), QStringLiteral("1"),
                                    QStringLiteral("工资"), QStringLiteral("2014-03-05"))}),
           ReplyWithRows({TotalRow(QStringLiteral("工资"), QStringLiteral("5000"))}));

    form->btnQueryClick();

    QTRY_COMPARE(server_->requestCount(), 2);
    QTRY_COMPARE(form->gridHj1->rowCount(), 2);
    for (const RecordedRequest &request : server_->requests()) {
        QCOMPARE(Field(request.body, QStringLiteral("in1")), QStringLiteral("1"));
        QCOMPARE(Field(request.body, QStringLiteral("type1")), QString());
    }
    QCOMPARE(GridRow(form->gridHj1, 1).at(2), QStringLiteral("收入"));
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("0.00"));
}

void TestQueryMoreWindow::typedCategoryIsSentTrimmed()
{
    const auto form = makeForm();
    form->type1->setEditText(QStringLiteral("  打车 费  "));
    answer(ReplyWithRows({}), ReplyWithRows({}));

    form->btnQueryClick();

    QTRY_COMPARE(server_->requestCount(), 2);
    for (const RecordedRequest &request : server_->requests()) {
        QCOMPARE(Field(request.body, QStringLiteral("type1")), QStringLiteral("打车 费"));
        QCOMPARE(Field(request.body, QStringLiteral("in1")), QStringLiteral("0"));
    }
}

void TestQueryMoreWindow::detailQueryKeepsBracketsOfTheCategory()
{
    // Given a query that filled the tree
    const auto form = makeForm();
    answer(ThreeRecords(), TwoTotals());
    form->btnQueryClick();
    QTRY_COMPARE(form->treeType1->topLevelItemCount(), 2);
    QTRY_COMPARE(form->gridHj1->rowCount(), 4);
    QTRY_VERIFY(form->btnQuery->isEnabled());

    // When the node of a category whose name holds brackets is double-clicked, after the period changed
    answer(ReplyWithRows({RecordRow(QStringLiteral("外卖"), QStringLiteral("20"), QStringLiteral("0"),
                                    QStringLiteral("餐饮(外卖)"), QStringLiteral("2014-03-06"))}),
           QStringLiteral("not for the detail"));
    form->edit_date_begin1->setText(QStringLiteral("2014-03-01"));
    QTreeWidgetItem *node = form->treeType1->topLevelItem(1);
    form->treeType1->setCurrentItem(node);
    emit form->treeType1->itemDoubleClicked(node, 0);

    // Then only a records request goes out, for the whole category name and the period as it stands now
    QVERIFY(!form->btnQuery->isEnabled());
    QTRY_COMPARE(server_->requestCount(), 3);
    const QByteArray body = server_->requests().at(2).body;
    QVERIFY(!IsTotals(server_->requests().at(2)));
    QCOMPARE(Field(body, QStringLiteral("type1")), QStringLiteral("餐饮(外卖)"));
    QCOMPARE(Field(body, QStringLiteral("in1")), QStringLiteral("0"));
    QCOMPARE(Field(body, QStringLiteral("bdate1")), QStringLiteral("2014-03-01"));
    QTRY_COMPARE(form->gridHj1->rowCount(), 2);
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("20.00"));
    QVERIFY(form->btnQuery->isEnabled());
    QCOMPARE(form->treeType1->topLevelItemCount(), 2); // the tree stays
}

void TestQueryMoreWindow::doubleClickWithoutNodeSendsNothing()
{
    const auto form = makeForm();

    form->treeType1DblClick();

    QVERIFY(form->btnQuery->isEnabled());
    QVERIFY(!BusyVisible());
    QCOMPARE(server_->requestCount(), 0);
}

void TestQueryMoreWindow::totalsReplyNotXmlShowsTheReply()
{
    const auto form = makeForm();
    answer(ThreeRecords(), QStringLiteral("Fatal error: <b>oops"));

    form->btnQueryClick();

    QTRY_COMPARE(messages_->messages.size(), 1);
    QCOMPARE(messages_->lastText(), QStringLiteral("错误: Fatal error: <b>oops "));
    QTRY_COMPARE(form->gridHj1->rowCount(), 4); // the records reply is handled all the same
    QCOMPARE(form->treeType1->topLevelItemCount(), 0);
    QVERIFY(form->btnQuery->isEnabled());
}

void TestQueryMoreWindow::recordsReplyNotXmlKeepsTheGrid()
{
    // Given a window that shows three records
    const auto form = makeForm();
    answer(ThreeRecords(), TwoTotals());
    form->btnQueryClick();
    QTRY_COMPARE(form->gridHj1->rowCount(), 4);
    QTRY_COMPARE(form->treeType1->topLevelItemCount(), 2);

    // When the next records reply is not XML
    ReplyCounter records, totals;
    records.watch(form->httpAllData);
    totals.watch(form->httpAllData_sum);
    answer(QStringLiteral("<html>busy"), TwoTotals());
    form->btnQueryClick();

    // Then nothing is shown, the grid and total stay and the button comes back
    QTRY_COMPARE(records.errors, 1);
    QTRY_COMPARE(totals.data, 1);
    QCOMPARE(records.data, 0);
    QVERIFY(form->btnQuery->isEnabled());
    QVERIFY(!BusyVisible());
    QVERIFY(messages_->messages.isEmpty());
    QCOMPARE(form->gridHj1->rowCount(), 4);
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("32.50"));
}

void TestQueryMoreWindow::networkFailureReenablesSilently()
{
    // Given a service address where nobody listens
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    ServiceBaseUrl = QStringLiteral("http://127.0.0.1:%1/ms/kessum/").arg(port);
    const auto form = makeForm();
    ReplyCounter records, totals;
    records.watch(form->httpAllData);
    totals.watch(form->httpAllData_sum);

    form->btnQueryClick();

    QTRY_COMPARE(records.errors, 1);
    QTRY_COMPARE(totals.errors, 1);
    QVERIFY(form->btnQuery->isEnabled());
    QVERIFY(!BusyVisible());
    QVERIFY(messages_->messages.isEmpty());
}

void TestQueryMoreWindow::firstReplyReenablesTheButton()
{
    // Given a service that answers the totals slowly
    const auto form = makeForm();
    CannedResponse slow = CannedResponse::text(TwoTotals());
    slow.mode = CannedResponse::Mode::SlowBytes;
    slow.slowIntervalMs = 2;
    const CannedResponse quick = CannedResponse::text(ThreeRecords());
    server_->setHandler([slow, quick](const RecordedRequest &request) { return IsTotals(request) ? slow : quick; });

    form->btnQueryClick();

    // Then the records reply alone brings the button back and hides the busy window
    QTRY_COMPARE(form->gridHj1->rowCount(), 4);
    QVERIFY(form->btnQuery->isEnabled());
    QVERIFY(!BusyVisible());
    QCOMPARE(form->treeType1->topLevelItemCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(form->treeType1->topLevelItemCount(), 2, 30000);
}

void TestQueryMoreWindow::byPersonTabTotalsTheLastRecords()
{
    // Given a window whose query found more records than the service sent, of four users, one unlabelled
    const auto form = shownForm();
    QVERIFY(form);
    QCOMPARE(TabTexts(form->tabTotals1), QStringList({"按类别分", "按输入者分"}));
    QCOMPARE(form->tabTotals1->currentWidget(), form->treeType1);
    queryHousehold(form.get(), 1500);

    // Then the tab says its totals are partial and lists everybody, then each user by expense total
    QCOMPARE(TabTexts(form->tabTotals1), QStringList({"按类别分", "按输入者分(前1000条)"}));
    ClickTab(form->tabTotals1, 1);
    QCOMPARE(form->tabTotals1->currentWidget(), form->treeUser1);
    QCOMPARE(NodeTexts(form->treeUser1),
             QStringList({"全部(127.50)", "张三(52.50)", "李四(45.00)", "(未标识)(30.00)", "王五(0.00)"}));

    // When a user is double-clicked, the grid shows only his rows and the label their sum
    DoubleClickNode(form->treeUser1, 1);
    QCOMPARE(GridNames(form->gridHj1), QStringList({"午饭", "工资", "电影"}));
    QCOMPARE(GridRow(form->gridHj1, 3), QStringList({"电影", "40.00", "支出", "娱乐", "2014-03-07"}));
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("52.50"));
    DoubleClickNode(form->treeUser1, 3);
    QCOMPARE(GridNames(form->gridHj1), QStringList{"打车"});
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("30.00"));

    // ... and "全部" shows every row again, all without a request
    DoubleClickNode(form->treeUser1, 0);
    QCOMPARE(GridNames(form->gridHj1), QStringList({"午饭", "打车", "书", "工资", "奖金", "电影"}));
    QCOMPARE(form->hj_day_label1->text(), QStringLiteral("127.50"));
    QCOMPARE(server_->requestCount(), 2);

    // When the next reply holds every match, the mark goes and the users are counted afresh
    answer(ReplyWithRows({HouseholdRows().at(2)}), TwoTotals());
    form->btnQueryClick();
    QTRY_COMPARE(form->gridHj1->rowCount(), 2);
    QCOMPARE(TabTexts(form->tabTotals1), QStringList({"按类别分", "按输入者分"}));
    QCOMPARE(NodeTexts(form->treeUser1), QStringList({"全部(45.00)", "李四(45.00)"}));
}

void TestQueryMoreWindow::chartsFollowTheReplies()
{
    // Given a window that answered a query while its records tab was shown
    const auto form = shownForm();
    QVERIFY(form);
    QCOMPARE(TabTexts(form->tabResults1), QStringList({"明细", "图表"}));
    QCOMPARE(form->tabResults1->currentWidget(), form->gridHj1);
    queryHousehold(form.get());
    QVERIFY(!form->charts);

    // When the chart tab is shown
    ClickTab(form->tabResults1, 1);

    // Then the pie has one slice per category node, and the bars one per user, the largest on top
    QVERIFY(form->charts);
    QCOMPARE(NodeTexts(form->treeType1), QStringList({"餐饮(12.50)", "餐饮(外卖)(20.00)"}));
    QCOMPARE(SliceLabels(Pie(form->charts)), QStringList({"餐饮 12.50 (38.5%)", "餐饮(外卖) 20.00 (61.5%)"}));
    QCOMPARE(SliceValues(Pie(form->charts)), QList<qreal>({12.5, 20.0}));
    QCOMPARE(People(form->charts), QStringList({"王五", "(未标识)", "李四", "张三"}));
    QCOMPARE(BarValues(Bars(form->charts)), QList<qreal>({0.0, 30.0, 45.0, 52.5}));

    // When later replies come, the charts follow them
    answer(ReplyWithRows({HouseholdRows().at(2)}), ReplyWithRows({TotalRow(QStringLiteral("文化"), "45")}));
    form->btnQueryClick();
    QTRY_COMPARE(SliceLabels(Pie(form->charts)), QStringList{"文化 45.00 (100.0%)"});
    QTRY_COMPARE(People(form->charts), QStringList{"李四"});
    QCOMPARE(BarValues(Bars(form->charts)), QList<qreal>{45.0});

    // ... and a totals reply that does not read empties the pie with the tree
    answer(ReplyWithRows({}), QStringLiteral("<html>busy"));
    form->btnQueryClick();
    QTRY_COMPARE(messages_->messages.size(), 1);
    QCOMPARE(form->treeType1->topLevelItemCount(), 0);
    QCOMPARE(Pie(form->charts)->count(), 0);
}

void TestQueryMoreWindow::chartsPageWithoutTheModule()
{
    // Given an installation without the chart module
    SetModulePath(QStringLiteral("lumora-charts"), dir_.filePath(QStringLiteral("lumora-charts.so")));
    const auto form = shownForm();
    QVERIFY(form);
    queryHousehold(form.get());

    // When the chart tab is shown, and replies come afterwards
    ClickTab(form->tabResults1, 1);
    answer(ReplyWithRows({HouseholdRows().at(2)}), ReplyWithRows({TotalRow(QStringLiteral("文化"), "45")}));
    form->btnQueryClick();
    QTRY_COMPARE(NodeTexts(form->treeType1), QStringList{"文化(45.00)"});

    // Then the page says so, and the rest of the window works on
    auto *note = qobject_cast<QLabel *>(form->charts);
    QVERIFY(note);
    QCOMPARE(note->text(), TfrmQueryMore::ChartsMissingText);
    QCOMPARE(GridNames(form->gridHj1), QStringList{"书"});
    SetModulePath(QStringLiteral("lumora-charts"), QStringLiteral(LUMORA_CHARTS_MODULE));
}

void TestQueryMoreWindow::exportSavesTheShownRows()
{
    // Given a window showing one user's rows
    const auto form = shownForm();
    QVERIFY(form);
    queryHousehold(form.get());
    ClickTab(form->tabTotals1, 1);
    DoubleClickNode(form->treeUser1, 1);
    QCOMPARE(form->gridHj1->rowCount(), 4);
    const QString path = dir_.filePath(QStringLiteral("export.csv"));
    ScopedSaveFileAnswer dialog(path);

    // When "导出..." is clicked and a file chosen
    QCOMPARE(form->btnExport->caption(), QStringLiteral("导出..."));
    QTest::mouseClick(form->btnExport, Qt::LeftButton);

    // Then the dialog proposed the period's name in the documents folder, and the file holds the shown rows
    QCOMPARE(dialog.questions.size(), 1);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = QDir(documents).exists() ? documents : QDir::homePath();
    QCOMPARE(dialog.questions.at(0).proposedPath, folder + QStringLiteral("/费用_2014-02-15_2014-03-16.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF") + QStringLiteral("名称,金额,收入/支出,类型,日期,输入者\r\n"
                                                                         "午饭,12.50,支出,餐饮,2014-03-02,张三\r\n"
                                                                         "工资,5000.00,收入,工资,2014-03-05,张三\r\n"
                                                                         "电影,40.00,支出,娱乐,2014-03-07,张三\r\n")
                                                              .toUtf8());
    QVERIFY(messages_->messages.isEmpty());
    QCOMPARE(server_->requestCount(), 2);
}

void TestQueryMoreWindow::failedOrCancelledExportLeavesNoFile()
{
    const auto form = shownForm();
    QVERIFY(form);
    queryHousehold(form.get());
    const QString missing = dir_.filePath(QStringLiteral("gone/export.csv"));

    // When the dialog is cancelled, nothing is written or said
    {
        ScopedSaveFileAnswer cancel;
        QTest::mouseClick(form->btnExport, Qt::LeftButton);
        QCOMPARE(cancel.questions.size(), 1);
    }
    QVERIFY(messages_->messages.isEmpty());

    // When the chosen folder does not exist, the failure is told with its reason
    ScopedSaveFileAnswer dialog(missing);
    QTest::mouseClick(form->btnExport, Qt::LeftButton);
    QCOMPARE(messages_->messages.size(), 1);
    QVERIFY(messages_->lastText().startsWith(QStringLiteral("导出失败: ")));
    QVERIFY(messages_->lastText().size() > QStringLiteral("导出失败: ").size());
    QVERIFY(!QFile::exists(missing));
    QVERIFY(!QDir(dir_.filePath(QStringLiteral("gone"))).exists());
}

QTEST_MAIN(TestQueryMoreWindow)
#include "tst_querymore_window.moc"
