#include "tst_grid_support.h"

#include "grid/TfrmItem.h"

#include "controls/TColorBorderComboBox.h"
#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "support/LoopbackHttpServer.h"
#include "util/MessageSeam.h"

#include <QAbstractItemView>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

using namespace lumora;
using namespace lumora::test;

// Typing into the grid as a user does: the Enter chain, the arrows and the saves they start.
class TestLineKeys : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void enterChainSavesAndOpensNextLine();
    void enterInLastRecordAppendsAndKeepsScreenLine();
    void enterInMiddleAndOnLastVisibleLine();
    void enterWithoutName();
    void leftRight_data();
    void leftRight();
    void upDownAtTheEdges();
    void arrowsLeftToAnOpenList();

private:
    LoopbackHttpServer *server_ = nullptr;
    ScopedMessageCapture *messages_ = nullptr;
};

void TestLineKeys::init()
{
    ResetSession();
    SessionUser = QStringLiteral("张三");
    SessionPassword = QStringLiteral("pw");
    SessionInputUser = QStringLiteral("10.0.0.2");
    CategoryListText = QStringLiteral("餐饮\r\n交通\r\n");
    server_ = new LoopbackHttpServer;
    QVERIFY(server_->listen());
    server_->setDefaultResponse(CannedResponse::text(OkReply()));
    ServiceBaseUrl = server_->baseUrl() + QStringLiteral("ms/kessum/");
    messages_ = new ScopedMessageCapture;
}

void TestLineKeys::cleanup()
{
    delete messages_;
    delete server_;
    ResetSession();
    HideBusy();
}

void TestLineKeys::enterChainSavesAndOpensNextLine()
{
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(0);
    TfrmTCLine *line = host.line(0);
    QCOMPARE(host.focused(), line->name1);

    host.type(QStringLiteral("午饭"));
    host.key(Qt::Key_Return);
    QCOMPARE(host.focused(), line->money1);
    host.type(QStringLiteral("１２。５"));
    host.key(Qt::Key_Return);
    QCOMPARE(host.focused(), line->in1);
    QVERIFY(line->in1->view()->isVisible());
    host.key(Qt::Key_Return);
    QCOMPARE(host.focused(), line->type1);
    QVERIFY(line->type1->view()->isVisible());
    QCOMPARE(line->type1->count(), 2); // refilled from the category list on dropping down
    host.key(Qt::Key_Return);
    QCOMPARE(host.focused(), line->create_time);
    host.key(Qt::Key_Return);

    QTRY_COMPARE(server_->requestCount(), 1);
    const RecordedRequest request = server_->requests().first();
    QCOMPARE(request.path, QByteArray("/ms/kessum/kessum_sqlite_post.php"));
    QCOMPARE(FieldNames(request.body),
             QStringList({"user_name", "user_pass", "input_user", "client_type", "protocol_version", "action",
                          "user_name", "user_pass", "input_user", "name1", "money1", "in1", "type1", "create_time",
                          "year1", "month1", "day1", "date1", "id_guid"}));
    const QDate today = QDate::currentDate();
    QCOMPARE(Field(request.body, "action"), QStringLiteral("add"));
    QCOMPARE(Field(request.body, "user_name"), QStringLiteral("张三"));
    QCOMPARE(Field(request.body, "name1"), QStringLiteral("午饭"));
    QCOMPARE(Field(request.body, "money1"), QStringLiteral("12.5"));
    QCOMPARE(Field(request.body, "in1"), QStringLiteral("0"));
    QCOMPARE(Field(request.body, "type1"), QStringLiteral("餐饮"));
    QCOMPARE(Field(request.body, "create_time"), today.toString(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(Field(request.body, "month1"), QString::number(today.month()));
    QCOMPARE(Field(request.body, "date1"),
             QStringLiteral("%1-%2-%3").arg(today.year()).arg(today.month()).arg(today.day()));
    const QString id = Field(request.body, "id_guid");
    QVERIFY(QRegularExpression(QStringLiteral("^\\{[0-9A-F-]{36}\\}$")).match(id).hasMatch());

    // A blank record followed, the grid scrolled by one and the cursor stayed on screen line 0.
    QCOMPARE(host.grid->RecordCount(), 2);
    QCOMPARE(host.focused(), line->name1);
    QCOMPARE(line->RecordIndex, 1);
    QVERIFY(line->Info.IsNew);
    // The saved record is off screen now; its reply still marks it saved.
    QTRY_COMPARE(host.grid->RecordList[0].StatusText, QStringLiteral("保存完毕"));
    QCOMPARE(host.grid->RecordList[0].id_guid, id);
    QVERIFY(!host.grid->RecordList[0].IsNew);
    QVERIFY(!host.grid->RecordList[0].Modified);
    QVERIFY(!host.grid->HasUnsavedLines());
}

void TestLineKeys::enterInLastRecordAppendsAndKeepsScreenLine()
{
    GridHost host(12);
    QVERIFY(host.activated);
    host.loadPage(5);
    TfrmTCLine *line = host.line(5);
    QCOMPARE(host.focused(), line->name1);
    host.type(QStringLiteral("x"));
    line->create_time->setFocus();

    host.key(Qt::Key_Return);

    QCOMPARE(host.grid->RecordCount(), 7);
    QCOMPARE(host.grid->TopIndex, 1);
    QCOMPARE(host.focused(), line->name1);
    QCOMPARE(line->RecordIndex, 6);
    QCOMPARE(line->name1->text(), QString());
    QCOMPARE(line->create_time->text(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(line->type1->currentText(), QStringLiteral("餐饮"));
    QCOMPARE(host.line(4)->name1->text(), QStringLiteral("x"));
    QCOMPARE(host.line(4)->txtSave->text(), QStringLiteral("已修改,请及时保存")); // re-bound before the reply
    QTRY_COMPARE(host.line(4)->txtSave->text(), QStringLiteral("保存完毕"));
}

void TestLineKeys::enterInMiddleAndOnLastVisibleLine()
{
    GridHost host(12);
    QVERIFY(host.activated);
    host.loadPage(40);
    host.line(3)->create_time->setFocus();

    host.key(Qt::Key_Return);

    QCOMPARE(host.focused(), host.line(4)->name1);
    QCOMPARE(host.grid->TopIndex, 29);
    QCOMPARE(host.grid->RecordCount(), 41);

    host.grid->ShowFrom(20);
    host.line(11)->create_time->setFocus();
    QCOMPARE(host.line(11)->RecordIndex, 31);

    host.key(Qt::Key_Return);

    QCOMPARE(host.grid->TopIndex, 21);
    QCOMPARE(host.focused(), host.line(11)->name1);
    QCOMPARE(host.line(11)->RecordIndex, 32);
    QCOMPARE(host.grid->RecordCount(), 41);
    QTRY_COMPARE(server_->requestCount(), 2);
}

void TestLineKeys::enterWithoutName()
{
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(0);
    TfrmTCLine *line = host.line(0);
    line->name1->setText(QStringLiteral("   "));
    line->create_time->setFocus();

    host.key(Qt::Key_Return);

    QCOMPARE(messages_->lastText(), QStringLiteral("您还未输入需要保存的数据"));
    QCOMPARE(line->txtSave->text(), QStringLiteral("还未输入需要保存的数据"));
    QCOMPARE(host.focused(), line->name1);
    QCOMPARE(host.grid->RecordCount(), 1);
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
}

void TestLineKeys::leftRight_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("caret"); // -1: select all
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    const int left = Qt::Key_Left, right = Qt::Key_Right;
    QTest::newRow("name, caret in the middle, right moves the caret") << "name1" << 1 << right << "name1";
    QTest::newRow("name, caret at the end, right") << "name1" << 2 << right << "money1";
    QTest::newRow("name, text selected, right") << "name1" << -1 << right << "name1";
    QTest::newRow("name, caret at 0, left") << "name1" << 0 << left << "name1";
    QTest::newRow("amount, caret at 0, left") << "money1" << 0 << left << "name1";
    QTest::newRow("amount, caret in the middle, left") << "money1" << 1 << left << "money1";
    QTest::newRow("amount, text selected, left") << "money1" << -1 << left << "money1";
    QTest::newRow("amount, caret at the end, right") << "money1" << 4 << right << "in1";
    QTest::newRow("in/out, left") << "in1" << 0 << left << "money1";
    QTest::newRow("in/out, right") << "in1" << 0 << right << "type1";
    QTest::newRow("category, left") << "type1" << 1 << left << "in1";
    QTest::newRow("category, right") << "type1" << 0 << right << "create_time";
    QTest::newRow("date, caret at 0, left") << "create_time" << 0 << left << "type1";
    QTest::newRow("date, caret in the middle, left") << "create_time" << 3 << left << "create_time";
    QTest::newRow("date, caret at the end, right") << "create_time" << 10 << right << "create_time";
}

void TestLineKeys::leftRight()
{
    QFETCH(QString, field);
    QFETCH(int, caret);
    QFETCH(int, key);
    QFETCH(QString, expected);
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(2);
    TfrmTCLine *line = host.line(0);
    line->money1->setText(QStringLiteral("0.00")); // 4 characters; name1 is "r0", 2 characters
    QWidget *start = TfrmTCLine::FindControlByName(line, field);
    start->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(start)) {
        if (caret < 0)
            edit->selectAll();
        else
            edit->setCursorPosition(caret);
    }

    host.key(Qt::Key(key));

    QCOMPARE(host.focused(), TfrmTCLine::FindControlByName(line, expected));
    if (field == QLatin1String("name1") && caret == 1)
        QCOMPARE(line->name1->cursorPosition(), 2);
}

void TestLineKeys::upDownAtTheEdges()
{
    GridHost host(12);
    QVERIFY(host.activated);
    host.loadPage(40);
    host.grid->ShowFrom(0);
    const double thumb = host.grid->ScrollBarEx_V->position();
    host.line(0)->money1->setFocus();

    host.key(Qt::Key_Up);
    QCOMPARE(host.grid->TopIndex, 0);
    QCOMPARE(host.focused(), host.line(0)->money1);

    host.key(Qt::Key_Down);
    QCOMPARE(host.focused(), host.line(1)->money1);

    host.grid->ShowFrom(10);
    host.line(11)->money1->setFocus();
    QCOMPARE(host.line(11)->RecordIndex, 21);
    host.key(Qt::Key_Down);
    QCOMPARE(host.grid->TopIndex, 11);
    QCOMPARE(host.focused(), host.line(10)->money1); // the cursor moved up with its record
    host.key(Qt::Key_Down);
    QCOMPARE(host.focused(), host.line(11)->money1);
    QCOMPARE(host.line(11)->RecordIndex, 22);

    host.line(0)->type1->setFocus();
    host.key(Qt::Key_Up);
    QCOMPARE(host.grid->TopIndex, 10);
    QCOMPARE(host.focused(), host.line(1)->type1);
    QCOMPARE(host.grid->ScrollBarEx_V->position(), thumb); // Up and Down do not move the thumb
}

void TestLineKeys::arrowsLeftToAnOpenList()
{
    GridHost host(12);
    QVERIFY(host.activated);
    host.loadPage(40);
    TfrmTCLine *line = host.line(11);
    line->type1->setFocus();
    line->type1->showPopup();
    QVERIFY(line->type1->view()->isVisible());

    QVERIFY(!host.grid->PreviewArrowKey(Qt::Key_Down));

    QCOMPARE(host.grid->TopIndex, 29);
    line->type1->hidePopup();
    QCOMPARE(host.focused(), line->type1);
}

QTEST_MAIN(TestLineKeys)
#include "tst_line_keys.moc"
