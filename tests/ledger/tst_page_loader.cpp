#include "../grid/tst_grid_support.h"

#include "ledger/RecordPageLoader.h"

#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;
using namespace lumora::test;

namespace
{
QString ExpenseRow(const QString &name, const QString &money, const QString &in = QStringLiteral("0"))
{
    return Row({{QStringLiteral("id_guid"), QStringLiteral("{G-") + name + QLatin1Char('}')},
                {QStringLiteral("name1"), name},
                {QStringLiteral("in1"), in},
                {QStringLiteral("money1"), money},
                {QStringLiteral("type1"), QStringLiteral("餐饮")},
                {QStringLiteral("create_time"), QStringLiteral("2015-01-13")}});
}

// Rows "r0" to "r39" of a page, records 0 to 39 of the grid host.
QStringList FortyRows()
{
    QStringList rows;
    for (int i = 0; i < 40; ++i)
        rows << RecordRowXml(GridHost::Record(i));
    return rows;
}
} // namespace

// A record page from the wire into the grid: rows, the blank record, totals, the page line and the dumps.
class TestPageLoader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pageWithTotals();
    void amounts_data();
    void amounts();
    void rowsCarryMissingFields();
    void replyWithoutInfo();
    void emptyPage();
    void fortyRecordsTwelveLines();
    void badReplyKeepsThePage_data();
    void badReplyKeepsThePage();
    void badInfoAfterRecords();
    void pageNumberOfTheQuery();

private:
    // Sends a query answered by reply and waits until it was handled.
    void load(RecordPageLoader &loader, const QString &reply, int status = 200);

    LoopbackHttpServer *server_ = nullptr;
    ScopedMessageCapture *messages_ = nullptr;
    QTemporaryDir *folder_ = nullptr;
    QStringList pageLines_;
    QStringList totals_;
};

void TestPageLoader::init()
{
    ResetSession();
    SessionInputUser = QStringLiteral("10.0.0.2");
    CategoryListText = QStringLiteral("餐饮\r\n");
    server_ = new LoopbackHttpServer;
    QVERIFY(server_->listen());
    ServiceBaseUrl = server_->baseUrl() + QStringLiteral("ms/kessum/");
    messages_ = new ScopedMessageCapture;
    folder_ = new QTemporaryDir;
    SetExeFolder(folder_->path() + QLatin1Char('/'));
    pageLines_.clear();
    totals_.clear();
}

void TestPageLoader::cleanup()
{
    delete messages_;
    delete server_;
    delete folder_;
    ResetSession();
    HideBusy();
}

void TestPageLoader::load(RecordPageLoader &loader, const QString &reply, int status)
{
    loader.OnPageInfoText = [this](const QString &text) { pageLines_ << text; };
    loader.OnPageTotalText = [this](const QString &text) { totals_ << text; };
    server_->enqueue(CannedResponse::text(reply, status));
    const int before = server_->requestCount();
    loader.SendDataQuery(0, QStringLiteral("action=data\r\npage=0\r\n"));
    QVERIFY(BusyVisible());
    QTRY_COMPARE(server_->requestCount(), before + 1);
    QTRY_VERIFY(!BusyVisible());
    QTRY_VERIFY(loader.httpAllData->InFlight.isEmpty());
}

void TestPageLoader::pageWithTotals()
{
    GridHost host;
    RecordPageLoader loader(host.grid);

    load(loader, ReplyXml({ExpenseRow("工资", "100", "1"), ExpenseRow("午饭", "12.5"), ExpenseRow("车票", "7")},
                          QStringLiteral("RecCount=\"120\" RecCountInPage=\"50\" CurPage=\"0\"")));

    QCOMPARE(Field(server_->requests()[0].body, "action"), QStringLiteral("data"));
    QCOMPARE(
        FieldNames(server_->requests()[0].body).mid(0, 7),
        QStringList({"user_name", "user_pass", "input_user", "client_type", "protocol_version", "action", "page"}));
    QCOMPARE(totals_, QStringList({QStringLiteral("19.50")}));
    QCOMPARE(pageLines_, QStringList({QStringLiteral("总数: 120 页次: 0 每页: 50")}));
    QCOMPARE(host.grid->RecordCount(), 4);
    QCOMPARE(host.grid->RecordList[0].money1, QStringLiteral("100.00"));
    QCOMPARE(host.grid->RecordList[1].money1, QStringLiteral("12.50"));
    QCOMPARE(host.grid->RecordList[2].money1, QStringLiteral("7.00"));
    QCOMPARE(host.grid->RecordList[1].name1, QStringLiteral("午饭"));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!host.grid->RecordList[i].IsNew);
        QVERIFY(!host.grid->RecordList[i].Modified);
        QVERIFY(host.grid->RecordList[i].StatusText.isEmpty());
    }
    QVERIFY(host.grid->RecordList[3].IsNew);
    QCOMPARE(host.grid->ActiveRecordIndex, 3);
    QCOMPARE(host.focused(), host.line(3)->name1);
    QCOMPARE(loader.Page.RecCount, 120);

    QFile data(ExeFolder() + QStringLiteral("data.xml"));
    QVERIFY(data.open(QIODevice::ReadOnly));
    QVERIFY(data.readAll().contains("ID_Guid="));
    QFile debug(ExeFolder() + QStringLiteral("debug.xml"));
    QVERIFY(debug.open(QIODevice::ReadOnly));
    QVERIFY(debug.readAll().contains("RecCountInPage"));
}

void TestPageLoader::amounts_data()
{
    QTest::addColumn<QString>("money");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("total");
    QTest::newRow("expense not a number") << "abc"
                                          << "0"
                                          << "0.00"
                                          << "0.00";
    QTest::newRow("blanks around") << " 3.456 "
                                   << "0"
                                   << "3.46"
                                   << "3.46";
    QTest::newRow("income adds nothing") << "50"
                                         << "1"
                                         << "50.00"
                                         << "0.00";
    QTest::newRow("code other than 1 is an expense") << "2"
                                                     << "true"
                                                     << "2.00"
                                                     << "2.00";
    QTest::newRow("not finite") << "inf"
                                << "0"
                                << "0.00"
                                << "0.00";
    QTest::newRow("negative") << "-1.5"
                              << "0"
                              << "-1.50"
                              << "-1.50";
    // Plain numbers take a short way and everything else Qt's number reading: both must agree.
    const struct {
        const char *name, *money, *shown;
    } plainAndOdd[] = {
        {"plus sign", "+2", "2.00"},
        {"exponent", "1e3", "1000.00"},
        {"point last", "1.", "1.00"},
        {"point first", ".5", "0.50"},
        {"leading zeros", "007.10", "7.10"},
        {"below half a cent", "1.005", "1.00"},
        {"binary tie", "0.125", "0.13"},
        {"negative binary tie", "-2.375", "-2.38"},
        {"small negative", "-0.001", "-0.00"},
        {"long fraction", "0.1234567890123456789", "0.12"},
        {"large", "123456789012345.678", "123456789012345.67"},
        {"negative zero", "-0", "0.00"},
        {"thousands separator", "1,000", "0.00"},
        {"two signs", "+-1", "0.00"},
        {"double minus", "--1", "0.00"},
        {"inner blank", "1 2", "0.00"},
        {"hexadecimal", "0x10", "0.00"},
        {"full-width digit", "\uff12", "0.00"},
        {"out of range", "1e400", "0.00"},
        {"not a number", "nan", "0.00"},
    };
    for (const auto &row : plainAndOdd)
        QTest::newRow(row.name) << QString::fromUtf8(row.money) << "0" << row.shown << row.shown;
}

void TestPageLoader::amounts()
{
    QFETCH(QString, money);
    QFETCH(QString, in);
    QFETCH(QString, shown);
    QFETCH(QString, total);
    GridHost host;
    RecordPageLoader loader(host.grid);

    load(loader, ReplyXml({ExpenseRow("x", money, in)}));

    QCOMPARE(host.grid->RecordList[0].money1, shown);
    QCOMPARE(totals_, QStringList({total}));
}

void TestPageLoader::rowsCarryMissingFields()
{
    GridHost host;
    RecordPageLoader loader(host.grid);
    const QString second = Row({{QStringLiteral("money1"), QStringLiteral("3")}}, QStringLiteral("other"));

    load(loader, ReplyXml({ExpenseRow("午饭", "12.5"), second}));

    QCOMPARE(host.grid->RecordList[1].name1, QStringLiteral("午饭"));
    QCOMPARE(host.grid->RecordList[1].type1, QStringLiteral("餐饮"));
    QVERIFY(host.grid->RecordList[1].id_guid.isEmpty()); // only the key is cleared per row
    QCOMPARE(host.grid->RecordList[1].money1, QStringLiteral("3.00"));
}

void TestPageLoader::replyWithoutInfo()
{
    GridHost host;
    RecordPageLoader loader(host.grid);
    loader.Page = {7, 50, 2};
    loader.SendDataQuery(3, QString()); // a page other than 0 keeps CurPage
    QTRY_VERIFY(!BusyVisible());
    QTRY_VERIFY(loader.httpAllData->InFlight.isEmpty());
    QCOMPARE(loader.Page.CurPage, 2);
    server_->enqueue(CannedResponse::text(ReplyXml({ExpenseRow("x", "1")})));
    loader.OnPageInfoText = [this](const QString &text) { pageLines_ << text; };

    loader.SendDataQuery(2, QString());

    QTRY_COMPARE(pageLines_.size(), 1);
    QCOMPARE(pageLines_[0], QStringLiteral("总数: 0 页次: 2 每页: 50"));
}

void TestPageLoader::emptyPage()
{
    GridHost host;
    RecordPageLoader loader(host.grid);

    load(loader, ReplyXml({}, QStringLiteral("RecCount=\"0\" RecCountInPage=\"50\" CurPage=\"0\"")));

    QCOMPARE(host.grid->RecordCount(), 1);
    QVERIFY(host.grid->RecordList[0].IsNew);
    QCOMPARE(totals_, QStringList({QStringLiteral("0.00")}));
    QCOMPARE(host.focused(), host.line(0)->name1);
    QVERIFY(host.grid->Slots().size() == 31);
}

void TestPageLoader::fortyRecordsTwelveLines()
{
    GridHost host(12);
    RecordPageLoader loader(host.grid);
    load(loader, ReplyXml(FortyRows(), QStringLiteral("RecCount=\"40\" RecCountInPage=\"40\" CurPage=\"0\"")));

    QCOMPARE(host.grid->RecordCount(), 41);
    QCOMPARE(host.grid->TopIndex, 29);
    QCOMPARE(host.line(0)->name1->text(), QStringLiteral("r29"));
    QCOMPARE(host.focused(), host.line(11)->name1);
    QCOMPARE(totals_, QStringList({QStringLiteral("780.00")})); // 0 + 1 + ... + 39
}

void TestPageLoader::badReplyKeepsThePage_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("status");
    QTest::newRow("not XML") << QStringLiteral("<root><Data>") << 200;
    QTest::newRow("network failure") << QString() << 500;
}

void TestPageLoader::badReplyKeepsThePage()
{
    QFETCH(QString, reply);
    QFETCH(int, status);
    GridHost host;
    RecordPageLoader loader(host.grid);
    load(loader, ReplyXml({ExpenseRow("午饭", "12.5")}));
    pageLines_.clear();
    totals_.clear();

    load(loader, reply, status);

    QCOMPARE(host.grid->RecordCount(), 2);
    QCOMPARE(host.grid->RecordList[0].name1, QStringLiteral("午饭"));
    QVERIFY(pageLines_.isEmpty());
    QVERIFY(totals_.isEmpty());
    QCOMPARE(messages_->messages.size(), 0);
    if (status == 200) {
        QFile debug(ExeFolder() + QStringLiteral("debug.xml"));
        QVERIFY(debug.open(QIODevice::ReadOnly));
        QVERIFY(debug.readAll().startsWith("<root><Data>"));
    }
}

void TestPageLoader::badInfoAfterRecords()
{
    GridHost host(12);
    RecordPageLoader loader(host.grid);
    loader.Page = {7, 50, 2};
    load(loader, ReplyXml(FortyRows(), QStringLiteral("RecCount=\"40\" RecCountInPage=\"many\" CurPage=\"3\"")));

    // The records are shown from the top, without the final step to the blank record.
    QCOMPARE(host.grid->RecordCount(), 41);
    QCOMPARE(host.grid->TopIndex, 0);
    QCOMPARE(host.line(0)->name1->text(), QStringLiteral("r0"));
    QCOMPARE(host.grid->ActiveRecordIndex, 40);
    QVERIFY(pageLines_.isEmpty());
    QVERIFY(totals_.isEmpty());
    // Values before the bad one are taken over, the bad one and those after it are not.
    QCOMPARE(loader.Page.RecCount, 40);
    QCOMPARE(loader.Page.RecCountInPage, 50);
    QCOMPARE(loader.Page.CurPage, 0); // as the query for page 0 set it
}

void TestPageLoader::pageNumberOfTheQuery()
{
    GridHost host;
    RecordPageLoader loader(host.grid);
    loader.Page.CurPage = 4;
    host.line(0)->Activate();
    QVERIFY(host.grid->ActiveLineEditor);

    loader.SendDataQuery(0, QStringLiteral("action=data\r\n"));

    QCOMPARE(loader.Page.CurPage, 0);
    QVERIFY(!host.grid->ActiveLineEditor);
    QTRY_COMPARE(server_->requestCount(), 1);
    QCOMPARE(server_->requests()[0].path, QByteArray("/ms/kessum/kessum_sqlite_post.php"));
}

QTEST_MAIN(TestPageLoader)
#include "tst_page_loader.moc"
