#include "controls/TPNGButtonEx.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "reports/QueryReply.h"
#include "reports/TfrmQueryMore.h"
#include "servicefixture/ServiceProcess.h"
#include "servicefixture/ServiceReply.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace lumora;
using namespace lumora::testing;

namespace
{

const QString kUser = QStringLiteral("查询者");
const QString kPassword = QStringLiteral("pw 1");

struct Stored {
    const char *name;
    const char *money;
    const char *in1;
    const char *type;
    const char *date;
};

// March 2014 holds four expenses and one income; the records on either side of the month must stay out.
const Stored kRecords[] = {
    {"午饭", "12.5", "0", "餐饮", "2014-03-01"},     {"晚饭", "7.25", "0", "餐饮", "2014-03-31"},
    {"打车", "30", "0", "交通", "2014-03-10"},       {"工资", "5000", "1", "工资", "2014-03-05"},
    {"外卖", "20", "0", "餐饮(外卖)", "2014-03-20"}, {"早饭", "99", "0", "餐饮", "2014-04-01"},
    {"地铁", "5", "0", "交通", "2014-02-28"},
};

// Waits until both replies of a query (or the one of a detail query) were handled.
struct ReplyCounter {
    int done = 0;
    void watch(THttpThreadControl *component)
    {
        const auto onData = component->OnHttpData;
        const auto onError = component->OnHttpError;
        component->OnHttpData = [this, onData](THttpThreadControl *c) {
            onData(c);
            ++done;
        };
        component->OnHttpError = [this, onError](THttpThreadControl *c, const QString &err) {
            onError(c, err);
            ++done;
        };
    }
};

QList<QStringList> GridRows(const QTableWidget *grid)
{
    QList<QStringList> rows;
    for (int row = 1; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->columnCount(); ++column)
            cells << grid->item(row, column)->text();
        rows << cells;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList NodeTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    texts.sort();
    return texts;
}

} // namespace

class TestQueryMoreService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void monthQueryMatchesTheStoredRecords();
    void incomeQueryShowsIncomeWithZeroTotal();
    void typedCategoryAndMinimum();
    void detailOfACategoryWithBrackets();

private:
    void runQuery(int replies);

    QTemporaryDir dir_;
    std::unique_ptr<ServiceProcess> service_;
    std::unique_ptr<TfrmQueryMore> form_;
    std::unique_ptr<ScopedMessageCapture> messages_;
    ReplyCounter counter_;
};

void TestQueryMoreService::initTestCase()
{
    QVERIFY(dir_.isValid());
    SetExeFolder(dir_.path() + QLatin1Char('/'));
    service_ = std::make_unique<ServiceProcess>();
    QVERIFY2(service_->isRunning(), qPrintable(service_->errorString()));
    QVERIFY(service_->createAccount(kUser, kPassword));
    int n = 0;
    for (const Stored &record : kRecords) {
        const ServiceReply saved = PostForm(
            service_->baseUrl() + QStringLiteral("kessum_sqlite_post.php"),
            SessionLines(kUser, kPassword, QStringLiteral("me"))
                << QStringLiteral("action=add")
                << QStringLiteral("id_guid={00000000-0000-0000-0000-%1}").arg(++n, 12, 10, QLatin1Char('0'))
                << QStringLiteral("name1=") + QString::fromUtf8(record.name)
                << QStringLiteral("money1=") + QString::fromUtf8(record.money)
                << QStringLiteral("in1=") + QString::fromUtf8(record.in1)
                << QStringLiteral("type1=") + QString::fromUtf8(record.type)
                << QStringLiteral("create_time=") + QString::fromUtf8(record.date) << QStringLiteral("input_user=me"));
        QVERIFY2(saved.ok(), saved.raw.constData());
    }
}

void TestQueryMoreService::init()
{
    ResetSession();
    ServiceBaseUrl = service_->baseUrl();
    SessionUser = kUser;
    SessionPassword = kPassword;
    SessionInputUser = QStringLiteral("me");
    CategoryListText.clear();
    messages_ = std::make_unique<ScopedMessageCapture>();
    // "本月" of 15 March 2014 is the whole of March.
    form_ = std::make_unique<TfrmQueryMore>(nullptr, [] { return QDate(2014, 3, 15); });
    form_->btnCurMonthClick();
    counter_ = {};
    counter_.watch(form_->httpAllData);
    counter_.watch(form_->httpAllData_sum);
}

void TestQueryMoreService::cleanup()
{
    form_.reset();
    messages_.reset();
    HideBusy();
}

void TestQueryMoreService::runQuery(int replies)
{
    const int before = counter_.done;
    if (replies == 2)
        form_->btnQueryClick();
    else
        form_->treeType1DblClick();
    QTRY_COMPARE_WITH_TIMEOUT(counter_.done, before + replies, 20000);
}

void TestQueryMoreService::monthQueryMatchesTheStoredRecords()
{
    // Given the period of March 2014 and all expenses
    QCOMPARE(form_->edit_date_begin1->text(), QStringLiteral("2014-03-01"));
    QCOMPARE(form_->edit_date_end1->text(), QStringLiteral("2014-04-01"));

    // When the query runs
    runQuery(2);

    // Then the grid holds March's four expenses, the total is theirs, and the tree totals them by category
    QCOMPARE(GridRows(form_->gridHj1), QList<QStringList>({
                                           {"午饭", "12.50", "支出", "餐饮", "2014-03-01"},
                                           {"外卖", "20.00", "支出", "餐饮(外卖)", "2014-03-20"},
                                           {"打车", "30.00", "支出", "交通", "2014-03-10"},
                                           {"晚饭", "7.25", "支出", "餐饮", "2014-03-31"},
                                       }));
    QCOMPARE(form_->hj_day_label1->text(), QStringLiteral("69.75"));
    QCOMPARE(NodeTexts(form_->treeType1), QStringList({"交通(30.00)", "餐饮(19.75)", "餐饮(外卖)(20.00)"}));
    double treeSum = 0;
    for (const QString &node : NodeTexts(form_->treeType1))
        treeSum += AmountValue(node.mid(node.lastIndexOf(QLatin1Char('(')) + 1).chopped(1));
    QCOMPARE(AmountText(treeSum), form_->hj_day_label1->text());
    QVERIFY(messages_->messages.isEmpty());
    QVERIFY(form_->btnQuery->isEnabled());
}

void TestQueryMoreService::incomeQueryShowsIncomeWithZeroTotal()
{
    form_->type1->setEditText(QStringLiteral("<全部收入>"));

    runQuery(2);

    QCOMPARE(GridRows(form_->gridHj1), QList<QStringList>({{"工资", "5000.00", "收入", "工资", "2014-03-05"}}));
    QCOMPARE(form_->hj_day_label1->text(), QStringLiteral("0.00"));
    QCOMPARE(NodeTexts(form_->treeType1), QStringList({"工资(5000.00)"}));
}

void TestQueryMoreService::typedCategoryAndMinimum()
{
    // A typed category, with blanks around it, over a wider period
    form_->type1->setEditText(QStringLiteral("  交通 "));
    form_->edit_date_begin1->setText(QStringLiteral("2014-02-01"));
    runQuery(2);
    QCOMPARE(GridRows(form_->gridHj1).size(), 2);
    QCOMPARE(form_->hj_day_label1->text(), QStringLiteral("35.00"));
    QCOMPARE(NodeTexts(form_->treeType1), QStringList({"交通(35.00)"}));

    // All expenses of March above 15
    form_->type1->setEditText(QStringLiteral("<全部支出>"));
    form_->edit_date_begin1->setText(QStringLiteral("2014-03-01"));
    form_->CheckBox_max1->setChecked(true);
    form_->Edit_max1->setText(QStringLiteral(" 15 "));
    runQuery(2);
    QCOMPARE(GridRows(form_->gridHj1).size(), 2);
    QCOMPARE(form_->hj_day_label1->text(), QStringLiteral("50.00"));
}

void TestQueryMoreService::detailOfACategoryWithBrackets()
{
    // Given the tree of March
    runQuery(2);
    const QList<QTreeWidgetItem *> found =
        form_->treeType1->findItems(QStringLiteral("餐饮(外卖)(20.00)"), Qt::MatchExactly);
    QCOMPARE(found.size(), 1);

    // When that category's node is double-clicked
    form_->treeType1->setCurrentItem(found.first());
    runQuery(1);

    // Then the grid lists that category alone, not the category before its bracket
    QCOMPARE(GridRows(form_->gridHj1), QList<QStringList>({{"外卖", "20.00", "支出", "餐饮(外卖)", "2014-03-20"}}));
    QCOMPARE(form_->hj_day_label1->text(), QStringLiteral("20.00"));
    QCOMPARE(form_->treeType1->topLevelItemCount(), 3);
}

QTEST_MAIN(TestQueryMoreService)
#include "tst_querymore_service.moc"
