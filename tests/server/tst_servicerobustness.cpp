#include "InProcessService.h"

#include "servicefixture/ServiceReply.h"
#include "support/PgCluster.h"

#include <QTest>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace lumora::testing;
using namespace lumora::service;

namespace
{

// A storage that fails inside every call, with a message that must never reach a client.
class FailingStorage : public Storage
{
public:
    explicit FailingStorage(Storage &real) : real_(real) {}
    std::optional<AccountSecret> findAccount(const std::string &name) override { return real_.findAccount(name); }
    CreateOutcome createAccount(const std::string &n, const std::string &h, const std::string &c) override
    {
        return real_.createAccount(n, h, c);
    }
    void setPasswordHash(std::int64_t, const std::string &) override { fail(); }
    std::string categories(std::int64_t) override { fail(); }
    void setCategories(std::int64_t, const std::string &) override { fail(); }
    WriteOutcome saveRecord(std::int64_t, const RecordFields &) override { fail(); }
    WriteOutcome lockRecord(std::int64_t, const std::string &, const std::optional<RecordFields> &) override { fail(); }
    WriteOutcome deleteRecord(std::int64_t, const std::string &) override { fail(); }
    RecordPage newestRecords(std::int64_t, std::optional<std::int64_t>, int, int) override { fail(); }
    RecordPage findRecords(std::int64_t, const RecordFilter &, int, int) override { fail(); }
    std::vector<CategoryTotal> categoryTotals(std::int64_t, const RecordFilter &) override { fail(); }
    MonthTotal recountMonth(std::int64_t, int, int) override { fail(); }
    std::vector<MonthTotal> monthTotals(std::int64_t, int, int, int) override { fail(); }
    std::int64_t recordCount(std::int64_t) override { fail(); }

private:
    [[noreturn]] static void fail() { throw std::runtime_error("disk /secret/path exploded"); }
    Storage &real_;
};

} // namespace

class TestServiceRobustness : public QObject
{
    Q_OBJECT

private slots:
    void badBodiesAreRefused_data();
    void badBodiesAreRefused();
    void nonPostRequestsGetClientErrors_data();
    void nonPostRequestsGetClientErrors();
    void oversizedBodyIsRefused();
    void failuresNeverLeakTheirText();
    void concurrentSavesAreAllStored();
    void databaseAwayRefusesAndComesBack();
};

void TestServiceRobustness::badBodiesAreRefused_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("tail"); // appended to valid session lines
    QTest::newRow("broken escape") << "kessum_sqlite_post.php" << QByteArray("action=add&name1=%G1&");
    QTest::newRow("cut escape") << "kessum_sqlite_post.php" << QByteArray("action=add&name1=%4");
    QTest::newRow("bytes that are not GBK") << "kessum_sqlite_post.php"
                                            << QByteArray("action=add&name1=%FF%FF&money1=1&create_time=2015-1-1&"
                                                          "id_guid=%7BX%7D&");
    QTest::newRow("unknown action") << "kessum_sqlite_post.php" << QByteArray("action=drop&");
    QTest::newRow("no action") << "kessum_sqlite_post.php" << QByteArray("page=0&");
    QTest::newRow("login action elsewhere") << "kessum_sqlite_lock.php" << QByteArray("action=add&");
    QTest::newRow("unknown script") << "kessum_admin.php" << QByteArray("action=data&");
    QTest::newRow("page not a number") << "kessum_sqlite_post.php" << QByteArray("action=data&page=x&");
    QTest::newRow("minimum not a number") << "kessum_sqlite_post.php" << QByteArray("action=data&mini_money=abc&");
    QTest::newRow("range start not a date")
        << "kessum_sqlite_post.php" << QByteArray("action=data&bdate1=2015-02-30&edate1=2015-03-01&");
    QTest::newRow("binary") << "kessum_sqlite_post.php" << QByteArray("\x00\x01\x02&&&==", 9);
}

void TestServiceRobustness::badBodiesAreRefused()
{
    QFETCH(QString, script);
    QFETCH(QByteArray, tail);
    InProcessService service;
    const QByteArray session = EncodeFormLines(service.signUp("user", "pw"));

    const auto reply = PostBody(service.url(script), session + tail);
    const auto page = PostForm(service.url("kessum_sqlite_post.php"), SessionLines("user", "pw") << "action=data"
                                                                                                 << "page=0");

    QCOMPARE(reply.status, 200);
    QVERIFY(reply.wellFormed);
    QCOMPARE(reply.value, QStringLiteral("0"));
    QVERIFY(!reply.hasData);
    QCOMPARE(page.recCount, 0); // nothing half-written
}

void TestServiceRobustness::nonPostRequestsGetClientErrors_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("status");
    QTest::newRow("GET of a script") << "GET"
                                     << "kessum_sqlite_post.php" << 405;
    QTest::newRow("GET of an unknown script") << "GET"
                                              << "nothing.php" << 404;
    QTest::newRow("PUT of a script") << "PUT"
                                     << "kessum_sqlite_post.php" << 404;
    QTest::newRow("outside the base path") << "POST"
                                           << "../../other.php" << 404;
}

void TestServiceRobustness::nonPostRequestsGetClientErrors()
{
    QFETCH(QString, method);
    QFETCH(QString, script);
    QFETCH(int, status);
    InProcessService service;

    const int got = SendRequest(method, service.url(script), "action=data");

    QVERIFY2(got >= 400 && got < 500, qPrintable(QString::number(got)));
    QCOMPARE(got, status);
}

void TestServiceRobustness::oversizedBodyIsRefused()
{
    InProcessService service;
    const QByteArray session = EncodeFormLines(service.signUp("user", "pw"));
    const QByteArray body = session + "action=add&name1=" + QByteArray(Service::kMaxBodyBytes, 'a') +
                            "&money1=1&create_time=2015-1-1&id_guid=%7BX%7D&";

    const auto reply = PostBody(service.url("kessum_sqlite_post.php"), body);
    const auto page = PostForm(service.url("kessum_sqlite_post.php"), SessionLines("user", "pw") << "action=data"
                                                                                                 << "page=0");

    QCOMPARE(reply.status, 413);
    QCOMPARE(page.recCount, 0);
}

void TestServiceRobustness::failuresNeverLeakTheirText()
{
    // Given a service whose storage throws
    TestDatabase database;
    const auto real = database.open();
    FailingStorage failing(*real);
    InProcessService service(&failing);
    const QStringList session = service.signUp("user", "pw");

    // When a request reaches the storage
    QByteArray raw;
    const int status = SendRequest("POST", service.url("kessum_sqlite_post.php"),
                                   EncodeFormLines(QStringList(session) << "action=data"
                                                                        << "page=0"),
                                   &raw);
    const auto reply = ParseServiceReply(status, raw);

    // Then the client gets a plain refusal; the reason is only in the service's log
    QCOMPARE(reply.value, QStringLiteral("0"));
    QVERIFY(!raw.contains("secret"));
    // (the log line is written after the reply went out)
    QTRY_VERIFY(service.logLines().join('\n').contains("disk /secret/path exploded"));
}

void TestServiceRobustness::concurrentSavesAreAllStored()
{
    InProcessService service;
    const QStringList session = service.signUp("busy", "pw");
    PostForm(service.url("kessum_login.php"), QStringList(session) << "action=login"); // warms the cache

    // Plain sockets from several threads at once (QNetworkAccessManager belongs to one thread each)
    constexpr int kThreads = 4;
    constexpr int kEach = 10;
    std::atomic<int> stored{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                const QString guid = QStringLiteral("{T%1-%2}").arg(t).arg(i);
                const auto reply = PostForm(service.url("kessum_sqlite_post.php"),
                                            session + SaveLines(guid, "并发", "1", "0", "餐饮", QDate(2015, 1, 1)));
                if (reply.ok())
                    ++stored;
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    const auto page = PostForm(service.url("kessum_sqlite_post.php"), QStringList(session) << "action=data"
                                                                                           << "page=0");

    QCOMPARE(stored.load(), kThreads * kEach);
    QCOMPARE(page.recCount, kThreads * kEach);
}

void TestServiceRobustness::databaseAwayRefusesAndComesBack()
{
    if (!TestDatabase::OnPostgres())
        QSKIP("a database file does not go away under the service");
    InProcessService service;
    QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
    const QStringList session = service.signUp("busy", "pw");
    auto save = [&](const QString &guid) {
        return PostForm(service.url("kessum_sqlite_post.php"),
                        session + SaveLines(guid, "断线", "1", "0", "餐饮", QDate(2015, 1, 1)));
    };
    QVERIFY(save("{BEFORE}").ok()); // the pool holds a connection now

    // When the database server goes down under the service, and comes back
    QVERIFY(PgCluster::Shared().crash());
    const auto whileAway = save("{AWAY}");
    const auto readWhileAway = PostForm(service.url("kessum_sqlite_post.php"), QStringList(session) << "action=data"
                                                                                                    << "page=0");
    QVERIFY(PgCluster::Shared().start());
    const auto afterwards = save("{AFTER}");
    const auto page = PostForm(service.url("kessum_sqlite_post.php"), QStringList(session) << "action=data"
                                                                                           << "page=0");

    // Then the save meanwhile is refused, not reported stored, and the service works again without a restart
    QCOMPARE(whileAway.status, 200);
    QCOMPARE(whileAway.value, QStringLiteral("0"));
    QCOMPARE(readWhileAway.value, QStringLiteral("0"));
    QVERIFY2(afterwards.ok(), afterwards.raw.constData());
    QCOMPARE(page.column("id_guid"), (QStringList{"{BEFORE}", "{AFTER}"}));
}

QTEST_GUILESS_MAIN(TestServiceRobustness)
#include "tst_servicerobustness.moc"
