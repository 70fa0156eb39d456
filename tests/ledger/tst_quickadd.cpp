#include "FakeParts.h"
#include "LedgerTestUtil.h"
#include "controls/TColorBorderComboBox.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TColorCheckBox.h"
#include "controls/TPNGButtonEx.h"
#include "core/NetSta.h"
#include "core/Session.h"
#include "grid/TfrmAdd.h"
#include "ledger/TForm1.h"
#include "lists/CategoryList.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;
using namespace lumora::test;

class TestQuickAdd : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void amountButtons_data();
    void amountButtons();
    void prepareKeepsTypeAndDate();
    void enterChainSavesOnTheWire();
    void badDateSendsNothing();
    void twoRecordsWithoutClosing();
    void refusedSaveRetriesWithTheSameKey();
    void networkFailureLetsTheUserRetry();
    void mainWindowRecountsOnceAfterClosing();
    void closingWithoutSaveDoesNotRecount();

private:
    TfrmAdd *makeDialog();

    QTemporaryDir *dir_ = nullptr;
    LoopbackHttpServer *server_ = nullptr;
    ScopedMessageCapture *messages_ = nullptr;
    TfrmAdd *dialog_ = nullptr;
    int reloads_ = 0;
};

void TestQuickAdd::init()
{
    dir_ = new QTemporaryDir;
    SetExeFolder(dir_->path() + QLatin1Char('/'));
    server_ = new LoopbackHttpServer;
    QVERIFY(server_->listen());
    server_->setDefaultResponse(CannedResponse::text(OkReply()));
    ResetSession();
    ServiceBaseUrl = server_->url(QStringLiteral("ms/kessum/"));
    SessionUser = QStringLiteral("demo");
    SessionPassword = QStringLiteral("pw");
    SessionInputUser = QStringLiteral("妈妈");
    messages_ = new ScopedMessageCapture;
    reloads_ = 0;
    CategoryListText.clear();
}

void TestQuickAdd::cleanup()
{
    delete dialog_;
    dialog_ = nullptr;
    delete messages_;
    delete server_;
    delete dir_;
}

TfrmAdd *TestQuickAdd::makeDialog()
{
    dialog_ = new TfrmAdd;
    dialog_->OnRecordSaved = [this] { ++reloads_; };
    CategoryListText = QStringLiteral("餐饮\r\n交通\r\n工资\r\n");
    dialog_->PrepareAdd();
    return dialog_;
}

void TestQuickAdd::amountButtons_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("expected");
    QTest::newRow("+1 on empty") << "" << 1 << "1";
    QTest::newRow("+10 on text") << "abc" << 2 << "10";
    QTest::newRow("+100 on 0.5") << "0.5" << 3 << "100.5";
    QTest::newRow("+10 on 12.5 with blanks") << " 12.5 " << 2 << "22.5";
}

void TestQuickAdd::amountButtons()
{
    QFETCH(QString, amount);
    QFETCH(int, button);
    QFETCH(QString, expected);
    TfrmAdd *d = makeDialog();
    d->money1->setText(amount);
    TPNGButtonEx *buttons[] = {d->PNGButtonEx1, d->PNGButtonEx2, d->PNGButtonEx3};
    QTest::mouseClick(buttons[button - 1], Qt::LeftButton);
    QCOMPARE(d->money1->text(), expected);
}

void TestQuickAdd::prepareKeepsTypeAndDate()
{
    // Given a dialog used once
    TfrmAdd *d = makeDialog();
    QCOMPARE(d->create_time->text(), QDate::currentDate().toString(Qt::ISODate));
    QCOMPARE(d->in1->currentText(), QStringLiteral("支出"));
    QCOMPARE(d->type1->count(), 3);
    QCOMPARE(d->type1->currentText(), QStringLiteral("餐饮"));
    d->name1->setText(QStringLiteral("午饭"));
    d->money1->setText(QStringLiteral("12"));
    d->in1->setCurrentIndex(0);
    d->type1->setEditText(QStringLiteral("交通"));
    d->create_time->setText(QStringLiteral("2015-1-3"));
    d->Saved = true;
    // When prepared again with a longer list
    CategoryListText = QStringLiteral("住房\r\n餐饮\r\n交通\r\n新类");
    d->PrepareAdd();
    // Then name and amount are empty, the category is the first, income and date stay
    QCOMPARE(d->name1->text(), QString());
    QCOMPARE(d->money1->text(), QString());
    QCOMPARE(d->type1->count(), 4);
    QCOMPARE(d->type1->currentText(), QStringLiteral("住房"));
    QCOMPARE(d->in1->currentText(), QStringLiteral("收入"));
    QCOMPARE(d->create_time->text(), QStringLiteral("2015-1-3"));
    QVERIFY(!d->Saved);
    QVERIFY(d->btnNew2->isEnabled());
}

void TestQuickAdd::enterChainSavesOnTheWire()
{
    // Given the dialog shown with the name field focused
    TfrmAdd *d = makeDialog();
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
    d->name1->setFocus();
    d->create_time->setText(QStringLiteral("２０１５-3-7"));
    // When typing through the fields with Enter
    QTest::keyClicks(d->name1, QStringLiteral("lunch"));
    QTest::keyClick(d->name1, Qt::Key_Return);
    QVERIFY(d->money1->hasFocus());
    d->money1->setText(QStringLiteral("１２.5"));
    QTest::keyClick(d->money1, Qt::Key_Return);
    QVERIFY(d->in1->hasFocus());
    QTest::keyClick(d->in1, Qt::Key_Return);
    QVERIFY(d->type1->hasFocus());
    QVERIFY(!d->type1->view()->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(d->create_time->hasFocus());
    QTest::keyClick(d->create_time, Qt::Key_Return);
    // Then the focus is back in the name and the save body goes out
    QVERIFY(d->name1->hasFocus());
    QVERIFY(!d->btnNew2->isEnabled());
    QTRY_COMPARE(server_->requestCount(), 1);
    const RecordedRequest r = server_->requests().first();
    QCOMPARE(r.path, QByteArray("/ms/kessum/kessum_sqlite_post.php"));
    const QStringList lines = ActionLines(r.body);
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines.mid(0, 13),
             (QStringList{"action=add", "user_name=demo", "user_pass=pw", QStringLiteral("input_user=妈妈"),
                          "name1=lunch", "money1=12.5", "in1=0", QStringLiteral("type1=餐饮"), "create_time=2015-3-7",
                          "year1=2015", "month1=3", "day1=7", "date1=2015-3-7"}));
    QVERIFY(lines[13].startsWith(QStringLiteral("id_guid={")));
    // And a positive reply reloads the newest records and closes
    QTRY_VERIFY(!d->isVisible());
    QCOMPARE(reloads_, 1);
    QVERIFY(d->Saved);
    QVERIFY(d->btnNew2->isEnabled());
    QVERIFY(!BusyVisible());
}

void TestQuickAdd::badDateSendsNothing()
{
    TfrmAdd *d = makeDialog();
    d->create_time->setText(QStringLiteral("2015-2-30"));
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QCOMPARE(messages_->lastText(), QStringLiteral("日期格式错误."));
    QVERIFY(d->btnNew2->isEnabled());
    QTest::qWait(0);
    QCOMPARE(server_->requestCount(), 0);
}

void TestQuickAdd::twoRecordsWithoutClosing()
{
    // Given "成功后不关闭" checked
    TfrmAdd *d = makeDialog();
    d->show();
    d->chkClose->setChecked(true);
    // When two records are saved
    d->name1->setText(QStringLiteral("一"));
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QTRY_COMPARE(reloads_, 1);
    QTRY_VERIFY(d->btnNew2->isEnabled());
    d->name1->setText(QStringLiteral("二"));
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QTRY_COMPARE(reloads_, 2);
    // Then they carry two keys and the dialog stays open with the fields kept
    const QString first = WireValue(server_->requests()[0].body, QStringLiteral("id_guid"));
    const QString second = WireValue(server_->requests()[1].body, QStringLiteral("id_guid"));
    QVERIFY(!first.isEmpty());
    QVERIFY(first != second);
    QVERIFY(d->isVisible());
    QCOMPARE(d->name1->text(), QStringLiteral("二"));
    QVERIFY(d->Saved);
}

void TestQuickAdd::refusedSaveRetriesWithTheSameKey()
{
    TfrmAdd *d = makeDialog();
    d->show();
    server_->enqueue(CannedResponse::text(OkReply(false)));
    d->name1->setText(QStringLiteral("午饭"));
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QTRY_VERIFY(d->btnNew2->isEnabled());
    QVERIFY(d->isVisible());
    QCOMPARE(reloads_, 0);
    QVERIFY(!d->Saved);
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QTRY_COMPARE(reloads_, 1);
    QCOMPARE(WireValue(server_->requests()[1].body, QStringLiteral("id_guid")),
             WireValue(server_->requests()[0].body, QStringLiteral("id_guid")));
}

void TestQuickAdd::networkFailureLetsTheUserRetry()
{
    // Given a service that drops the connection mid-reply
    TfrmAdd *d = makeDialog();
    d->show();
    server_->enqueue(CannedResponse::misbehave(CannedResponse::Mode::CloseMidReply));
    d->name1->setText(QStringLiteral("午饭"));
    // When saving
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    // Then the user hears of it, the busy window goes and the button can be pressed again
    QTRY_COMPARE(messages_->lastText(), QStringLiteral("网络错误."));
    QVERIFY(d->btnNew2->isEnabled());
    QVERIFY(!BusyVisible());
    QVERIFY(d->isVisible());
    // And the retry sends the same key
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QTRY_COMPARE(reloads_, 1);
    QCOMPARE(WireValue(server_->requests()[1].body, QStringLiteral("id_guid")),
             WireValue(server_->requests()[0].body, QStringLiteral("id_guid")));
}

void TestQuickAdd::mainWindowRecountsOnceAfterClosing()
{
    // Given the main window's quick-add with "成功后不关闭"
    auto fakeParts = std::make_unique<FakeParts>();
    FakeParts *fake = fakeParts.get();
    TForm1 window(std::move(fakeParts));
    CategoryListText = QStringLiteral("餐饮\r\n交通");
    QTest::mouseClick(window.btnNew2, Qt::LeftButton);
    TfrmAdd *d = window.quickAdd();
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QCOMPARE(d->type1->currentText(), QStringLiteral("餐饮"));
    d->chkClose->setChecked(true);
    // When two records are saved and the dialog closed
    d->name1->setText(QStringLiteral("一"));
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QTRY_COMPARE(fake->queries.size(), 1);
    QTRY_VERIFY(d->btnNew2->isEnabled());
    d->name1->setText(QStringLiteral("二"));
    QTest::mouseClick(d->btnNew2, Qt::LeftButton);
    QTRY_COMPARE(fake->queries.size(), 2);
    QVERIFY(fake->recounts.isEmpty());
    d->reject();
    // Then each save reloaded the newest page and the month is recounted once
    QCOMPARE(fake->queries[0].first, 0);
    QVERIFY(fake->queries[1].second.startsWith(QStringLiteral("action=data\r\n")));
    QCOMPARE(fake->recounts.size(), 1);
    QVERIFY(WireValue(server_->requests()[0].body, QStringLiteral("id_guid")) !=
            WireValue(server_->requests()[1].body, QStringLiteral("id_guid")));
    // And reopening reuses the dialog, emptied
    QTest::mouseClick(window.btnNew2, Qt::LeftButton);
    QCOMPARE(window.quickAdd(), d);
    QCOMPARE(d->name1->text(), QString());
    QVERIFY(!d->Saved);
    d->reject();
    QCOMPARE(fake->recounts.size(), 1);
}

void TestQuickAdd::closingWithoutSaveDoesNotRecount()
{
    auto fakeParts = std::make_unique<FakeParts>();
    FakeParts *fake = fakeParts.get();
    TForm1 window(std::move(fakeParts));
    QTest::mouseClick(window.btnNew2, Qt::LeftButton);
    window.quickAdd()->reject();
    QVERIFY(fake->recounts.isEmpty());
    QVERIFY(fake->queries.isEmpty());
}

QTEST_MAIN(TestQuickAdd)
#include "tst_quickadd.moc"
