#include "../grid/tst_grid_support.h"

#include "ledger/MonthTotals.h"

#include "core/NetSta.h"
#include "core/PaintGridCell.h"
#include "core/Session.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;
using namespace lumora::test;

namespace
{
QString TotalsRow(const QString &expense, const QString &income, const QString &balance, const QString &year,
                  const QString &month)
{
    QList<QPair<QString, QString>> attributes;
    if (!expense.isNull())
        attributes.append({QStringLiteral("money1"), expense});
    if (!income.isNull())
        attributes.append({QStringLiteral("money_in1"), income});
    if (!balance.isNull())
        attributes.append({QStringLiteral("money_ye1"), balance});
    if (!year.isNull())
        attributes.append({QStringLiteral("year1"), year});
    if (!month.isNull())
        attributes.append({QStringLiteral("month1"), month});
    return Row(attributes);
}

QString Cell(const QTableWidget &grid, int row, int column)
{
    const QTableWidgetItem *item = grid.item(row, column);
    return item ? item->text() : QString();
}
} // namespace

// The month recount request and the summary grid its reply fills.
class TestMonthTotals : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void recountBody();
    void recountOfInvalidDate();
    void twoMonths();
    void rowWithoutYear();
    void missingAmountKeepsCell();
    void failureHidesBusy_data();
    void failureHidesBusy();

private:
    void apply(MonthTotals &totals, const QString &reply, int status = 200);
    LoopbackHttpServer *server_ = nullptr;
    ScopedMessageCapture *messages_ = nullptr;
    QTemporaryDir *folder_ = nullptr;
};

void TestMonthTotals::init()
{
    ResetSession();
    SessionUser = QStringLiteral("demo");
    SessionPassword = QStringLiteral("pw");
    SessionInputUser = QStringLiteral("10.0.0.2");
    server_ = new LoopbackHttpServer;
    QVERIFY(server_->listen());
    ServiceBaseUrl = server_->baseUrl() + QStringLiteral("ms/kessum/");
    messages_ = new ScopedMessageCapture;
    folder_ = new QTemporaryDir;
    SetExeFolder(folder_->path() + QLatin1Char('/'));
}

void TestMonthTotals::cleanup()
{
    delete messages_;
    delete server_;
    delete folder_;
    ResetSession();
    HideBusy();
}

void TestMonthTotals::apply(MonthTotals &totals, const QString &reply, int status)
{
    server_->enqueue(CannedResponse::text(reply, status));
    const int before = server_->requestCount();
    totals.RecountMonth(QDateTime(QDate(2015, 3, 5), QTime(12, 0)));
    QVERIFY(BusyVisible());
    QTRY_COMPARE(server_->requestCount(), before + 1);
    QTRY_VERIFY(totals.httpAddSum->InFlight.isEmpty());
}

void TestMonthTotals::recountBody()
{
    QTableWidget grid;
    MonthTotals totals(&grid, nullptr);

    apply(totals, ReplyXml({}));

    const RecordedRequest request = server_->requests()[0];
    QCOMPARE(request.path, QByteArray("/ms/kessum/kessum_sqlite_post.php"));
    QCOMPARE(FieldNames(request.body),
             QStringList({"user_name", "user_pass", "input_user", "client_type", "protocol_version", "action",
                          "user_name", "user_pass", "input_user", "year1", "month1", "day1"}));
    QCOMPARE(Field(request.body, "action"), QStringLiteral("add_sum"));
    QCOMPARE(Field(request.body, "year1"), QStringLiteral("2015"));
    QCOMPARE(Field(request.body, "month1"), QStringLiteral("3"));
    QCOMPARE(Field(request.body, "day1"), QStringLiteral("5"));
    QVERIFY(qobject_cast<GridCellDelegate *>(grid.itemDelegate()));
    QCOMPARE(grid.columnCount(), 4);
}

void TestMonthTotals::recountOfInvalidDate()
{
    QTableWidget grid;
    MonthTotals totals(&grid, nullptr);

    totals.RecountMonth(QDateTime());

    QCOMPARE(messages_->lastText(), QStringLiteral("日期格式错误."));
    QVERIFY(!BusyVisible());
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
}

void TestMonthTotals::twoMonths()
{
    QTableWidget grid;
    PageInfo page{5, 50, 3};
    MonthTotals totals(&grid, &page);
    int shown = 0;
    totals.OnShowMainGrid = [&shown] { ++shown; };

    apply(totals,
          ReplyXml({TotalsRow("120.50", "3000", "2879.50", "2015", "1"), TotalsRow("80", "0", "-80", "2015", "2")},
                   QStringLiteral("RecCount=\"9\"")));

    QVERIFY(!BusyVisible());
    QCOMPARE(grid.rowCount(), 4);
    QCOMPARE(QStringList({Cell(grid, 0, 0), Cell(grid, 0, 1), Cell(grid, 0, 2), Cell(grid, 0, 3)}),
             QStringList({"支出", "收入", "余额", "日期"}));
    QCOMPARE(QStringList({Cell(grid, 1, 0), Cell(grid, 1, 1), Cell(grid, 1, 2), Cell(grid, 1, 3)}),
             QStringList({"120.50", "3000", "2879.50", "2015年1月"}));
    QCOMPARE(Cell(grid, 2, 2), QStringLiteral("-80"));
    QCOMPARE(Cell(grid, 2, 3), QStringLiteral("2015年2月"));
    for (int c = 0; c < 4; ++c)
        QCOMPARE(Cell(grid, 3, c), QString());
    QCOMPARE(shown, 1);
    QCOMPARE(page.RecCount, 9);
    QCOMPARE(page.CurPage, 3); // attributes that are missing leave the values
    QFile data(ExeFolder() + QStringLiteral("data.xml"));
    QVERIFY(data.exists());
}

void TestMonthTotals::rowWithoutYear()
{
    QTableWidget grid;
    MonthTotals totals(&grid, nullptr);

    apply(totals, ReplyXml({TotalsRow("1", "2", "1", QString(), "1"), TotalsRow("1", "2", "1", "2015", QString())}));

    QCOMPARE(Cell(grid, 1, 3), QStringLiteral("1月"));
    QCOMPARE(Cell(grid, 2, 3), QStringLiteral("2015年"));
}

void TestMonthTotals::missingAmountKeepsCell()
{
    QTableWidget grid;
    MonthTotals totals(&grid, nullptr);
    apply(totals, ReplyXml({TotalsRow("10", "20", "10", "2015", "1"), TotalsRow("5", "5", "0", "2015", "2")}));

    apply(totals, ReplyXml({TotalsRow(QString(), "7", QString(), "2015", "3")}));

    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE(Cell(grid, 1, 0), QStringLiteral("10"));
    QCOMPARE(Cell(grid, 1, 1), QStringLiteral("7"));
    QCOMPARE(Cell(grid, 1, 3), QStringLiteral("2015年3月"));
    QCOMPARE(Cell(grid, 2, 0), QStringLiteral("5")); // the trailing row keeps its text when the grid shrinks
}

void TestMonthTotals::failureHidesBusy_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("status");
    QTest::newRow("network failure") << QString() << 500;
    QTest::newRow("not XML") << QStringLiteral("<root") << 200;
}

void TestMonthTotals::failureHidesBusy()
{
    QFETCH(QString, reply);
    QFETCH(int, status);
    QTableWidget grid;
    MonthTotals totals(&grid, nullptr);

    apply(totals, reply, status);

    QTRY_VERIFY(!BusyVisible());
    QCOMPARE(messages_->messages.size(), 0);
}

QTEST_MAIN(TestMonthTotals)
#include "tst_month_totals.moc"
