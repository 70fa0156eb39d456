// The main window against the reference service and its demo account: what a user sees and does on a real ledger.

#include "LedgerTestUtil.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TColorCheckBox.h"
#include "controls/TPNGButtonEx.h"
#include "core/NetSta.h"
#include "core/Session.h"
#include "grid/TfrmAdd.h"
#include "grid/TfrmTCLine.h"
#include "grid/TfrmVGrid.h"
#include "ledger/ClickPanel.h"
#include "ledger/TForm1.h"
#include "lists/CategoryList.h"
#include "servicefixture/ServiceProcess.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;
using lumora::testing::ServiceProcess;

class TestMainWindowService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void newestPagesAndPaging();
    void largeExpensesOnly();
    void monthViewMatchesThisMonth();
    void quickAddTwiceThenDelete();

private:
    bool hasRecord(const QString &name) const;

    QTemporaryDir dir_;
    ServiceProcess *service_ = nullptr;
    ScopedMessageCapture *messages_ = nullptr;
    TForm1 *window_ = nullptr;
    TfrmVGrid *grid_ = nullptr;
};

void TestMainWindowService::initTestCase()
{
    SetExeFolder(dir_.path() + QLatin1Char('/'));
    service_ = new ServiceProcess(ServiceProcess::Demo);
    QVERIFY2(service_->isRunning(), qPrintable(service_->errorString()));
}

void TestMainWindowService::cleanupTestCase()
{
    delete service_;
}

void TestMainWindowService::init()
{
    ResetSession();
    ServiceBaseUrl = service_->baseUrl();
    SessionUser = QStringLiteral("demo");
    SessionPassword = QStringLiteral("demo");
    SessionInputUser = QStringLiteral("客厅电脑");
    CategoryListText = QStringLiteral("餐饮\r\n交通\r\n工资\r\n");
    messages_ = new ScopedMessageCapture;
    window_ = new TForm1;
    grid_ = window_->findChild<TfrmVGrid *>();
    QVERIFY(grid_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void TestMainWindowService::cleanup()
{
    // Whatever a test leaves unsaved is dropped here on purpose.
    messages_->defaultAnswer = false;
    delete window_;
    window_ = nullptr;
    delete messages_;
}

bool TestMainWindowService::hasRecord(const QString &name) const
{
    for (const TItemInfo &info : grid_->RecordList)
        if (info.name1 == name)
            return true;
    return false;
}

void TestMainWindowService::newestPagesAndPaging()
{
    // Given the first page of the demo account, as start-up asks for it
    window_->QueryLast50(0);
    QTRY_VERIFY_WITH_TIMEOUT(window_->RecCount > 50, 15000);
    // Then a full page shows, with the blank record last and the page line filled
    QCOMPARE(window_->RecCountInPage, 50);
    QCOMPARE(grid_->RecordCount(), 51);
    QVERIFY(grid_->RecordList.last().IsNew);
    QCOMPARE(window_->txtPageInfo->text(), QStringLiteral("总数: %1 页次: 0 每页: 50").arg(window_->RecCount));
    const QString newestFirstPage = grid_->RecordList.at(49).id_guid;

    // Paging back from the first page says so and asks nothing
    QTest::mouseClick(window_->btnPrePage, Qt::LeftButton);
    QCOMPARE(messages_->lastText(), QStringLiteral("已到第一页."));

    // The next page holds older records
    QTest::mouseClick(window_->btnNextPage, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(window_->CurPage, 1, 15000);
    QTRY_VERIFY(!window_->txtPageInfo->text().contains(QStringLiteral("页次: 0")));
    QVERIFY(grid_->RecordList.at(49).id_guid != newestFirstPage);
    QTest::mouseClick(window_->btnPrePage, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(window_->CurPage, 0, 15000);
    QTRY_COMPARE(grid_->RecordList.at(49).id_guid, newestFirstPage);

    // The month totals beside the page
    window_->RecountMonth(QDateTime::currentDateTime());
    QTRY_VERIFY_WITH_TIMEOUT(window_->gridHj1->rowCount() > 2, 15000);
    QCOMPARE(window_->gridHj1->item(0, 0)->text(), QStringLiteral("支出"));
    QVERIFY(window_->gridHj1->item(1, 3)->text().endsWith(QStringLiteral("月")));

    if (const QByteArray shot = qgetenv("LUMORA_MAINWINDOW_SHOT"); !shot.isEmpty()) {
        HideBusy();
        QVERIFY(window_->grab().save(QString::fromLocal8Bit(shot)));
    }
}

void TestMainWindowService::largeExpensesOnly()
{
    // When "大笔支出" is switched on
    QTest::mouseClick(window_->btnSerach_Min, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(grid_->RecordCount() > 1, 15000);
    // Then only amounts above 100 show and the button is active
    QCOMPARE(window_->btnSerach_Min->color(), TForm1::ActiveColor);
    for (const TItemInfo &info : grid_->RecordList)
        if (!info.IsNew)
            QVERIFY2(info.money1.toDouble() > 100, qPrintable(info.money1));
    // And switched off again, small amounts come back
    QTest::mouseClick(window_->btnSerach_Min, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window_->btnSerach_Min->color() == TForm1::InactiveColor &&
                                 std::any_of(grid_->RecordList.cbegin(), grid_->RecordList.cend(),
                                             [](const TItemInfo &i) { return !i.IsNew && i.money1.toDouble() <= 100; }),
                             15000);
}

void TestMainWindowService::monthViewMatchesThisMonth()
{
    // Given this month's records through "本月"
    QTest::mouseClick(window_->btnSerach_lastMonth, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window_->hj_day_label1->text() != QStringLiteral("[合计]"), 15000);
    const int thisMonth = window_->RecCount;
    const QString total = window_->hj_day_label1->text();
    QVERIFY(thisMonth > 0);
    // When the month view shows the current month
    QTest::mouseClick(window_->btnQueryMonth, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window_->hj_day_label1->text().isEmpty(), 15000);
    // Then it finds the same records and total
    QCOMPARE(window_->RecCount, thisMonth);
    QCOMPARE(window_->hj_day_label1->text(), total);
    QCOMPARE(window_->hj_day_label2->text(),
             QDate::currentDate().toString(QStringLiteral("yyyyMM")) + QStringLiteral(" 月支出合计："));
}

void TestMainWindowService::quickAddTwiceThenDelete()
{
    // Given the quick-add dialog with "成功后不关闭"
    QTest::mouseClick(window_->btnNew2, Qt::LeftButton);
    TfrmAdd *add = window_->quickAdd();
    QVERIFY(add && add->isVisible());
    add->chkClose->setChecked(true);
    // When two records are entered
    add->name1->setText(QStringLiteral("测试一"));
    add->money1->setText(QStringLiteral("12.5"));
    QTest::mouseClick(add->btnNew2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(hasRecord(QStringLiteral("测试一")), 15000);
    const QString first = add->Info.id_guid;
    add->name1->setText(QStringLiteral("测试二"));
    QTRY_VERIFY(add->btnNew2->isEnabled());
    QTest::mouseClick(add->btnNew2, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(hasRecord(QStringLiteral("测试二")), 15000);
    QVERIFY(first != add->Info.id_guid);
    // And the dialog is closed: the month is recounted
    QVERIFY(window_->gridHj1->rowCount() < 3);
    add->reject();
    QTRY_VERIFY_WITH_TIMEOUT(window_->gridHj1->rowCount() > 2, 15000);
    QVERIFY(messages_->messages.isEmpty());

    // When the second one is deleted from its line
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    TfrmTCLine *line = nullptr;
    for (const TItemInfo &info : grid_->RecordList)
        if (info.name1 == QStringLiteral("测试二"))
            line = grid_->FindLineById(info.id_guid);
    QVERIFY(line);
    line->name1->setFocus();
    QTRY_COMPARE(grid_->ActiveLine(), line);
    messages_->answers = {true};
    QTest::mouseClick(window_->btnDelete, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!hasRecord(QStringLiteral("测试二")), 15000);
    // Then the service no longer has it
    window_->QueryLast50(0);
    QTRY_VERIFY_WITH_TIMEOUT(hasRecord(QStringLiteral("测试一")), 15000);
    QVERIFY(!hasRecord(QStringLiteral("测试二")));
}

QTEST_MAIN(TestMainWindowService)
#include "tst_mainwindow_service.moc"
