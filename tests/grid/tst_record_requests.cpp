#include "tst_grid_support.h"

#include "grid/TfrmItem.h"
#include "grid/Tform_date.h"

#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "support/LoopbackHttpServer.h"
#include "util/Helpers.h"
#include "util/MessageSeam.h"

#include <QAction>
#include <QPushButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

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
    void replyKeepsANewerEdit_data();
    void replyKeepsANewerEdit();
    void answerActsOnTheRecordAsked_data();
    void answerActsOnTheRecordAsked();

private:
    void holdNextReply()
    {
        CannedResponse held = CannedResponse::text(OkReply());
        held.mode = CannedResponse::Mode::Held;
        server_->enqueue(held);
    }
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
    // The record list no longer counts a locked record as unsaved, but its lock button waits for the next load.
    QCOMPARE(host.grid->RecordList[1].Modified, !locked);
    QCOMPARE(host.grid->HasUnsavedLines(), !locked);
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

void TestRecordRequests::replyKeepsANewerEdit_data()
{
    QTest::addColumn<bool>("lock");
    QTest::newRow("save") << false;
    QTest::newRow("lock") << true;
}

void TestRecordRequests::replyKeepsANewerEdit()
{
    QFETCH(bool, lock);
    // Given an edited record whose save or lock is on its way, its reply held back
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(2);
    host.grid->ShowFrom(0);
    host.grid->OnConfirmLock = [] { return true; };
    TfrmTCLine *line = host.line(0);
    line->name1->setFocus();
    host.type(QStringLiteral("x"));
    holdNextReply();
    if (lock)
        line->N_LockRec->trigger();
    else
        QTest::mouseClick(line->btnSave, Qt::LeftButton);
    QTRY_COMPARE(server_->heldCount(), 1);

    // When the user types on before the reply arrives
    host.type(QStringLiteral("y"));
    server_->releaseHeld();
    QTRY_VERIFY(!BusyVisible());

    // Then the text that was never sent still counts as unsaved
    QCOMPARE(Field(server_->requests().first().body, "name1"), QStringLiteral("r0x"));
    QCOMPARE(line->txtSave->text(), QStringLiteral("已修改,请及时保存"));
    QVERIFY(line->Info.Modified);
    QCOMPARE(host.grid->RecordList[0].name1, QStringLiteral("r0xy"));
    QVERIFY(host.grid->RecordList[0].Modified);
    QVERIFY(host.grid->HasUnsavedLines());
    QCOMPARE(line->Info.is_lock == QLatin1String("1"), lock);
}

void TestRecordRequests::answerActsOnTheRecordAsked_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("gone"); // the reply that arrives meanwhile deletes the record asked about
    for (const char *command : {"delete", "lock", "date"}) {
        QTest::addRow("%s, line re-bound meanwhile", command) << QString::fromLatin1(command) << false;
        QTest::addRow("%s, record deleted meanwhile", command) << QString::fromLatin1(command) << true;
    }
}

void TestRecordRequests::answerActsOnTheRecordAsked()
{
    QFETCH(QString, command);
    QFETCH(bool, gone);
    // Given a delete on its way, of the first record or of the third, its reply held back
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(5);
    host.grid->ShowFrom(0);
    CaptureWhileAsking answers;
    holdNextReply();
    host.line(gone ? 2 : 0)->name1->setFocus();
    host.grid->DeleteActiveRecord();
    QTRY_COMPARE(server_->heldCount(), 1);
    const TItemInfo asked = GridHost::Record(2);
    const TItemInfo below = GridHost::Record(3);
    TfrmTCLine *line = host.line(2);
    QCOMPARE(line->Info.id_guid, asked.id_guid);
    // The delete reply re-binds the lines while the question or dialog about the third record is open.
    bool arrived = false;
    const auto replyArrives = [&] {
        server_->releaseHeld();
        arrived = QTest::qWaitFor([&] { return host.grid->RecordCount() == 5; });
    };

    // When the command on the third record is answered after that
    const QString chosenDate = QStringLiteral("2009-03-07");
    if (command == QLatin1String("delete")) {
        answers.whileAsking = replyArrives;
        line->name1->setFocus();
        host.grid->DeleteActiveRecord();
    } else if (command == QLatin1String("lock")) {
        host.grid->OnConfirmLock = [&] {
            replyArrives();
            return true;
        };
        line->N_LockRec->trigger();
    } else {
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<Tform_date *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            replyArrives();
            dialog->setDate(QDate(2009, 3, 7));
            QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        });
        line->create_time->setFocus();
        QTest::mouseClick(line->create_time_POP, Qt::LeftButton);
    }

    // Then it acted on the third record, wherever that is shown now, or on nothing once it was gone
    QVERIFY(arrived);
    const int belowIndex = host.grid->IndexOfRecordId(below.id_guid);
    QVERIFY(belowIndex >= 0);
    QCOMPARE(host.grid->RecordList[belowIndex].create_time, below.create_time);
    if (gone) {
        QVERIFY(!BusyVisible()); // no request went out after the answer
        QTest::qWait(0);
        QCOMPARE(server_->requestCount(), 1);
        QCOMPARE(host.grid->RecordCount(), 5);
        for (const TItemInfo &record : host.grid->RecordList)
            QVERIFY(record.create_time != chosenDate);
        return;
    }
    const int askedIndex = host.grid->IndexOfRecordId(asked.id_guid);
    QCOMPARE(askedIndex, 1);
    if (command == QLatin1String("date")) {
        QCOMPARE(host.grid->RecordList[askedIndex].create_time, chosenDate);
        QCOMPARE(host.line(1)->create_time->text(), chosenDate);
        QCOMPARE(server_->requestCount(), 1);
        return;
    }
    QTRY_COMPARE(server_->requestCount(), 2);
    const RecordedRequest request = server_->requests().last();
    QCOMPARE(Field(request.body, "id_guid"), asked.id_guid);
    if (command == QLatin1String("delete")) {
        QTRY_COMPARE(host.grid->RecordCount(), 4);
        QCOMPARE(host.grid->IndexOfRecordId(asked.id_guid), -1);
        QVERIFY(host.grid->IndexOfRecordId(below.id_guid) >= 0);
    } else {
        QCOMPARE(request.path, QByteArray("/ms/kessum/kessum_sqlite_lock.php"));
        QCOMPARE(Field(request.body, "name1"), asked.name1);
        QTRY_COMPARE(host.line(1)->txtSave->text(), QStringLiteral("锁定完毕"));
        QCOMPARE(host.line(2)->txtSave->text(), QString());
    }
}

QTEST_MAIN(TestRecordRequests)
#include "tst_record_requests.moc"
