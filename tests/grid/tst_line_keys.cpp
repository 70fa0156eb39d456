#include "tst_grid_support.h"

#include "grid/TfrmItem.h"

#include "controls/TColorBorderComboBox.h"
#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "support/LoopbackHttpServer.h"
#include "support/WheelInput.h"
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
    void enterThroughOpenListsKeepsWhatIsShown_data();
    void enterThroughOpenListsKeepsWhatIsShown();
    void openListKeepsTheFieldLook();
    void heldEnterActsOnce_data();
    void heldEnterActsOnce();
    void wheelOverABox_data();
    void wheelOverABox();

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

void TestLineKeys::enterThroughOpenListsKeepsWhatIsShown_data()
{
    QTest::addColumn<bool>("blankLine"); // type a name and an amount into the blank line; else walk record 0
    QTest::addColumn<QString>("inOut");  // record 0's code
    QTest::addColumn<QString>("category");
    QTest::addColumn<QList<int>>("inOutListKeys"); // pressed in the open in/out list before its Enter
    QTest::addColumn<QString>("sentInOut");
    QTest::addColumn<QString>("sentCategory");
    QTest::newRow("blank line, expense as shown") << true << "" << "" << QList<int>{} << "0" << "餐饮";
    QTest::newRow("blank line, income chosen with the arrow")
        << true << "" << "" << QList<int>{Qt::Key_Up} << "1" << "餐饮";
    QTest::newRow("income record in the second category") << false << "1" << "交通" << QList<int>{} << "1" << "交通";
    QTest::newRow("expense record in the second category") << false << "0" << "交通" << QList<int>{} << "0" << "交通";
    QTest::newRow("category typed by hand") << false << "1" << "自填" << QList<int>{} << "1" << "自填";
}

void TestLineKeys::enterThroughOpenListsKeepsWhatIsShown()
{
    QFETCH(bool, blankLine);
    QFETCH(QString, inOut);
    QFETCH(QString, category);
    QFETCH(QList<int>, inOutListKeys);
    QFETCH(QString, sentInOut);
    QFETCH(QString, sentCategory);
    // Given the cursor in the name of the blank line, or of a loaded record
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(blankLine ? 0 : 1);
    TfrmTCLine *line = host.line(0);
    if (!blankLine) {
        host.grid->RecordList[0].in1 = inOut;
        host.grid->RecordList[0].type1 = category;
        host.grid->ShowFrom(0);
        line->name1->setFocus();
    }
    QCOMPARE(host.focused(), line->name1);

    // When Enter walks the fields, each list taking the Enter that finds it open
    if (blankLine)
        host.type(QStringLiteral("午饭"));
    host.key(Qt::Key_Return);
    if (blankLine)
        host.type(QStringLiteral("12"));
    host.key(Qt::Key_Return);
    QVERIFY(line->in1->view()->isVisible());
    QCOMPARE(line->in1->view()->currentIndex().data().toString(), line->in1->currentText());
    for (int k : inOutListKeys)
        host.key(Qt::Key(k));
    host.key(Qt::Key_Return);
    QCOMPARE(host.focused(), line->type1);
    QVERIFY(line->type1->view()->isVisible());
    const QModelIndex highlighted = line->type1->view()->currentIndex();
    QCOMPARE(highlighted.isValid(), line->type1->findText(line->type1->currentText()) >= 0);
    if (highlighted.isValid())
        QCOMPARE(highlighted.data().toString(), line->type1->currentText());
    host.key(Qt::Key_Return);
    QCOMPARE(host.focused(), line->create_time);
    host.key(Qt::Key_Return);

    // Then the record goes out as the line showed it
    QTRY_COMPARE(server_->requestCount(), 1);
    const QByteArray body = server_->requests().first().body;
    QCOMPARE(Field(body, "in1"), sentInOut);
    QCOMPARE(Field(body, "type1"), sentCategory);
    QCOMPARE(host.grid->RecordList[0].in1, sentInOut);
}

void TestLineKeys::openListKeepsTheFieldLook()
{
    // Given the cursor in the amount of the blank line
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(0);
    TfrmTCLine *line = host.line(0);
    const QColor orange(255, 128, 0);
    host.key(Qt::Key_Return);

    // When Enter opens the in/out list, then the category list
    host.key(Qt::Key_Return);

    // Then the box whose list is open keeps its orange frame, and the category keeps its "+"
    QVERIFY(line->in1->view()->isVisible());
    QCOMPARE(line->in1->borderColor(), orange);
    host.key(Qt::Key_Return);
    QVERIFY(line->type1->view()->isVisible());
    QCOMPARE(line->type1->borderColor(), orange);
    QVERIFY(line->type1_add->isVisible());
    QCOMPARE(line->in1->borderColor(), line->in1->color());
    host.key(Qt::Key_Return);
    QCOMPARE(host.focused(), line->create_time);
    QVERIFY(!line->type1_add->isVisible());
    QCOMPARE(line->type1->borderColor(), line->type1->color());
}

void TestLineKeys::heldEnterActsOnce_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("landsIn");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("requests");
    QTest::newRow("in the name") << "name1"
                                 << "money1" << 1 << 0;
    QTest::newRow("in the date") << "create_time"
                                 << "name1" << 2 << 1;
}

void TestLineKeys::heldEnterActsOnce()
{
    QFETCH(QString, field);
    QFETCH(QString, landsIn);
    QFETCH(int, records);
    QFETCH(int, requests);
    // Given a named blank line with the cursor in one of its fields
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(0);
    TfrmTCLine *line = host.line(0);
    host.type(QStringLiteral("书"));
    TfrmTCLine::FindControlByName(line, field)->setFocus();

    // When Enter is held down through several repeats
    host.holdKey(Qt::Key_Return, 6);

    // Then the line moved on once
    QCOMPARE(host.focused(), TfrmTCLine::FindControlByName(line, landsIn));
    QCOMPARE(host.grid->RecordCount(), records);
    QVERIFY(!QApplication::activePopupWidget());
    QTRY_COMPARE(server_->requestCount(), requests);
    QVERIFY(messages_->messages.isEmpty());
}

void TestLineKeys::wheelOverABox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("steps");
    QTest::newRow("in/out of another line") << "in1" << false << false;
    QTest::newRow("category of another line") << "type1" << false << false;
    QTest::newRow("in/out with the cursor in it") << "in1" << true << true;
}

void TestLineKeys::wheelOverABox()
{
    QFETCH(QString, box);
    QFETCH(bool, focused);
    QFETCH(bool, steps);
    // Given a page with the cursor in the first line, or in the box itself; the second line shows an income in the
    // first category, so a step down would change either box
    GridHost host;
    QVERIFY(host.activated);
    CategoryListText = QStringLiteral("交通\r\n餐饮\r\n住房\r\n");
    host.loadPage(3);
    host.grid->RecordList[1].in1 = QStringLiteral("1");
    host.grid->RecordList[1].type1 = QStringLiteral("交通");
    host.grid->ShowFrom(0);
    auto *combo = qobject_cast<QComboBox *>(TfrmTCLine::FindControlByName(host.line(1), box));
    QVERIFY(combo);
    if (box == QLatin1String("type1")) {
        combo->showPopup(); // the category list is filled on dropping down
        combo->hidePopup();
    }
    QWidget *cursor = focused ? static_cast<QWidget *>(combo) : host.line(0)->name1;
    cursor->setFocus();
    const QString before = combo->currentText();
    host.grid->RecordList[1].Modified = false;

    // When the wheel turns down over the box
    TurnWheel(combo, QPoint(0, -120));
    TurnWheel(combo, QPoint(0, -120));

    // Then only a box with the cursor in it steps; the record of another line stays as it was
    QCOMPARE(host.focused(), cursor);
    QCOMPARE(combo->currentText() != before, steps);
    QCOMPARE(host.grid->RecordList[1].Modified, steps);
}

QTEST_MAIN(TestLineKeys)
#include "tst_line_keys.moc"
