#include "InProcessService.h"

#include "servicefixture/ServiceReply.h"

#include <QTest>

#include <stdexcept>

using namespace lumora::testing;

namespace
{

const QString kPost = QStringLiteral("kessum_sqlite_post.php");
const QString kLock = QStringLiteral("kessum_sqlite_lock.php");

QString Guid(int n)
{
    return QStringLiteral("{00000000-0000-4000-8000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

} // namespace

class TestServiceRecords : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveRoundTripsEveryField();
    void saveUpdatesByIdGuid();
    void saveRefusals_data();
    void saveRefusals();
    void deleteRemovesOnlyThatRecord();
    void lockRefusesSaveAndDelete();
    void lockStoresANewRecordAndRefusesEmptyId();
    void accountsNeverMeet();
    void newestPagesRunOldestToNewest();
    void periodQueries_data();
    void periodQueries();
    void expenseQueryByCategoryAndSums();
    void monthTotalsForTwelveMonths();
    void recordsSurviveARestart();
    void aNewerSchemaIsRefused();

private:
    ServiceReply post(const QString &script, const QStringList &lines)
    {
        return PostForm(service_->url(script), session_ + lines);
    }
    void save(int n, const QString &name, const QString &money, const QString &in1, const QString &type1,
              const QDate &date)
    {
        const auto reply = post(kPost, SaveLines(Guid(n), name, money, in1, type1, date));
        QVERIFY2(reply.ok(), reply.raw.constData());
    }
    ServiceReply query(const QStringList &fields) { return post(kPost, QStringList{"action=data"} + fields); }

    std::unique_ptr<InProcessService> service_;
    QStringList session_;
};

void TestServiceRecords::init()
{
    service_ = std::make_unique<InProcessService>();
    QVERIFY2(service_->isRunning(), qPrintable(service_->errorString()));
    session_ = service_->signUp(QStringLiteral("家庭"), QStringLiteral("pw"), QStringLiteral("妻子"));
}

void TestServiceRecords::cleanup()
{
    service_.reset();
}

void TestServiceRecords::saveRoundTripsEveryField()
{
    // Given a record with Chinese text and characters that need escaping
    const auto saved = post(kPost, SaveLines(Guid(1), "午饭 & 咖啡=+%", "12.5", "0", "餐饮", QDate(2015, 1, 13)));

    // When the newest records are read back
    const auto page = query({"input_user=妻子", "mini_money=", "page=0"});

    // Then every field comes back as sent, the entering user from the session lines
    QVERIFY(saved.ok());
    QCOMPARE(page.rows.size(), 1);
    const auto row = page.rows.first();
    QCOMPARE(row.value("id_guid"), Guid(1));
    QCOMPARE(row.value("name1"), QStringLiteral("午饭 & 咖啡=+%"));
    QCOMPARE(row.value("money1"), QStringLiteral("12.5"));
    QCOMPARE(row.value("in1"), QStringLiteral("0"));
    QCOMPARE(row.value("type1"), QStringLiteral("餐饮"));
    QCOMPARE(row.value("create_time"), QStringLiteral("2015-01-13"));
    QCOMPARE(row.value("input_user"), QStringLiteral("妻子"));
    QCOMPARE(row.value("is_lock"), QStringLiteral("0"));
    QVERIFY(row.value("id").toLongLong() > 0);
    QCOMPARE(page.recCount, 1);
    QCOMPARE(page.curPage, 0);
}

void TestServiceRecords::saveUpdatesByIdGuid()
{
    save(1, "地铁", "3", "0", "交通", QDate(2015, 3, 1));
    const QString firstId = query({"page=0"}).rows.value(0).value("id");

    save(1, "打车", "25.00", "0", "交通", QDate(2015, 3, 2));
    const auto page = query({"page=0"});

    QCOMPARE(page.recCount, 1);
    QCOMPARE(page.rows.size(), 1);
    QCOMPARE(page.rows[0].value("id"), firstId);
    QCOMPARE(page.rows[0].value("name1"), QStringLiteral("打车"));
    QCOMPARE(page.rows[0].value("money1"), QStringLiteral("25.00"));
    QCOMPARE(page.rows[0].value("create_time"), QStringLiteral("2015-03-02"));
}

void TestServiceRecords::saveRefusals_data()
{
    QTest::addColumn<QStringList>("lines");
    const QDate day(2015, 1, 13);
    auto with = [&](const QString &name, const QString &value) {
        QStringList lines = SaveLines(Guid(1), "改过", "99", "0", "餐饮", day);
        for (QString &line : lines) {
            if (line.startsWith(name + "="))
                line = name + "=" + value;
        }
        return lines;
    };
    QTest::newRow("amount not a number") << with("money1", "十二");
    QTest::newRow("amount with two points") << with("money1", "1.2.3");
    QTest::newRow("no such day") << with("day1", "30").replaceInStrings("month1=1", "month1=2");
    QTest::newRow("month 13") << with("month1", "13");
    QTest::newRow("create_time not a date") << with("create_time", "昨天");
    QTest::newRow("empty id_guid") << with("id_guid", "");
    QStringList noGuid = SaveLines(Guid(1), "改过", "99", "0", "餐饮", day);
    noGuid.removeLast();
    QTest::newRow("missing id_guid") << noGuid;
}

void TestServiceRecords::saveRefusals()
{
    QFETCH(QStringList, lines);
    save(1, "原来", "10", "0", "餐饮", QDate(2015, 1, 10));

    const auto reply = post(kPost, lines);
    const auto page = query({"page=0"});

    QCOMPARE(reply.value, QStringLiteral("0"));
    QCOMPARE(page.recCount, 1);
    QCOMPARE(page.rows[0].value("name1"), QStringLiteral("原来"));
    QCOMPARE(page.rows[0].value("money1"), QStringLiteral("10"));
}

void TestServiceRecords::deleteRemovesOnlyThatRecord()
{
    save(1, "一", "1", "0", "餐饮", QDate(2015, 1, 1));
    save(2, "二", "2", "0", "餐饮", QDate(2015, 1, 2));

    const auto deleted = post(kPost, {"action=del", "id_guid=" + Guid(1)});
    const auto again = post(kPost, {"action=del", "id_guid=" + Guid(1)});
    const auto empty = post(kPost, {"action=del", "id_guid="});
    const auto page = query({"page=0"});

    QVERIFY(deleted.ok());
    QCOMPARE(again.value, QStringLiteral("0"));
    QCOMPARE(empty.value, QStringLiteral("0"));
    QCOMPARE(page.column("name1"), QStringList{"二"});
    QCOMPARE(page.recCount, 1);
}

void TestServiceRecords::lockRefusesSaveAndDelete()
{
    // Given a saved record that the lock request locks with edited fields
    save(1, "房租", "2500", "0", "住房", QDate(2015, 2, 1));
    QStringList lockLines = SaveLines(Guid(1), "房租二月", "2600", "0", "住房", QDate(2015, 2, 1));
    lockLines.replaceInStrings("action=add", "action=lock");
    const auto locked = post(kLock, lockLines);

    // When it is saved and deleted afterwards
    const auto saveAfter = post(kPost, SaveLines(Guid(1), "改", "1", "0", "住房", QDate(2015, 2, 1)));
    const auto deleteAfter = post(kPost, {"action=del", "id_guid=" + Guid(1)});
    const auto lockAgain = post(kLock, lockLines);
    const auto page = query({"page=0"});

    // Then both are refused and the record holds the fields sent with the lock
    QVERIFY(locked.ok());
    QCOMPARE(saveAfter.value, QStringLiteral("0"));
    QCOMPARE(deleteAfter.value, QStringLiteral("0"));
    QVERIFY(lockAgain.ok());
    QCOMPARE(page.rows.size(), 1);
    QCOMPARE(page.rows[0].value("is_lock"), QStringLiteral("1"));
    QCOMPARE(page.rows[0].value("name1"), QStringLiteral("房租二月"));
    QCOMPARE(page.rows[0].value("money1"), QStringLiteral("2600"));
}

void TestServiceRecords::lockStoresANewRecordAndRefusesEmptyId()
{
    QStringList lines = SaveLines(Guid(7), "新记录", "8", "1", "奖金", QDate(2015, 2, 3));
    lines.replaceInStrings("action=add", "action=lock");
    QStringList emptyId = lines;
    emptyId.last() = "id_guid=";

    const auto emptyReply = post(kLock, emptyId);
    const auto reply = post(kLock, lines);
    const auto page = query({"page=0"});

    QCOMPARE(emptyReply.value, QStringLiteral("0"));
    QVERIFY(reply.ok());
    QCOMPARE(page.rows.size(), 1);
    QCOMPARE(page.rows[0].value("name1"), QStringLiteral("新记录"));
    QCOMPARE(page.rows[0].value("is_lock"), QStringLiteral("1"));
}

void TestServiceRecords::accountsNeverMeet()
{
    // Given two accounts, the first with one record
    save(1, "我的", "10", "0", "餐饮", QDate(2015, 1, 5));
    const QStringList other = service_->signUp("邻居", "pw2");
    auto postAs = [&](const QString &script, const QStringList &lines) {
        return PostForm(service_->url(script), other + lines);
    };

    // When the second account reads, overwrites, deletes and locks by the same id_guid
    const auto seen = postAs(kPost, {"action=data", "page=0"});
    const auto month = postAs(kPost, {"action=data", "page=0", "month1=2015-01-05"});
    const auto sums = postAs(kPost, {"action=data", "bdate1=2015-01-01", "edate1=2015-02-01", "sum1=sum1"});
    const auto overwrite = postAs(kPost, SaveLines(Guid(1), "别人的", "99", "0", "餐饮", QDate(2015, 1, 5)));
    const auto removed = postAs(kPost, {"action=del", "id_guid=" + Guid(1)});

    // Then it sees nothing of the first, and its own save with that key is its own record
    QCOMPARE(seen.rows.size(), 0);
    QCOMPARE(seen.recCount, 0);
    QCOMPARE(month.rows.size(), 0);
    QCOMPARE(sums.rows.size(), 0);
    QVERIFY(overwrite.ok());
    QVERIFY(removed.ok()); // its own record
    const auto mine = query({"page=0"});
    QCOMPARE(mine.column("name1"), QStringList{"我的"});
    QCOMPARE(mine.column("money1"), QStringList{"10"});
}

void TestServiceRecords::newestPagesRunOldestToNewest()
{
    // Given 120 records on 120 days (saved out of order)
    const QDate first(2014, 10, 1);
    for (int i = 119; i >= 0; --i)
        save(i, QStringLiteral("记录%1").arg(i), "1", "0", "餐饮", first.addDays(i));

    const auto page0 = query({"input_user=妻子", "mini_money=", "page=0"});
    const auto page2 = query({"input_user=妻子", "mini_money=", "page=2"});
    const auto beyond = query({"input_user=妻子", "mini_money=", "page=3"});

    // Page 0: the newest 50, oldest first, so the newest stands last
    QCOMPARE(page0.rows.size(), 50);
    QCOMPARE(page0.rows.first().value("name1"), QStringLiteral("记录70"));
    QCOMPARE(page0.rows.last().value("name1"), QStringLiteral("记录119"));
    QCOMPARE(page0.recCount, 120);
    QCOMPARE(page0.recCountInPage, 50);
    QCOMPARE(page0.curPage, 0);
    QCOMPARE(page2.rows.size(), 20);
    QCOMPARE(page2.rows.first().value("name1"), QStringLiteral("记录0"));
    QCOMPARE(page2.rows.last().value("name1"), QStringLiteral("记录19"));
    QCOMPARE(page2.curPage, 2);
    QCOMPARE(beyond.rows.size(), 0);
    QVERIFY(beyond.hasData);
    QCOMPARE(beyond.recCount, 120);
}

void TestServiceRecords::periodQueries_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("names");
    // Records: a 2015-01-31 expense 100, b 2015-02-01 expense 100.01, c 2015-02-14 income 5000,
    // d 2015-02-28 expense 30 (交通), e 2015-03-01 expense 250
    QTest::newRow("this month, date and time")
        << QStringList{"page=0", "mini_money=", "month1=2015-02-14 10:20:30", "create_time=2015-02-14 10:20:30"}
        << QStringList{"b", "c", "d"};
    QTest::newRow("chosen month, unpadded")
        << QStringList{"page=0", "mini_money=", "month1=2015-2-01 12:00:00"} << QStringList{"b", "c", "d"};
    QTest::newRow("month with minimum") << QStringList{"page=0", "mini_money=100", "month1=2015-2-01 12:00:00"}
                                        << QStringList{"b", "c"};
    QTest::newRow("day") << QStringList{"page=0", "day1=2015-02-28", "create_time=2015-02-28"} << QStringList{"d"};
    QTest::newRow("range excludes its end")
        << QStringList{"page=0", "bdate1=2015-01-31", "edate1=2015-03-01"} << QStringList{"a", "b", "c", "d"};
    QTest::newRow("range, expenses only")
        << QStringList{"mini_money=", "bdate1=2015-01-31", "edate1=2015-03-02", "type1=", "in1=0"}
        << QStringList{"a", "b", "d", "e"};
    QTest::newRow("range, income only") << QStringList{"mini_money=", "bdate1=2015-01-01", "edate1=2015-12-31",
                                                       "type1=", "in1=1"}
                                        << QStringList{"c"};
    QTest::newRow("range, one category") << QStringList{"mini_money=", "bdate1=2015-01-01", "edate1=2015-12-31",
                                                        "type1=交通", "in1=0"}
                                         << QStringList{"d"};
    QTest::newRow("newest with minimum") << QStringList{"input_user=x", "mini_money=100", "page=0"}
                                         << QStringList{"b", "c", "e"};
}

void TestServiceRecords::periodQueries()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, names);
    save(1, "a", "100", "0", "餐饮", QDate(2015, 1, 31));
    save(2, "b", "100.01", "0", "餐饮", QDate(2015, 2, 1));
    save(3, "c", "5000", "1", "工资", QDate(2015, 2, 14));
    save(4, "d", "30", "0", "交通", QDate(2015, 2, 28));
    save(5, "e", "250", "0", "购物", QDate(2015, 3, 1));

    const auto reply = query(fields);

    QVERIFY(reply.ok());
    QCOMPARE(reply.column("name1"), names);
    QCOMPARE(reply.recCount, names.size());
    QCOMPARE(reply.curPage, 0);
}

void TestServiceRecords::expenseQueryByCategoryAndSums()
{
    // Amounts whose float sum would not be exact
    save(1, "a", "0.1", "0", "餐饮", QDate(2015, 2, 1));
    save(2, "b", "0.2", "0", "餐饮", QDate(2015, 2, 2));
    save(3, "c", "30", "0", "交通", QDate(2015, 2, 3));
    save(4, "d", "5000", "1", "工资", QDate(2015, 2, 4));
    save(5, "e", "7", "0", "交通", QDate(2015, 3, 1)); // outside the period
    const QStringList period{"mini_money=", "bdate1=2015-02-01", "edate1=2015-03-01", "type1="};

    const auto expenses = query(QStringList(period) << "in1=0"
                                                    << "sum1=sum1");
    const auto income = query(QStringList(period) << "in1=1"
                                                  << "sum1=sum1");

    QVERIFY(expenses.ok());
    QCOMPARE(expenses.column("type1"), (QStringList{"交通", "餐饮"}));
    QCOMPARE(expenses.column("money1"), (QStringList{"30.00", "0.30"}));
    QVERIFY(expenses.hasInfo);
    QCOMPARE(income.column("type1"), QStringList{"工资"});
    QCOMPARE(income.column("money1"), QStringList{"5000.00"});
}

void TestServiceRecords::monthTotalsForTwelveMonths()
{
    // Given records in March 2015, February 2015 and April 2014 (just outside twelve months back from March 2015)
    save(1, "a", "10.10", "0", "餐饮", QDate(2015, 3, 5));
    save(2, "b", "0.2", "0", "餐饮", QDate(2015, 3, 31));
    save(3, "c", "3000", "1", "工资", QDate(2015, 3, 1));
    save(4, "d", "50", "0", "交通", QDate(2015, 2, 28));
    save(5, "e", "99", "0", "交通", QDate(2014, 3, 31));

    const auto reply = post(kPost, {"action=add_sum", "user_name=家庭", "user_pass=pw", "input_user=妻子", "year1=2015",
                                    "month1=3", "day1=5"});

    QVERIFY(reply.ok());
    QCOMPARE(reply.rows.size(), 12);
    QCOMPARE(reply.rows[0].value("year1"), QStringLiteral("2015"));
    QCOMPARE(reply.rows[0].value("month1"), QStringLiteral("3"));
    QCOMPARE(reply.rows[0].value("money1"), QStringLiteral("10.30"));
    QCOMPARE(reply.rows[0].value("money_in1"), QStringLiteral("3000.00"));
    QCOMPARE(reply.rows[0].value("money_ye1"), QStringLiteral("2989.70"));
    QCOMPARE(reply.rows[1].value("month1"), QStringLiteral("2"));
    QCOMPARE(reply.rows[1].value("money1"), QStringLiteral("50.00"));
    QCOMPARE(reply.rows[1].value("money_ye1"), QStringLiteral("-50.00"));
    QCOMPARE(reply.rows[11].value("year1"), QStringLiteral("2014"));
    QCOMPARE(reply.rows[11].value("month1"), QStringLiteral("4"));
    QCOMPARE(reply.rows[11].value("money1"), QStringLiteral("0.00"));
    const auto invalid = post(kPost, {"action=add_sum", "year1=2015", "month1=13", "day1=1"});
    QCOMPARE(invalid.value, QStringLiteral("0"));
}

void TestServiceRecords::recordsSurviveARestart()
{
    // Given a database written by one service
    TestDatabase database;
    QStringList session;
    {
        const auto storage = database.open();
        InProcessService first(storage.get());
        session = first.signUp("留存", "pw");
        QVERIFY(
            PostForm(first.url(kPost), session + SaveLines(Guid(1), "留下", "1", "0", "餐饮", QDate(2015, 1, 1))).ok());
    }

    // When another service opens it again (the schema is already there)
    const auto storage = database.open();
    InProcessService second(storage.get());
    const auto page = PostForm(second.url(kPost), session + QStringList{"action=data", "page=0"});

    // Then the account and its record are still there
    QVERIFY(page.ok());
    QCOMPARE(page.column("name1"), QStringList{"留下"});
}

void TestServiceRecords::aNewerSchemaIsRefused()
{
    // Given a database whose schema a later release moved on
    TestDatabase database;
    database.open().reset();
    database.execute("UPDATE schema_version SET version = version + 1");

    // Then this release does not start on it, rather than guess at the tables
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, database.open());
}

QTEST_GUILESS_MAIN(TestServiceRecords)
#include "tst_servicerecords.moc"
