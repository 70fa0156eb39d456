#include "InProcessService.h"

#include "servicefixture/ServiceReply.h"
#include "util/Gbk.h"

#include <QTest>

using namespace lumora::testing;

class TestServiceAccounts : public QObject
{
    Q_OBJECT

private slots:
    void loginAcceptsTheRightPairOnly();
    void aPasswordChangedByAnotherProcessEndsTheOldOne_data();
    void aPasswordChangedByAnotherProcessEndsTheOldOne();
    void everyScriptChecksTheAccount_data();
    void everyScriptChecksTheAccount();
    void versionCheckNeedsNoAccount();
    void versionFromOptions();
    void newAccountStartsWithChineseCategories();
    void categoryListRoundTrip();
    void categoryUploadRefusesBadBase64();
    void registrationPageIsChineseUtf8();
    void registrationRefusals_data();
    void registrationRefusals();
    void registrationCreatesAccount();
};

void TestServiceAccounts::loginAcceptsTheRightPairOnly()
{
    // Given an account with a Chinese name
    InProcessService service;
    service.signUp(QStringLiteral("王小二"), QStringLiteral("密码123"));

    // When it signs in with the right pair, a wrong password, and an unknown name
    const auto right =
        PostForm(service.url("kessum_login.php"), SessionLines("王小二", "密码123") << "action=login"
                                                                                    << "user_name=王小二"
                                                                                    << "user_pass=密码123");
    const auto again = PostForm(service.url("kessum_login.php"), SessionLines("王小二", "密码123") << "action=login");
    const auto wrong = PostForm(service.url("kessum_login.php"), SessionLines("王小二", "密码124") << "action=login");
    const auto unknown = PostForm(service.url("kessum_login.php"), SessionLines("王小三", "密码123") << "action=login");
    const auto empty = PostForm(service.url("kessum_login.php"), SessionLines("", "") << "action=login");

    // Then only the right pair succeeds; a refusal carries nothing but Value 0
    QVERIFY(right.ok());
    QVERIFY(again.ok()); // from the cache of verified pairs
    for (const auto &refused : {wrong, unknown, empty}) {
        QVERIFY(refused.wellFormed);
        QCOMPARE(refused.value, QStringLiteral("0"));
        QVERIFY(!refused.hasData);
        QVERIFY(!refused.hasInfo);
    }
}

void TestServiceAccounts::aPasswordChangedByAnotherProcessEndsTheOldOne_data()
{
    // The newest pages of a pair verified lately may be read without reading the stored hash first.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("sign-in") << "kessum_login.php" << QStringList{"action=login"};
    QTest::newRow("newest records") << "kessum_sqlite_post.php"
                                    << QStringList{"action=data", "input_user=x", "mini_money=", "page=0"};
    QTest::newRow("large expenses") << "kessum_sqlite_post.php"
                                    << QStringList{"action=data", "input_user=x", "mini_money=100", "page=0"};
    QTest::newRow("month") << "kessum_sqlite_post.php"
                           << QStringList{"action=data", "page=0", "mini_money=", "month1=2015-01-15 12:00:00",
                                          "create_time=2015-01-15 12:00:00"};
}

void TestServiceAccounts::aPasswordChangedByAnotherProcessEndsTheOldOne()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lines);
    // Given two services on one database, each with its own cache of verified pairs, and a signed-in account
    // with a record
    TestDatabase database;
    const auto storageA = database.open();
    const auto storageB = database.open();
    InProcessService a(storageA.get());
    InProcessService b(storageB.get());
    a.signUp(QStringLiteral("王小二"), QStringLiteral("旧密码"));
    auto send = [&](InProcessService &service, const QString &password) {
        return PostForm(service.url(script), SessionLines("王小二", password) << lines);
    };
    QVERIFY(PostForm(a.url("kessum_sqlite_post.php"),
                     SessionLines("王小二", "旧密码") << SaveLines("{A}", "午饭", "150", "0", "餐饮", QDate(2015, 1, 13)))
                .ok());
    const auto before = send(a, "旧密码"); // now remembered by the first
    QVERIFY(before.ok());

    // When the password is changed through the second
    b.accounts().ensure("王小二", "新密码");

    // Then the first refuses the old password at once, with nothing of the account, and takes the new one
    const auto old = send(a, "旧密码");
    QCOMPARE(old.value, QStringLiteral("0"));
    QVERIFY(!old.hasData);
    QVERIFY(!old.hasInfo);
    const auto renewed = send(a, "新密码");
    QVERIFY(renewed.ok());
    QCOMPARE(renewed.rows, before.rows);
    QCOMPARE(renewed.recCount, before.recCount);
    QVERIFY(send(b, "新密码").ok());
}

void TestServiceAccounts::everyScriptChecksTheAccount_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("categories") << "kessum_sqlite_type.php" << QStringList{"action=data"};
    QTest::newRow("category upload") << "kessum_sqlite_type.php" << QStringList{"action=add", "type1=YQ=="};
    QTest::newRow("records") << "kessum_sqlite_post.php" << QStringList{"action=data", "page=0"};
    QTest::newRow("save") << "kessum_sqlite_post.php" << SaveLines("{A}", "x", "1", "0", "餐饮", QDate(2015, 1, 2));
    QTest::newRow("delete") << "kessum_sqlite_post.php" << QStringList{"action=del", "id_guid={A}"};
    QTest::newRow("month totals") << "kessum_sqlite_post.php"
                                  << QStringList{"action=add_sum", "year1=2015", "month1=1", "day1=2"};
    QTest::newRow("lock") << "kessum_sqlite_lock.php" << QStringList{"action=lock", "id_guid={A}"};
}

void TestServiceAccounts::everyScriptChecksTheAccount()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lines);
    InProcessService service;
    service.signUp("owner", "right");

    const auto reply = PostForm(service.url(script), SessionLines("owner", "wrong") + lines);

    QCOMPARE(reply.value, QStringLiteral("0"));
    QVERIFY(!reply.hasData);
    // and nothing was written behind the refusal
    const auto records = PostForm(service.url("kessum_sqlite_post.php"), SessionLines("owner", "right") << "action=data"
                                                                                                        << "page=0");
    QCOMPARE(records.recCount, 0);
}

void TestServiceAccounts::versionCheckNeedsNoAccount()
{
    InProcessService service;

    const auto reply = PostForm(service.url("new_ver.php"), SessionLines("", ""));

    QVERIFY(reply.ok());
    QCOMPARE(reply.result.value("ver"), QStringLiteral("2015.01.29.1"));
    QVERIFY(!reply.result.value("info").isEmpty());
}

void TestServiceAccounts::versionFromOptions()
{
    lumora::service::ServiceOptions options;
    options.version = "2016.02.01.1";
    options.versionInfo = "新版本已发布,请下载.";
    InProcessService service(nullptr, options);

    const auto reply = PostForm(service.url("new_ver.php"), SessionLines("", ""));

    QCOMPARE(reply.result.value("ver"), QStringLiteral("2016.02.01.1"));
    QCOMPARE(reply.result.value("info"), QStringLiteral("新版本已发布,请下载."));
}

namespace
{
// The category list row is Base64 twice: the reader decodes the attribute, then once more.
QString CategoryList(const ServiceReply &reply)
{
    return lumora::FromGbk(QByteArray::fromBase64(reply.rows.value(0).value("type1").toLatin1()));
}
} // namespace

void TestServiceAccounts::newAccountStartsWithChineseCategories()
{
    InProcessService service;
    const auto session = service.signUp("fresh", "pw");

    const auto reply = PostForm(service.url("kessum_sqlite_type.php"), QStringList(session) << "action=data");

    QVERIFY(reply.ok());
    QCOMPARE(reply.rows.size(), 1);
    const QStringList categories = CategoryList(reply).split(QStringLiteral("\r\n"));
    for (const char *expected : {"餐饮", "交通", "购物", "日用", "住房", "医疗", "娱乐", "工资", "其他"})
        QVERIFY2(categories.contains(QString::fromUtf8(expected)), expected);
}

void TestServiceAccounts::categoryListRoundTrip()
{
    InProcessService service;
    const auto session = service.signUp("lists", "pw");
    const QString list = QStringLiteral("早餐\r\n\r\n孩子 学费\r\n&=+%\r\n");

    const auto upload = PostForm(service.url("kessum_sqlite_type.php"),
                                 QStringList(session) << "action=add"
                                                      << "user_name=lists"
                                                      << "user_pass=pw"
                                                      << "input_user="
                                                      << "type1=" + lumora::ToGbk(list).toBase64());
    const auto download = PostForm(service.url("kessum_sqlite_type.php"), QStringList(session) << "action=data");

    QVERIFY(upload.ok());
    QCOMPARE(CategoryList(download), list);
}

void TestServiceAccounts::categoryUploadRefusesBadBase64()
{
    InProcessService service;
    const auto session = service.signUp("lists", "pw");
    const auto before = PostForm(service.url("kessum_sqlite_type.php"), QStringList(session) << "action=data");

    const auto notBase64 = PostForm(service.url("kessum_sqlite_type.php"), QStringList(session) << "action=add"
                                                                                                << "type1=***");
    const auto notGbk = PostForm(service.url("kessum_sqlite_type.php"),
                                 QStringList(session) << "action=add"
                                                      << "type1=" + QByteArray("\xff\xff").toBase64());
    const auto missing = PostForm(service.url("kessum_sqlite_type.php"), QStringList(session) << "action=add");
    const auto after = PostForm(service.url("kessum_sqlite_type.php"), QStringList(session) << "action=data");

    QCOMPARE(notBase64.value, QStringLiteral("0"));
    QCOMPARE(notGbk.value, QStringLiteral("0"));
    QCOMPARE(missing.value, QStringLiteral("0"));
    QCOMPARE(CategoryList(after), CategoryList(before));
}

void TestServiceAccounts::registrationPageIsChineseUtf8()
{
    InProcessService service;
    QByteArray body;
    QByteArray type;

    const int status = SendRequest("GET", service.url("new_user.php?vtype=app"), {}, &body, &type);

    QCOMPARE(status, 200);
    QVERIFY(type.toLower().contains("charset=utf-8"));
    const QString page = QString::fromUtf8(body);
    QVERIFY(page.contains(QStringLiteral("新用户注册")));
    QVERIFY(page.contains(QStringLiteral("name=\"user_name\"")));
    QVERIFY(page.contains(QStringLiteral("name=\"user_pass2\"")));
}

void TestServiceAccounts::registrationRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("pass2");
    QTest::addColumn<QString>("message");
    QTest::newRow("name taken") << "taken"
                                << "a"
                                << "a"
                                << "已被使用";
    QTest::newRow("name empty") << ""
                                << "a"
                                << "a"
                                << "请输入用户名";
    QTest::newRow("name too long") << QString(33, QChar(0x4E2D)) << "a"
                                   << "a"
                                   << "用户名太长";
    QTest::newRow("name without GBK form") << QStringLiteral("a\U0001F600") << "a"
                                           << "a"
                                           << "不能使用的字符";
    QTest::newRow("passwords differ") << "new"
                                      << "a"
                                      << "b"
                                      << "两次输入的密码不一致";
    QTest::newRow("password empty") << "new"
                                    << ""
                                    << ""
                                    << "请输入密码";
    QTest::newRow("markup is shown as text") << "<b>x"
                                             << "a"
                                             << "b"
                                             << "&lt;b&gt;x";
}

void TestServiceAccounts::registrationRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, pass);
    QFETCH(QString, pass2);
    QFETCH(QString, message);
    InProcessService service;
    service.signUp("taken", "old");
    const QByteArray form = "user_name=" + QUrl::toPercentEncoding(name) +
                            "&user_pass=" + QUrl::toPercentEncoding(pass) +
                            "&user_pass2=" + QUrl::toPercentEncoding(pass2);
    QByteArray body;

    const int status = SendRequest("POST", service.url("new_user.php?vtype=app"), form, &body);

    QCOMPARE(status, 200);
    QVERIFY2(QString::fromUtf8(body).contains(message), body.constData());
    QVERIFY(!QString::fromUtf8(body).contains(QStringLiteral("注册成功")));
    const auto login = PostForm(service.url("kessum_login.php"), SessionLines("taken", "old") << "action=login");
    QVERIFY(login.ok()); // the taken name keeps its password
}

void TestServiceAccounts::registrationCreatesAccount()
{
    InProcessService service;
    const QByteArray form =
        "user_name=" + QUrl::toPercentEncoding(QStringLiteral("李四")) + "&user_pass=a%2Bb+c&user_pass2=a%2Bb+c";
    QByteArray body;

    SendRequest("POST", service.url("new_user.php?vtype=app"), form, &body);
    const auto login = PostForm(service.url("kessum_login.php"), SessionLines("李四", "a+b c") << "action=login");

    QVERIFY(QString::fromUtf8(body).contains(QStringLiteral("注册成功")));
    QVERIFY(login.ok());
}

QTEST_GUILESS_MAIN(TestServiceAccounts)
#include "tst_serviceaccounts.moc"
