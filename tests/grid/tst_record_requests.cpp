#include "tst_grid_support.h"

#include "grid/TfrmItem.h"

#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "support/LoopbackHttpServer.h"
#include "util/Helpers.h"
#include "util/MessageSeam.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace lumora;
using namespace lumora::test;

// Saving, deleting and locking records against a loopback server, with the bodies checked on the wire.
class TestRecordRequests : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saveOutcome_data();
    void saveOutcome();
    void saveReplyAfterScrollLandsOnItsLine();
    void saveReplyForRecordNoLongerShown();
    void twoSavesInFlightFromOneLine();
    void secondSaveKeepsTheKey();
    void saveFieldConversions_data();
    void saveFieldConversions();
    void saveWithBadDateSendsNothing();
    void deleteWithoutLine();
    void deleteBlankRecord();
    void deleteAnsweredNo();
    void deleteRemovesTheDeletedRecord();
    void deleteRefused();
    void lock_data();
    void lock();
    void lockCancelled();
    void lockNeverSavedRecordSendsEmptyKey();
    void menuItems();

private:
    void post(const QString &reply, int status = 200) { server_->enqueue(CannedResponse::text(reply, status)); }
    LoopbackHttpServer *server_ = nullptr;
    ScopedMessageCapture *messages_ = nullptr;
};

void TestRecordRequests::init()
{
    ResetSession();
    SessionUser = QStringLiteral("demo");
    SessionPassword = QStringLiteral("pw");
    SessionInputUser = QStringLiteral("10.0.0.2");
    CategoryListText = QStringLiteral("餐饮\r\n");
    server_ = new LoopbackHttpServer;
    QVERIFY(server_->listen());
    server_->setDefaultResponse(CannedResponse::text(OkReply()));
    ServiceBaseUrl = server_->baseUrl() + QStringLiteral("ms/kessum/");
    messages_ = new ScopedMessageCapture;
}

void TestRecordRequests::cleanup()
{
    delete messages_;
    delete server_;
    setShellOpenHandler({});
    ResetSession();
    HideBusy();
}

void TestRecordRequests::saveOutcome_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("message");
    QTest::newRow("accepted") << OkReply() << 200 << "保存完毕" << false << QString();
    QTest::newRow("refused") << FailReply() << 200 << "保存失败" << true << QString();
    QTest::newRow("not XML") << QStringLiteral("<oops") << 200 << "保存失败" << true << QStringLiteral("错误: ");
    QTest::newRow("network failure") << QString() << 500 << "数据保存中..." << true << QString();
}

void TestRecordRequests::saveOutcome()
{
    QFETCH(QString, reply);
    QFETCH(int, status);
    QFETCH(QString, shown);
    QFETCH(bool, modified);
    QFETCH(QString, message);
    GridHost host;
    host.loadPage(0);
    TfrmTCLine *line = host.line(0);
    line->name1->setText(QStringLiteral("书"));
    post(reply, status);

    line->SaveRecord();
    QCOMPARE(line->txtSave->text(), QStringLiteral("数据保存中..."));
    QVERIFY(BusyVisible());

    QTRY_VERIFY(!BusyVisible());
    QTRY_COMPARE(line->txtSave->text(), shown);
    QCOMPARE(line->Info.Modified, modified);
    QCOMPARE(host.grid->RecordList[0].Modified, modified);
    QCOMPARE(line->Info.IsNew, modified);
    QCOMPARE(line->conNew->isVisibleTo(line), modified);
    if (modified)
        QCOMPARE(host.grid->RecordList[0].StatusText, QStringLiteral("已修改,请及时保存"));
    else
        QCOMPARE(host.grid->RecordList[0].StatusText, QStringLiteral("保存完毕"));
    QCOMPARE(line->PendingSaveId.isEmpty(), status == 200);
    if (message.isEmpty())
        QCOMPARE(messages_->messages.size(), 0);
    else
        QVERIFY(messages_->lastText().startsWith(message));
}

void TestRecordRequests::saveReplyAfterScrollLandsOnItsLine()
{
    GridHost host(12);
    host.loadPage(40);
    host.grid->ShowFrom(0);
    host.line(3)->money1->setText(QStringLiteral("8"));

    host.line(3)->SaveRecord();
    host.grid->ShowFrom(2); // record 3 moves to slot 1 before the reply

    QTRY_COMPARE(host.line(1)->txtSave->text(), QStringLiteral("保存完毕"));
    QCOMPARE(host.line(1)->RecordIndex, 3);
    QCOMPARE(host.line(3)->txtSave->text(), QString());
    QVERIFY(!host.grid->RecordList[3].Modified);
    QVERIFY(host.line(1)->PendingSaveId.isEmpty());
}

void TestRecordRequests::saveReplyForRecordNoLongerShown()
{
    GridHost host(12);
    host.loadPage(40);
    host.grid->ShowFrom(0);
    host.line(0)->money1->setText(QStringLiteral("8"));

    host.line(0)->SaveRecord();
    host.grid->ShowFrom(35);

    QTRY_COMPARE(host.grid->RecordList[0].StatusText, QStringLiteral("保存完毕"));
    QVERIFY(!host.grid->RecordList[0].Modified);
    QVERIFY(!host.grid->HasUnsavedLines());
    host.grid->ShowFrom(0);
    QCOMPARE(host.line(0)->txtSave->text(), QStringLiteral("保存完毕"));
}

void TestRecordRequests::twoSavesInFlightFromOneLine()
{
    GridHost host;
    host.loadPage(0);
    server_->setHandler([](const RecordedRequest &r) {
        return CannedResponse::text(Field(r.body, "name1") == QLatin1String("A") ? OkReply() : FailReply());
    });
    TfrmTCLine *line = host.line(0);
    line->name1->setText(QStringLiteral("A"));
    line->SaveRecord();
    host.grid->AppendBlankRecord();
    host.grid->ShowFrom(1); // the same editor now shows the new blank record

    line->name1->setText(QStringLiteral("B"));
    line->SaveRecord();

    QTRY_COMPARE(server_->requestCount(), 2);
    QTRY_COMPARE(line->txtSave->text(), QStringLiteral("保存失败"));
    QTRY_COMPARE(host.grid->RecordList[0].StatusText, QStringLiteral("保存完毕"));
    QVERIFY(host.grid->RecordList[1].Modified);
    QVERIFY(host.grid->RecordList[1].IsNew);
}

void TestRecordRequests::secondSaveKeepsTheKey()
{
    GridHost host;
    host.loadPage(0);
    TfrmTCLine *line = host.line(0);
    line->name1->setText(QStringLiteral("书"));

    line->SaveRecord();
    QTRY_COMPARE(line->txtSave->text(), QStringLiteral("保存完毕"));
    line->SaveRecord();
    QTRY_COMPARE(server_->requestCount(), 2);

    const QString first = Field(server_->requests()[0].body, "id_guid");
    QVERIFY(!first.isEmpty());
    QCOMPARE(Field(server_->requests()[1].body, "id_guid"), first);
    QCOMPARE(host.grid->RecordList[0].id_guid, first);
}

void TestRecordRequests::saveFieldConversions_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("money");
    QTest::addColumn<QString>("inOut");
    QTest::addColumn<QStringList>("sent"); // create_time, year1, month1, day1, date1, money1, in1
    QTest::newRow("short date") << "2009-3-7"
                                << "12"
                                << "支出" << QStringList{"2009-3-7", "2009", "3", "7", "2009-3-7", "12", "0"};
    QTest::newRow("padded date") << "2009-03-07"
                                 << "12.50"
                                 << "收入" << QStringList{"2009-03-07", "2009", "3", "7", "2009-3-7", "12.50", "1"};
    QTest::newRow("full-width digits") << QStringLiteral("２００９-０３-０７") << QStringLiteral(" １２。５ ")
                                       << QStringLiteral("别的")
                                       << QStringList{"2009-03-07", "2009", "3", "7", "2009-3-7", "12.5", "1"};
    QTest::newRow("date with a time") << "2009-3-7 8:30"
                                      << "1"
                                      << "支出" << QStringList{"2009-3-7 8:30", "2009", "3", "7", "2009-3-7", "1", "0"};
}

void TestRecordRequests::saveFieldConversions()
{
    QFETCH(QString, date);
    QFETCH(QString, money);
    QFETCH(QString, inOut);
    QFETCH(QStringList, sent);
    GridHost host;
    host.loadPage(2);
    host.grid->ShowFrom(0);
    TfrmTCLine *line = host.line(1);
    line->create_time->setText(date);
    line->money1->setText(money);
    line->in1->setEditText(inOut);

    line->SaveRecord();

    QTRY_COMPARE(server_->requestCount(), 1);
    const QByteArray body = server_->requests()[0].body;
    const QStringList names{"create_time", "year1", "month1", "day1", "date1", "money1", "in1"};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(Field(body, names[i]), sent[i]);
    QCOMPARE(Field(body, "name1"), QStringLiteral("r1"));
    QCOMPARE(Field(body, "id_guid"), GridHost::Record(1).id_guid);
    QCOMPARE(FieldNames(body).count("user_name"), 2);
    QCOMPARE(FieldNames(body).count("input_user"), 2);
    QCOMPARE(host.grid->RecordList[1].year1, QStringLiteral("2009"));
}

void TestRecordRequests::saveWithBadDateSendsNothing()
{
    GridHost host;
    host.loadPage(2);
    host.grid->ShowFrom(0);
    TfrmTCLine *line = host.line(0);
    line->create_time->setText(QStringLiteral("2009-02-30"));
    const QString status = line->txtSave->text();

    line->SaveRecord();

    QCOMPARE(messages_->lastText(), QStringLiteral("日期格式错误."));
    QCOMPARE(line->txtSave->text(), status);
    QVERIFY(line->PendingSaveId.isEmpty());
    QVERIFY(!BusyVisible());
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
}

void TestRecordRequests::deleteWithoutLine()
{
    GridHost host;
    host.loadPage(2);
    host.window.setFocus(); // the focus is outside every record line
    host.grid->setFocus();

    host.grid->DeleteActiveRecord();

    QCOMPARE(messages_->messages.size(), 1);
    QCOMPARE(messages_->lastText(), QStringLiteral("尚未选择要操作的记录."));
}

void TestRecordRequests::deleteBlankRecord()
{
    GridHost host;
    host.loadPage(0);
    host.line(0)->name1->setFocus();
    host.line(0)->name1->setText(QStringLiteral("新"));

    host.grid->DeleteActiveRecord();

    QCOMPARE(messages_->texts(),
             QStringList({QStringLiteral("确实要删除此记录吗? [名称:新]"), QStringLiteral("此为空记录,无需删除.")}));
    QCOMPARE(messages_->messages[0].kind, MessageKind::Question);
    QCOMPARE(host.grid->RecordCount(), 1);
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
}

void TestRecordRequests::deleteAnsweredNo()
{
    GridHost host;
    host.loadPage(3);
    host.grid->ShowFrom(0);
    host.line(1)->money1->setFocus();
    messages_->answers = {false};

    host.grid->DeleteActiveRecord();

    QCOMPARE(messages_->texts(), QStringList({QStringLiteral("确实要删除此记录吗? [名称:r1]")}));
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
    QCOMPARE(host.grid->RecordCount(), 4);
}

void TestRecordRequests::deleteRemovesTheDeletedRecord()
{
    GridHost host;
    host.loadPage(5);
    host.grid->ShowFrom(0);
    host.line(2)->money1->setFocus();

    host.grid->DeleteActiveRecord();
    host.grid->ShowFrom(1); // the line that sent the request shows record 3 when the reply comes

    QTRY_COMPARE(host.grid->RecordCount(), 5);
    const QByteArray body = server_->requests()[0].body;
    QCOMPARE(FieldNames(body), QStringList({"user_name", "user_pass", "input_user", "client_type", "protocol_version",
                                            "action", "id_guid"}));
    QCOMPARE(Field(body, "action"), QStringLiteral("del"));
    QCOMPARE(Field(body, "id_guid"), GridHost::Record(2).id_guid);
    QCOMPARE(host.grid->IndexOfRecordId(GridHost::Record(2).id_guid), -1);
    QCOMPARE(host.grid->RecordList[2].name1, QStringLiteral("r3"));
    QVERIFY(!BusyVisible());
}

void TestRecordRequests::deleteRefused()
{
    GridHost host;
    host.loadPage(3);
    host.grid->ShowFrom(0);
    host.line(0)->name1->setFocus();
    post(FailReply());

    host.grid->DeleteActiveRecord();

    QTRY_COMPARE(server_->requestCount(), 1);
    QTRY_VERIFY(!BusyVisible());
    QCOMPARE(host.grid->RecordCount(), 4);
}

void TestRecordRequests::lock_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("locked");
    QTest::newRow("accepted") << OkReply() << "锁定完毕" << true;
    QTest::newRow("refused") << FailReply() << "锁定失败" << false;
}

void TestRecordRequests::lock()
{
    QFETCH(QString, reply);
    QFETCH(QString, shown);
    QFETCH(bool, locked);
    GridHost host;
    host.loadPage(2);
    host.grid->ShowFrom(0);
    host.grid->OnConfirmLock = [] { return true; };
    TfrmTCLine *line = host.line(1);
    line->money1->setText(QStringLiteral("5"));
    post(reply);

    line->N_LockRec->trigger();
    QCOMPARE(line->txtSave->text(), QStringLiteral("数据保存中..."));

    QTRY_COMPARE(line->txtSave->text(), shown);
    const QByteArray body = server_->requests()[0].body;
    QCOMPARE(server_->requests()[0].path, QByteArray("/ms/kessum/kessum_sqlite_lock.php"));
    QCOMPARE(FieldNames(body),
             QStringList({"user_name", "user_pass", "input_user", "client_type", "protocol_version", "action", "name1",
                          "money1", "in1", "type1", "create_time", "year1", "month1", "day1", "date1", "id_guid"}));
    QCOMPARE(Field(body, "action"), QStringLiteral("lock"));
    QCOMPARE(Field(body, "money1"), QStringLiteral("5"));
    QCOMPARE(Field(body, "id_guid"), GridHost::Record(1).id_guid);
    QCOMPARE(line->Info.is_lock == QLatin1String("1"), locked);
    QCOMPARE(line->Info.Modified, !locked);
    // The lock reply changes only the line's copy.
    QVERIFY(host.grid->RecordList[1].is_lock.isEmpty());
    QVERIFY(!line->is_lock->isVisibleTo(line));
}

void TestRecordRequests::lockCancelled()
{
    GridHost host;
    host.loadPage(2);
    host.grid->ShowFrom(0);
    int asked = 0;
    host.grid->OnConfirmLock = [&asked] {
        ++asked;
        return false;
    };

    host.line(0)->LockRecord();

    QCOMPARE(asked, 1);
    QCOMPARE(host.line(0)->txtSave->text(), QString());
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
}

void TestRecordRequests::lockNeverSavedRecordSendsEmptyKey()
{
    GridHost host;
    host.loadPage(0);
    host.grid->OnConfirmLock = [] { return true; };
    TfrmTCLine *line = host.line(0);
    line->name1->setText(QStringLiteral("新"));

    line->LockRecord();

    QTRY_COMPARE(line->txtSave->text(), QStringLiteral("锁定完毕"));
    const QByteArray body = server_->requests()[0].body;
    QVERIFY(FieldNames(body).contains("id_guid"));
    QCOMPARE(Field(body, "id_guid"), QString());
    QVERIFY(line->Info.id_guid.isEmpty());
    QVERIFY(!line->Info.IsNew);
    QVERIFY(!line->conNew->isVisibleTo(line));
}

void TestRecordRequests::menuItems()
{
    GridHost host;
    host.loadPage(1);
    host.grid->ShowFrom(0);
    TfrmTCLine *line = host.line(0);
    QList<QDateTime> recounts;
    host.grid->OnRecountMonth = [&recounts](const QDateTime &date) { recounts << date; };
    int categoryDialogs = 0;
    host.grid->OnEditCategories = [&categoryDialogs] { ++categoryDialogs; };
    QStringList opened;
    setShellOpenHandler([&opened](const QString &target) { opened << target; });

    line->N_SumMonth->trigger();
    line->create_time->setText(QStringLiteral("２０１５-01-13"));
    line->N_SumMonth->trigger(); // the recount reads the text as shown, without full-width clean-up
    line->N4->trigger();
    line->N1->trigger();
    emit line->type1_add->OnClick();

    QCOMPARE(recounts.size(), 1);
    QCOMPARE(recounts[0].date(), QDate(2015, 1, 13));
    QCOMPARE(messages_->texts(), QStringList({QStringLiteral("日期格式错误."),
                                              QStringLiteral("锁定后将不能再操作此月份的数据,确定要进行吗? ")}));
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened[0].contains(QStringLiteral("/ms/vdisk/show_bbs.php?id=")));
    QCOMPARE(categoryDialogs, 1);
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
}

QTEST_MAIN(TestRecordRequests)
#include "tst_record_requests.moc"
