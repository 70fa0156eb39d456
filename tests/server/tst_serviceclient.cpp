// The client's own request component and reply reader against the real service binary.
#include "core/Base64.h"
#include "core/Conversions.h"
#include "core/HttpThreadControl.h"
#include "core/ItemInfo.h"
#include "core/Protocol.h"
#include "core/Reply.h"
#include "core/Session.h"
#include "servicefixture/ServiceProcess.h"
#include "util/Gbk.h"

#include <QDate>
#include <QTest>

using namespace lumora;
using namespace lumora::testing;

class TestServiceClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void signInSaveAndReadTheNewestPage();
    void monthTotalsAndCategoryList();

private:
    // Posts through the component and waits for its data event; the reply is then in http_->ResponseText.
    void exchange(const QString &script, const QString &lines);

    std::unique_ptr<ServiceProcess> service_;
    std::unique_ptr<THttpThreadControl> http_;
    int delivered_ = 0;
    int failed_ = 0;
    QString error_;
};

void TestServiceClient::initTestCase()
{
    service_ = std::make_unique<ServiceProcess>(ServiceProcess::Demo);
    QVERIFY2(service_->isRunning(), qPrintable(service_->errorString()));
}

void TestServiceClient::init()
{
    ResetSession();
    ServiceBaseUrl = service_->baseUrl();
    SessionUser = QStringLiteral("demo");
    SessionPassword = QStringLiteral("demo");
    SessionInputUser = QStringLiteral("测试者");
    http_ = std::make_unique<THttpThreadControl>();
    delivered_ = failed_ = 0;
    http_->OnHttpData = [this](THttpThreadControl *) { ++delivered_; };
    http_->OnHttpError = [this](THttpThreadControl *, const QString &err) {
        ++failed_;
        error_ = err;
    };
}

void TestServiceClient::cleanup()
{
    http_.reset();
    ResetSession();
}

void TestServiceClient::exchange(const QString &script, const QString &lines)
{
    const int before = delivered_;
    http_->Post(ServiceBaseUrl + script, SessionBlock() + lines);
    QTRY_VERIFY_WITH_TIMEOUT(delivered_ > before || failed_ > 0, 30000);
    QVERIFY2(failed_ == 0, qPrintable(error_));
}

// Stops the test when the exchange failed.
#define EXCHANGE(script, lines)                                                                                        \
    do {                                                                                                               \
        exchange(script, lines);                                                                                       \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

void TestServiceClient::signInSaveAndReadTheNewestPage()
{
    // Given a signed-in demo session
    EXCHANGE(protocol::ScriptLogin, "action=login\r\nuser_name=demo\r\nuser_pass=demo\r\n");
    QVERIFY(IsReplyOk(http_.get()));

    // When the line editor's save body for a new record goes out, and the newest page is read back
    const QString guid = NewRecordId();
    const QDate today = QDate::currentDate();
    const QString y = QString::number(today.year()), m = QString::number(today.month()),
                  d = QString::number(today.day());
    const QString save = "action=add\r\nuser_name=demo\r\nuser_pass=demo\r\ninput_user=测试者\r\n"
                         "name1=周末 聚餐&奶茶\r\nmoney1=" +
                         ToHalfWidth(QStringLiteral("８８。５")) + "\r\nin1=" + InOutToCode("支出") +
                         "\r\ntype1=餐饮\r\ncreate_time=" + today.toString("yyyy-MM-dd") + " 23:59:59" +
                         "\r\nyear1=" + y + "\r\nmonth1=" + m + "\r\nday1=" + d + "\r\ndate1=" + y + "-" + m + "-" + d +
                         "\r\nid_guid=" + guid + "\r\n";
    EXCHANGE(protocol::ScriptPost, save);
    QVERIFY(IsReplyOk(http_.get()));
    EXCHANGE(protocol::ScriptPost, "action=data\r\ninput_user=测试者\r\nmini_money=\r\npage=0\r\n");

    // Then the reader finds it among the newest 50, with the page information
    const Reply parsed = ParseReply(http_->ResponseText);
    const QList<pugi::xml_node> rows = ReplyRows(parsed);
    QCOMPARE(rows.size(), 50);
    TItemInfo found;
    for (const pugi::xml_node &row : rows) {
        TItemInfo info;
        ReadRecordRow(row, info);
        if (info.id_guid == guid)
            found = info;
    }
    QCOMPARE(found.name1, QStringLiteral("周末 聚餐&奶茶"));
    QCOMPARE(found.money1, QStringLiteral("88.5"));
    QCOMPARE(found.in1, QStringLiteral("0"));
    QCOMPARE(found.type1, QStringLiteral("餐饮"));
    QCOMPARE(found.input_user, QStringLiteral("测试者"));
    QCOMPARE(found.is_lock, QStringLiteral("0"));
    PageInfo page;
    QVERIFY(ReadPageInfo(parsed, page));
    QVERIFY(page.RecCount > 250);
    QCOMPARE(page.RecCountInPage, 50);
    QCOMPARE(page.CurPage, 0);
}

void TestServiceClient::monthTotalsAndCategoryList()
{
    const QDate today = QDate::currentDate();
    const QString recount = "action=add_sum\r\nuser_name=demo\r\nuser_pass=demo\r\ninput_user=测试者\r\nyear1=" +
                            QString::number(today.year()) + "\r\nmonth1=" + QString::number(today.month()) +
                            "\r\nday1=" + QString::number(today.day()) + "\r\n";
    EXCHANGE(protocol::ScriptPost, recount);

    const Reply totals = ParseReply(http_->ResponseText);
    const QList<pugi::xml_node> months = ReplyRows(totals);
    QCOMPARE(months.size(), 12);
    const MonthTotalRow newest = ReadMonthTotalRow(months.first());
    QCOMPARE(newest.year1, QString::number(today.year()));
    QCOMPARE(newest.month1, QString::number(today.month()));
    QVERIFY(newest.hasMoney1 && newest.hasMoneyIn1 && newest.hasMoneyYe1);
    QVERIFY(newest.money1.contains('.'));

    EXCHANGE(protocol::ScriptType, "action=data\r\n");
    const Reply categories = ParseReply(http_->ResponseText);
    const QList<pugi::xml_node> rows = ReplyRows(categories);
    QCOMPARE(rows.size(), 1);
    const QString list = FromGbk(Base64Decode(RowText(rows.first(), "type1").toLatin1()));
    QVERIFY(list.split("\r\n").contains(QStringLiteral("餐饮")));
}

QTEST_MAIN(TestServiceClient)
#include "tst_serviceclient.moc"
