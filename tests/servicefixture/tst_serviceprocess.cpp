#include "servicefixture/ServiceProcess.h"
#include "servicefixture/ServiceReply.h"

#include <QTest>

using namespace lumora::testing;

class TestServiceProcess : public QObject
{
    Q_OBJECT

private slots:
    void demoAccountSignsInAndHasSampleRecords();
    void registeredAccountSignsInWithGbkName();
    void terminateEndsCleanlyAndLogsWithoutPasswords();
};

void TestServiceProcess::demoAccountSignsInAndHasSampleRecords()
{
    // Given a service started with the demo account
    ServiceProcess service(ServiceProcess::Demo);
    QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
    QVERIFY(service.baseUrl().startsWith(QStringLiteral("http://127.0.0.1:")));
    QVERIFY(service.baseUrl().endsWith(QStringLiteral("/ms/kessum/")));

    // When demo signs in and asks for the newest records
    const auto login =
        PostForm(service.baseUrl() + "kessum_login.php", SessionLines("demo", "demo") << "action=login"
                                                                                      << "user_name=demo"
                                                                                      << "user_pass=demo");
    const auto page =
        PostForm(service.baseUrl() + "kessum_sqlite_post.php", SessionLines("demo", "demo") << "action=data"
                                                                                            << "input_user="
                                                                                            << "mini_money="
                                                                                            << "page=0");

    // Then both succeed, with a full page out of about 300 records
    QVERIFY(login.ok());
    QVERIFY(page.ok());
    QCOMPARE(page.rows.size(), 50);
    QVERIFY2(page.recCount >= 250 && page.recCount <= 350, qPrintable(QString::number(page.recCount)));
    QCOMPARE(page.recCountInPage, 50);
    QVERIFY(page.column("in1").contains("1"));
    QVERIFY(page.column("in1").contains("0"));
}

void TestServiceProcess::registeredAccountSignsInWithGbkName()
{
    ServiceProcess service;
    QVERIFY2(service.isRunning(), qPrintable(service.errorString()));

    // The page takes UTF-8; the client signs in with GBK bytes of the same name.
    QVERIFY(service.createAccount(QStringLiteral("小明"), QStringLiteral("p+w d&1")));
    QVERIFY(!service.createAccount(QStringLiteral("小明"), QStringLiteral("other")));

    const auto login =
        PostForm(service.baseUrl() + "kessum_login.php", SessionLines("小明", "p+w d&1") << "action=login");
    const auto wrong =
        PostForm(service.baseUrl() + "kessum_login.php", SessionLines("小明", "other") << "action=login");
    QVERIFY(login.ok());
    QCOMPARE(wrong.value, QStringLiteral("0"));
}

void TestServiceProcess::terminateEndsCleanlyAndLogsWithoutPasswords()
{
    ServiceProcess service;
    QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
    QVERIFY(service.createAccount(QStringLiteral("log"), QStringLiteral("SecretWord42")));
    PostForm(service.baseUrl() + "kessum_login.php", SessionLines("log", "SecretWord42") << "action=login");

    QCOMPARE(service.stop(), 0);

    const QString log = service.log();
    QVERIFY(log.contains(QStringLiteral("kessum_login.php action=login account=log ok")));
    QVERIFY(!log.contains(QStringLiteral("SecretWord42")));
    QVERIFY(!service.isRunning());
}

QTEST_GUILESS_MAIN(TestServiceProcess)
#include "tst_serviceprocess.moc"
