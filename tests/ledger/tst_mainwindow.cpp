#include "FakeParts.h"
#include "LedgerTestUtil.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "controls/TQRXPosition.h"
#include "core/Session.h"
#include "grid/TfrmTCLine.h"
#include "grid/TfrmVGrid.h"
#include "ledger/ClickPanel.h"
#include "ledger/TForm1.h"
#include "lists/CategoryList.h"
#include "lists/TForm_nb.h"
#include "reports/TfrmQueryMore.h"
#include "controls/TColorBorderComboBox.h"
#include "controls/TScrollBox.h"
#include "support/LoopbackHttpServer.h"
#include "support/WheelInput.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"
#include "util/Helpers.h"
#include "util/IniFile.h"
#include "util/MessageSeam.h"
#include <QLayout>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace lumora;
using namespace lumora::test;

namespace
{

const QString kPage = PageReply({RecordRow({{"id_guid", "{A}"}, {"name1", "工资"}, {"in1", "1"}, {"money1", "100"}}),
                                 RecordRow({{"id_guid", "{B}"}, {"name1", "午饭"}, {"in1", "0"}, {"money1", "12.5"}}),
                                 RecordRow({{"id_guid", "{C}"}, {"name1", "公交"}, {"in1", "0"}, {"money1", "7"}})},
                                QStringLiteral("<Info RecCount=\"3\" RecCountInPage=\"50\" CurPage=\"0\"/>"));

enum Mode { Newest, ThisMonth, ChosenMonth, LargeExpense, Day, MonthView, NextPage };

void click(ClickPanel *panel)
{
    QTest::mouseClick(panel, Qt::LeftButton);
}

} // namespace

Q_DECLARE_METATYPE(Mode)
Q_DECLARE_METATYPE(lumora::QuestionAnswer)

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startState();
    void everyModeSendsItsLinesAndShowsTheReply_data();
    void everyModeSendsItsLinesAndShowsTheReply();
    void prePageOnFirstPageSendsNothing();
    void pagingFollowsTheReply();
    void largeExpenseToggle();
    void dayStepsAcrossTheYear();
    void monthStepsAcrossTheYear();
    void monthComboChange();
    void queryLastAfterThisMonthKeepsLabels();
    void dayBarAndMoreQuery();
    void deleteCommand();
    void deleteSavedRecordOnTheWire();
    void recordAreaScrollsSideways();
    void closeQuestion_data();
    void closeQuestion();
    void unsavedLinesAskBeforeAQuery_data();
    void unsavedLinesAskBeforeAQuery();
    void arrowKeysMoveLines();
    void arrowKeysLeftToOpenList();
    void viewSizes();
    void links();
    void newLineAndRecount();
    void positionIsRemembered();
    void signInWithoutDownloadedCategories();
    void expenseQueryResetOutlivesALaterReply();
    void expenseQueryWindowIsKeptBetweenOpenings();
    void editsTypedWhileAPageIsOnItsWay_data();
    void editsTypedWhileAPageIsOnItsWay();

private:
    TForm1 *makeWithServer();
    TForm1 *makeWithFake();
    // Shows the window, loads the loopback page of three records and gives the window the focus back.
    void showWithPage(TForm1 *w, TfrmVGrid *&grid);

    QTemporaryDir *dir_ = nullptr;
    LoopbackHttpServer *server_ = nullptr;
    ScopedMessageCapture *messages_ = nullptr;
    TForm1 *window_ = nullptr;
    FakeParts *fake_ = nullptr;
    QStringList opened_;
};

void TestMainWindow::init()
{
    dir_ = new QTemporaryDir;
    SetExeFolder(dir_->path() + QLatin1Char('/'));
    server_ = new LoopbackHttpServer;
    QVERIFY(server_->listen());
    server_->setDefaultResponse(CannedResponse::text(kPage));
    ResetSession();
    ServiceBaseUrl = server_->url(QStringLiteral("ms/kessum/"));
    SessionUser = QStringLiteral("demo");
    SessionPassword = QStringLiteral("demo");
    SessionInputUser = QStringLiteral("10.0.0.5");
    messages_ = new ScopedMessageCapture;
    opened_.clear();
    setShellOpenHandler([this](const QString &target) { opened_ << target; });
}

void TestMainWindow::cleanup()
{
    delete window_;
    window_ = nullptr;
    fake_ = nullptr;
    delete messages_;
    delete server_;
    delete dir_;
    setShellOpenHandler({});
}

TForm1 *TestMainWindow::makeWithServer()
{
    window_ = new TForm1;
    return window_;
}

void TestMainWindow::showWithPage(TForm1 *w, TfrmVGrid *&grid)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->QueryLast50(0);
    QTRY_COMPARE(w->RecCount(), 3);
    // The busy window came and went; the main window takes the focus back.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    grid = w->findChild<TfrmVGrid *>();
    QVERIFY(grid);
}

TForm1 *TestMainWindow::makeWithFake()
{
    auto fake = std::make_unique<FakeParts>();
    fake_ = fake.get();
    window_ = new TForm1(std::move(fake));
    return window_;
}

void TestMainWindow::startState()
{
    TForm1 *w = makeWithFake();
    QCOMPARE(w->txtQueryMonth->currentText(), QDate::currentDate().toString(QStringLiteral("yyyyMM")));
    QVERIFY(qAbs(w->CurrentDay.secsTo(QDateTime::currentDateTime())) < 60);
    QVERIFY(!w->pnlPage->isHidden());
    QVERIFY(w->pnlDay->isHidden());
    QVERIFY(w->pnlMonth->isHidden());
    QCOMPARE(w->pnlPage->geometry(), w->pnlDay->geometry());
    QCOMPARE(w->pnlMonth->geometry(), w->pnlDay->geometry());
    QVERIFY(w->hj_day_label1->isHidden());
    QVERIFY(w->hj_day_label2->isHidden());
    QVERIFY(w->btnSerach_curRecDay->isHidden());
    QCOMPARE(w->btnSerach_last50->color(), TForm1::ActiveColor);
    for (ClickPanel *b : {w->btnSerach_lastMonth, w->btnSerach_Min, w->btnSerach_curRecMonth})
        QCOMPARE(b->color(), TForm1::InactiveColor);
    QVERIFY(w->windowTitle().startsWith(QStringLiteral("Lumora 2016 v2")));
    QVERIFY(fake_->queries.isEmpty());
}

void TestMainWindow::everyModeSendsItsLinesAndShowsTheReply_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QStringList>("expected"); // a line ending in "*" is compared as a prefix
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QTest::newRow("newest") << Newest << QStringList{"action=data", "input_user=10.0.0.5", "mini_money=", "page=0"};
    QTest::newRow("this month") << ThisMonth
                                << QStringList{"action=data", "page=0", "mini_money=", "month1=" + today + "*",
                                               "create_time=" + today + "*"};
    QTest::newRow("chosen month") << ChosenMonth
                                  << QStringList{"action=data", "page=0", "mini_money=", "month1=2014-3-01 12:00:00",
                                                 "create_time=2014-3-01 12:00:00"};
    QTest::newRow("large expense") << LargeExpense
                                   << QStringList{"action=data", "input_user=10.0.0.5", "mini_money=100", "page=0"};
    QTest::newRow("picked day") << Day
                                << QStringList{"action=data", "page=0", "day1=2015-01-01", "create_time=2015-01-01"};
    QTest::newRow("month view") << MonthView << QStringList{"action=data", "input_user=10.0.0.5", "mini_money=",
                                                            "page=0",      "bdate1=2015-02-01",   "edate1=2015-03-01"};
    QTest::newRow("next page") << NextPage
                               << QStringList{"action=data", "input_user=10.0.0.5", "mini_money=", "page=1"};
}

void TestMainWindow::everyModeSendsItsLinesAndShowsTheReply()
{
    QFETCH(Mode, mode);
    QFETCH(QStringList, expected);
    // Given a window talking to the loopback service
    TForm1 *w = makeWithServer();
    w->PickMonthHandler = [](QString &year, QString &month) {
        year = QStringLiteral("2014");
        month = QStringLiteral("3");
        return true;
    };
    w->PickDateHandler = [](const QString &, QString &picked) {
        picked = QStringLiteral("2015-01-01");
        return true;
    };
    // When the mode is chosen
    switch (mode) {
    case Newest:
        click(w->btnSerach_last50);
        break;
    case ThisMonth:
        click(w->btnSerach_lastMonth);
        break;
    case ChosenMonth:
        click(w->btnSerach_curRecMonth);
        break;
    case LargeExpense:
        click(w->btnSerach_Min);
        break;
    case Day:
        click(w->hj_day_label2);
        break;
    case MonthView:
        w->txtQueryMonth->setEditText(QStringLiteral("201502"));
        QTest::mouseClick(w->btnQueryMonth, Qt::LeftButton);
        break;
    case NextPage:
        click(w->btnNextPage);
        break;
    }
    // Then the lines go out in order after the session block
    QTRY_COMPARE(server_->requestCount(), 1);
    const RecordedRequest request = server_->requests().first();
    QCOMPARE(request.path, QByteArray("/ms/kessum/kessum_sqlite_post.php"));
    QCOMPARE(WireValue(request.body, QStringLiteral("user_name")), QStringLiteral("demo"));
    const QStringList lines = ActionLines(request.body);
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i) {
        if (expected[i].endsWith(QLatin1Char('*')))
            QVERIFY2(lines[i].startsWith(expected[i].chopped(1)), qPrintable(lines[i]));
        else
            QCOMPARE(lines[i], expected[i]);
    }
    // And the reply fills the page line and the expense total
    QTRY_COMPARE(w->txtPageInfo->text(), QStringLiteral("总数: 3 页次: 0 每页: 50"));
    QCOMPARE(w->hj_day_label1->text(), QStringLiteral("19.50"));
    QCOMPARE(w->RecCount(), 3);
}

void TestMainWindow::prePageOnFirstPageSendsNothing()
{
    TForm1 *w = makeWithFake();
    click(w->btnPrePage);
    QCOMPARE(messages_->messages.size(), 1);
    QCOMPARE(messages_->messages.first().kind, MessageKind::Info);
    QCOMPARE(messages_->messages.first().caption, QStringLiteral("Info"));
    QCOMPARE(messages_->lastText(), QStringLiteral("已到第一页."));
    QVERIFY(fake_->queries.isEmpty());
}

void TestMainWindow::pagingFollowsTheReply()
{
    // Given the reply of page 2
    TForm1 *w = makeWithFake();
    PageInfo page;
    page.RecCount = 120;
    page.RecCountInPage = 50;
    page.CurPage = 2;
    fake_->page = page;
    fake_->PageInfoText(QStringLiteral("总数: 120 页次: 2 每页: 50"));
    fake_->PageTotalText(QStringLiteral("1.50"));
    QCOMPARE(w->txtPageInfo->text(), QStringLiteral("总数: 120 页次: 2 每页: 50"));
    QCOMPARE(w->hj_day_label1->text(), QStringLiteral("1.50"));
    QCOMPARE(w->RecCount(), 120);
    // When paging back and on
    click(w->btnPrePage);
    click(w->btnNextPage);
    // Then the newest-records pages around it are asked for, CurPage left to the reply
    QCOMPARE(fake_->queries.size(), 2);
    QCOMPARE(fake_->queries[0].first, 1);
    QVERIFY(fake_->queries[0].second.endsWith(QStringLiteral("page=1\r\n")));
    QCOMPARE(fake_->queries[1].first, 3);
    QCOMPARE(w->CurPage(), 2);
}

void TestMainWindow::largeExpenseToggle()
{
    TForm1 *w = makeWithFake();
    click(w->btnSerach_lastMonth);
    click(w->btnSerach_Min);
    QCOMPARE(w->MinMoney, QStringLiteral("100"));
    QCOMPARE(w->btnSerach_Min->color(), TForm1::ActiveColor);
    QCOMPARE(w->btnSerach_last50->color(), TForm1::ActiveColor);
    QCOMPARE(w->btnSerach_lastMonth->color(), TForm1::InactiveColor);
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("mini_money=100\r\npage=0\r\n")));

    // The minimum holds for the other queries that send it, not for the day
    click(w->btnSerach_lastMonth);
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("mini_money=100\r\n")));
    w->QueryDay();
    QVERIFY(!fake_->queries.last().second.contains(QStringLiteral("mini_money")));

    click(w->btnSerach_Min);
    QCOMPARE(w->MinMoney, QString());
    QCOMPARE(w->btnSerach_Min->color(), TForm1::InactiveColor);
    QCOMPARE(w->btnSerach_last50->color(), TForm1::ActiveColor);
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("mini_money=\r\npage=0\r\n")));
    QCOMPARE(fake_->queries.last().first, 0);
}

void TestMainWindow::dayStepsAcrossTheYear()
{
    // Given the day view on 2015-01-01 at ten
    TForm1 *w = makeWithFake();
    w->N_QueryDay->trigger();
    w->CurrentDay = QDateTime(QDate(2015, 1, 1), QTime(10, 0));
    // When stepping back a day
    click(w->btnQueryMore_day);
    // Then 2014-12-31 is asked for, its time kept
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("day1=2014-12-31\r\ncreate_time=2014-12-31\r\n")));
    QCOMPARE(w->hj_day_label2->text(), QStringLiteral("2014年12月31日 支出合计："));
    QCOMPARE(w->CurrentDay, QDateTime(QDate(2014, 12, 31), QTime(10, 0)));
    click(w->btnQueryMore_day2);
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("day1=2015-01-01\r\n")));
    QCOMPARE(w->CurPage(), 0);
}

void TestMainWindow::monthStepsAcrossTheYear()
{
    // Given the month box at 201501 and no month view yet
    TForm1 *w = makeWithFake();
    w->txtQueryMonth->setEditText(QStringLiteral("201501"));
    QVERIFY(fake_->queries.isEmpty());
    // When stepping back and on
    click(w->PNGButtonEx8);
    // Then the range of December 2014 is asked for and the box follows
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("bdate1=2014-12-01\r\nedate1=2015-01-01\r\n")));
    QCOMPARE(w->txtQueryMonth->currentText(), QStringLiteral("201412"));
    QCOMPARE(w->hj_day_label2->text(), QStringLiteral("201412 月支出合计："));
    QVERIFY(!w->hj_day_label2->isHidden());
    QCOMPARE(w->hj_day_label1->text(), QString());
    click(w->PNGButtonEx10);
    click(w->PNGButtonEx10);
    QCOMPARE(w->CurrentMonth, QStringLiteral("201502"));
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("bdate1=2015-02-01\r\nedate1=2015-03-01\r\n")));
    QCOMPARE(fake_->queries.size(), 3);
}

void TestMainWindow::monthComboChange()
{
    // Given the month view of 201501 with its list
    TForm1 *w = makeWithFake();
    w->txtQueryMonth->setEditText(QStringLiteral("201501"));
    QTest::mouseClick(w->btnQueryMonth, Qt::LeftButton);
    QVERIFY(!w->pnlMonth->isHidden());
    QVERIFY(w->pnlPage->isHidden());
    QCOMPARE(w->txtQueryMonth->count(), 25);
    QCOMPARE(w->txtQueryMonth->itemText(0), QStringLiteral("201401"));
    QCOMPARE(w->txtQueryMonth->itemText(24), QStringLiteral("201601"));
    const int sent = fake_->queries.size();
    // When the user picks another month from the list
    w->txtQueryMonth->setCurrentIndex(w->txtQueryMonth->findText(QStringLiteral("201406")));
    // Then that month is shown, and the list grows around it
    QCOMPARE(fake_->queries.size(), sent + 1);
    QVERIFY(fake_->queries.last().second.contains(QStringLiteral("bdate1=2014-06-01\r\nedate1=2014-07-01\r\n")));
    QCOMPARE(w->CurrentMonth, QStringLiteral("201406"));
    QCOMPARE(w->txtQueryMonth->itemText(0), QStringLiteral("201306"));
    // A half-typed month reports the error and sends nothing
    QTest::keyClick(w->txtQueryMonth->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(fake_->queries.size(), sent + 1);
    QVERIFY(messages_->lastText().startsWith(QStringLiteral("发生错误:")));
}

void TestMainWindow::queryLastAfterThisMonthKeepsLabels()
{
    TForm1 *w = makeWithFake();
    click(w->btnSerach_lastMonth);
    QVERIFY(w->btnPrePage->isHidden());
    QVERIFY(w->hj_day_label2->text().endsWith(QStringLiteral(" 月支出合计：")));
    QTest::mouseClick(w->btnQueryLast, Qt::LeftButton);
    QVERIFY(fake_->queries.last().second.endsWith(QStringLiteral("page=0\r\n")));
    QVERIFY(w->btnPrePage->isHidden());
    QVERIFY(w->btnNextPage->isHidden());
    QCOMPARE(w->btnSerach_lastMonth->color(), TForm1::ActiveColor);
}

void TestMainWindow::dayBarAndMoreQuery()
{
    TForm1 *w = makeWithFake();
    int moreOpened = 0;
    w->OpenQueryMore = [&] { ++moreOpened; };
    w->N_QueryDay->trigger();
    QVERIFY(!w->pnlDay->isHidden());
    QVERIFY(w->pnlPage->isHidden());
    QVERIFY(w->pnlMonth->isHidden());
    QVERIFY(fake_->queries.isEmpty());
    click(w->ImagePanel17);
    QCOMPARE(moreOpened, 1);
    // A cancelled date dialog changes nothing
    w->PickDateHandler = [](const QString &, QString &) { return false; };
    click(w->hj_day_label2);
    QVERIFY(fake_->queries.isEmpty());
}

void TestMainWindow::deleteCommand()
{
    // The question, the blank-record check and the request belong to the grid (its tests answer them); the window
    // hands each click over once and asks nothing itself.
    TForm1 *w = makeWithFake();
    w->btnDeleteClick();
    w->btnDeleteClick();
    QCOMPARE(fake_->deleted, 2);
    QVERIFY(messages_->messages.isEmpty());
}

void TestMainWindow::deleteSavedRecordOnTheWire()
{
    // Given a loaded page shown in an active window, the cursor in the blank record
    TForm1 *w = makeWithServer();
    TfrmVGrid *grid = nullptr;
    showWithPage(w, grid);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(grid->RecordCount(), 4);
    QTRY_VERIFY(grid->ActiveLine());
    // When deleting on the blank line
    QTest::mouseClick(w->btnDelete, Qt::LeftButton);
    // Then nothing is sent
    QCOMPARE(messages_->texts(),
             (QStringList{QStringLiteral("确实要删除此记录吗? [名称:]"), QStringLiteral("此为空记录,无需删除.")}));
    // When deleting the second record
    TfrmTCLine *line = grid->FindLineById(QStringLiteral("{B}"));
    QVERIFY(line);
    line->name1->setFocus();
    QTRY_COMPARE(grid->ActiveLine(), line);
    messages_->messages.clear();
    messages_->answers = {true};
    QTest::mouseClick(w->btnDelete, Qt::LeftButton);
    // Then its id_guid goes out with action=del
    QCOMPARE(messages_->texts(), QStringList{QStringLiteral("确实要删除此记录吗? [名称:午饭]")});
    QTRY_COMPARE(server_->requestCount(), 2);
    QCOMPARE(ActionLines(server_->requests().last().body),
             (QStringList{QStringLiteral("action=del"), QStringLiteral("id_guid={B}")}));
}

void TestMainWindow::recordAreaScrollsSideways()
{
    // Given the window at its start size with a page loaded
    TForm1 *w = makeWithServer();
    TfrmVGrid *grid = nullptr;
    showWithPage(w, grid);
    if (QTest::currentTestFailed())
        return;
    TfrmTCLine *line = grid->LinePool()[0];
    QScrollBar *bar = w->pnlMainGrid->horizontalScrollBar();
    QWidget *area = w->pnlMainGrid->viewport();

    // Then the lines are wider than the record area, which offers a scrollbar for the rest
    QTRY_VERIFY(bar->isVisible());
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(grid->height(), area->height());
    const auto inArea = [area](QWidget *widget) {
        return area->rect().contains(QRect(widget->mapTo(area, QPoint(0, 0)), widget->size()));
    };
    QVERIFY(!inArea(line->PNGButtonEx1));

    // When the horizontal wheel turns over a box without the focus, and Alt with the wheel over a name
    bar->setValue(0);
    TurnWheel(line->in1, QPoint(-120, 0));
    const int afterWheel = bar->value();
    bar->setValue(0);
    TurnWheel(line->name1, QPoint(0, -120), Qt::AltModifier);

    // Then both scroll sideways by the same step, the headings along, and the line's last cell can be reached
    QVERIFY(afterWheel > 0);
    QCOMPARE(bar->value(), afterWheel);
    auto *firstHeading = w->ImagePanel6->findChildren<TImagePanel *>(Qt::FindDirectChildrenOnly).first();
    QCOMPARE(firstHeading->x(), -bar->value());
    bar->setValue(bar->maximum());
    QVERIFY(inArea(line->PNGButtonEx1));
    QCOMPARE(line->in1->currentText(), QStringLiteral("收入"));
}

void TestMainWindow::closeQuestion_data()
{
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<QuestionAnswer>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing unsaved") << false << QuestionAnswer::Yes << false << true;
    QTest::newRow("unsaved, look at them") << true << QuestionAnswer::Yes << true << false;
    QTest::newRow("unsaved, close anyway") << true << QuestionAnswer::No << true << true;
    // Leaving the question without an answer is no leave to drop the lines
    QTest::newRow("unsaved, Esc") << true << QuestionAnswer::Escape << true << false;
    QTest::newRow("unsaved, box closed") << true << QuestionAnswer::Close << true << false;
}

void TestMainWindow::closeQuestion()
{
    QFETCH(bool, unsaved);
    QFETCH(QuestionAnswer, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    TForm1 *w = makeWithFake();
    w->show();
    fake_->unsaved = unsaved;
    messages_->answers = {answer};
    QCOMPARE(w->close(), closed);
    QCOMPARE(w->isVisible(), !closed);
    QCOMPARE(messages_->texts(), asked ? QStringList{TForm1::UnsavedQuestion} : QStringList{});
    if (asked)
        QCOMPARE(messages_->messages.first().kind, MessageKind::Question);
}

void TestMainWindow::unsavedLinesAskBeforeAQuery_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("newest") << 0;
    QTest::newRow("this month") << 1;
    QTest::newRow("large expense") << 2;
    QTest::newRow("next page") << 3;
    QTest::newRow("day back") << 4;
    QTest::newRow("month view") << 5;
    QTest::newRow("started from outside") << 6;
    QTest::newRow("month back") << 7;
    QTest::newRow("month on") << 8;
}

void TestMainWindow::unsavedLinesAskBeforeAQuery()
{
    QFETCH(int, command);
    TForm1 *w = makeWithFake();
    fake_->unsaved = true;
    const QDateTime day = w->CurrentDay;
    const auto run = [&] {
        switch (command) {
        case 0:
            click(w->btnSerach_last50);
            break;
        case 1:
            click(w->btnSerach_lastMonth);
            break;
        case 2:
            click(w->btnSerach_Min);
            break;
        case 3:
            click(w->btnNextPage);
            break;
        case 4:
            click(w->btnQueryMore_day);
            break;
        case 5:
            QTest::mouseClick(w->btnQueryMonth, Qt::LeftButton);
            break;
        case 6:
            w->QueryLast50(0);
            break;
        case 7:
            click(w->PNGButtonEx8);
            break;
        case 8:
            click(w->PNGButtonEx10);
            break;
        }
    };
    const QString month = w->CurrentMonth;
    // Yes (look at them): the page stays, nothing is sent, the mode stays
    messages_->answers = {true};
    run();
    QCOMPARE(messages_->texts(), QStringList{TForm1::UnsavedQuestion});
    QVERIFY(fake_->queries.isEmpty());
    QCOMPARE(w->MinMoney, QString());
    QCOMPARE(w->CurrentDay, day);
    QCOMPARE(w->CurrentMonth, month);
    QCOMPARE(w->btnSerach_last50->color(), TForm1::ActiveColor);
    QVERIFY(w->pnlMonth->isHidden());
    // No: asked once more, then the query goes out
    messages_->answers = {false};
    run();
    QCOMPARE(messages_->messages.size(), 2);
    QCOMPARE(fake_->queries.size(), 1);
}

void TestMainWindow::arrowKeysMoveLines()
{
    TForm1 *w = makeWithFake();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    fake_->edit->setFocus();
    QTRY_VERIFY(fake_->edit->hasFocus());
    QTest::keyClick(fake_->edit, Qt::Key_Down);
    QTest::keyClick(fake_->edit, Qt::Key_Down);
    QTest::keyClick(fake_->edit, Qt::Key_Up);
    QCOMPARE(fake_->next, 2);
    QCOMPARE(fake_->previous, 1);
    // Other keys pass
    QTest::keyClicks(fake_->edit, QStringLiteral("ab"));
    QCOMPARE(fake_->edit->text(), QStringLiteral("ab"));
}

void TestMainWindow::arrowKeysLeftToOpenList()
{
    // Given the month box's list dropped down
    TForm1 *w = makeWithFake();
    QTest::mouseClick(w->btnQueryMonth, Qt::LeftButton);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->txtQueryMonth->setFocus();
    const int index = w->txtQueryMonth->currentIndex();
    w->txtQueryMonth->showPopup();
    QTRY_VERIFY(w->txtQueryMonth->view()->isVisible());
    // When pressing Down
    QTest::keyClick(w->txtQueryMonth->view(), Qt::Key_Down);
    // Then the list moves, not the line
    QCOMPARE(fake_->next, 0);
    QCOMPARE(w->txtQueryMonth->view()->currentIndex().row(), index + 1);
    w->txtQueryMonth->hidePopup();
}

void TestMainWindow::viewSizes()
{
    TForm1 *w = makeWithFake();
    w->show();
    const QRect area = w->screen()->availableGeometry();
    QTest::mouseClick(w->btnSupper, Qt::LeftButton);
    QCOMPARE(w->size(), QSize(1114, 700));
    QVERIFY(qAbs(w->geometry().center().x() - area.center().x()) <= 1);
    QTRY_COMPARE(w->gridHj1->width(), 286);
    QTest::mouseClick(w->PNGButtonEx9, Qt::LeftButton);
    QCOMPARE(w->size(), QSize(990, 610));
    QVERIFY(qAbs(w->geometry().center().y() - area.center().y()) <= 1);
    QTRY_COMPARE(w->gridHj1->width(), 286);
}

void TestMainWindow::links()
{
    TForm1 *w = makeWithFake();
    click(w->Label4);
    QTest::mouseClick(w->PNGButtonEx1, Qt::LeftButton);
    QCOMPARE(opened_.size(), 2);
    // The pages live on the service's site, wherever that is
    const QString site = server_->baseUrl();
    QVERIFY2(opened_[0].startsWith(site + QStringLiteral("ms/vdisk/show_bbs.php?id={")), qPrintable(opened_[0]));
    QVERIFY(opened_[0].endsWith(QLatin1Char('}')));
    QCOMPARE(opened_[1], site + QStringLiteral("ms/"));
    // and follow the alternate host once the program switched to it
    ServiceBaseUrl = AlternateBaseUrl = QStringLiteral("http://localhost:%1/ms/kessum/").arg(server_->port());
    click(w->Label4);
    QTest::mouseClick(w->PNGButtonEx1, Qt::LeftButton);
    QCOMPARE(opened_.size(), 4);
    QVERIFY2(opened_[2].startsWith(QStringLiteral("http://localhost:%1/ms/vdisk/").arg(server_->port())),
             qPrintable(opened_[2]));
    QCOMPARE(opened_[3], QStringLiteral("http://localhost:%1/ms/").arg(server_->port()));
}

void TestMainWindow::newLineAndRecount()
{
    TForm1 *w = makeWithFake();
    QTest::mouseClick(w->btnNew, Qt::LeftButton);
    QCOMPARE(fake_->appended, 1);
    QCOMPARE(fake_->scrolledToEnd, 1);
    click(w->btnAddSum);
    QCOMPARE(fake_->recounts.size(), 1);
    QVERIFY(qAbs(fake_->recounts.first().secsTo(QDateTime::currentDateTime())) < 60);
    w->RecountMonth(QDateTime());
    QCOMPARE(messages_->lastText(), QStringLiteral("日期格式错误."));
    QCOMPARE(fake_->recounts.size(), 1);
}

void TestMainWindow::positionIsRemembered()
{
    // Given a first run, without a position file: the window stands in the middle of its screen
    TForm1 *w = makeWithFake();
    QVERIFY(!QFile::exists(TQRXPosition::PositionFilePath()));
    QVERIFY(w->screen());
    const QRect area = w->screen()->availableGeometry();
    QCOMPARE(w->x(), std::max(area.left(), area.center().x() - w->width() / 2));
    QCOMPARE(w->y(), std::max(area.top(), area.center().y() - w->height() / 2));
    // Given a window moved, resized and its summary grid widened, then closed
    w->show();
    w->setGeometry(40, 30, 1000, 640);
    w->gridHj1->resize(300, w->gridHj1->height());
    w->PanelM->layout()->activate();
    delete w;
    window_ = nullptr;
    const IniFile ini(TQRXPosition::PositionFilePath());
    QCOMPARE(ini.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Width"), 0), 1000);
    QCOMPARE(ini.readInteger(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Width"), 0), 300);
    // When a new window is made
    w = makeWithFake();
    // Then it stands where the last one stood
    QCOMPARE(w->size(), QSize(1000, 640));
    QCOMPARE(w->gridHj1->width(), 300);
}

void TestMainWindow::signInWithoutDownloadedCategories()
{
    // Given nb1.txt beside the program and a category download that has not answered
    QFile nb(ExeFolder() + QStringLiteral("nb1.txt"));
    QVERIFY(nb.open(QIODevice::WriteOnly));
    nb.write(ToGbk(QStringLiteral("餐饮\r\n交通\r\n")));
    nb.close();
    CategoryListText.clear();
    TForm1 *w = makeWithServer();
    // When start-up goes on after the sign-in
    w->SignedIn();
    // Then the category window exists and the local list feeds the new line
    QVERIFY(w->categoryWindow());
    QCOMPARE(CategoryListText, QStringLiteral("餐饮\r\n交通\r\n"));
    QTRY_COMPARE(w->RecCount(), 3);
    auto *grid = w->findChild<TfrmVGrid *>();
    QVERIFY(grid);
    QCOMPARE(grid->RecordList.last().type1, QStringLiteral("餐饮"));
    CategoryListText.clear();
}

void TestMainWindow::expenseQueryResetOutlivesALaterReply()
{
    // Given page 2 of the newest records shown
    server_->setHandler([](const RecordedRequest &request) {
        const QString action = WireValue(request.body, QStringLiteral("action"));
        if (action == QStringLiteral("add_sum")) // month totals without page information
            return CannedResponse::text(PageReply({RecordRow({{"money1", "10"}, {"year1", "2015"}})}, QString()));
        if (!WireValue(request.body, QStringLiteral("bdate1")).isEmpty()) // the expense query
            return CannedResponse::text(PageReply({}, QString()));
        return CannedResponse::text(
            PageReply({}, QStringLiteral("<Info RecCount=\"120\" RecCountInPage=\"50\" CurPage=\"2\"/>")));
    });
    TForm1 *w = makeWithServer();
    w->QueryLast50(2);
    QTRY_COMPARE(w->CurPage(), 2);
    // When an expense query is run in its window, which is then closed
    bool queried = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *form = qobject_cast<TfrmQueryMore *>(QApplication::activeModalWidget());
        if (!form || queried)
            return;
        queried = true;
        QTest::mouseClick(form->btnQuery, Qt::LeftButton);
        form->reject();
    });
    poll.start(10);
    click(w->ImagePanel17);
    QVERIFY(queried);
    QCOMPARE(w->CurPage(), 0);
    QTRY_COMPARE(server_->requestCount(), 3); // the page, the expense query's records and totals
    // and the month totals come back without a page number
    click(w->btnAddSum);
    QTRY_COMPARE(server_->requestCount(), 4);
    QTRY_COMPARE(w->gridHj1->item(1, 0) ? w->gridHj1->item(1, 0)->text() : QString(), QStringLiteral("10"));
    // Then the page counter stays where the query put it: "上一页" is at the first page
    QCOMPARE(w->CurPage(), 0);
    messages_->messages.clear();
    click(w->btnPrePage);
    QCOMPARE(messages_->texts(), QStringList{QStringLiteral("已到第一页.")});
}

void TestMainWindow::expenseQueryWindowIsKeptBetweenOpenings()
{
    // Given the expense query window opened from "更多查询>>", a period typed and the window closed
    TForm1 *w = makeWithFake();
    QList<TfrmQueryMore *> shown;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *form = qobject_cast<TfrmQueryMore *>(QApplication::activeModalWidget());
        if (!form || !form->isVisible())
            return;
        shown << form;
        if (shown.size() == 1)
            form->edit_date_begin1->setText(QStringLiteral("2014-01-01"));
        form->reject();
    });
    poll.start(10);
    click(w->ImagePanel17);
    // When it is opened again
    click(w->ImagePanel17);
    // Then it is the same window, with what it held
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], shown[1]);
    QCOMPARE(shown[1]->edit_date_begin1->text(), QStringLiteral("2014-01-01"));
}

void TestMainWindow::editsTypedWhileAPageIsOnItsWay_data()
{
    QTest::addColumn<bool>("editedBefore"); // an edit already there when the query went out, answered No then
    QTest::addColumn<QuestionAnswer>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("No: the new page") << false << QuestionAnswer::No << true;
    QTest::newRow("Yes: the lines stay") << false << QuestionAnswer::Yes << false;
    QTest::newRow("Esc: the lines stay") << false << QuestionAnswer::Escape << false;
    QTest::newRow("a newer edit than the one given up") << true << QuestionAnswer::Yes << false;
}

void TestMainWindow::editsTypedWhileAPageIsOnItsWay()
{
    QFETCH(bool, editedBefore);
    QFETCH(QuestionAnswer, answer);
    QFETCH(bool, replaced);
    // Given a loaded page
    TForm1 *w = makeWithServer();
    w->show();
    w->QueryLast50(0);
    QTRY_COMPARE(w->RecCount(), 3);
    auto *grid = w->findChild<TfrmVGrid *>();
    QVERIFY(grid);
    if (editedBefore) {
        TfrmTCLine *first = grid->FindLineById(QStringLiteral("{A}"));
        QVERIFY(first);
        QTest::keyClicks(first->name1, QStringLiteral("y"));
        messages_->answers = {false}; // give that edit up for the next page
    }
    // and the next page on its way
    CannedResponse next = CannedResponse::text(
        PageReply({RecordRow({{"id_guid", "{D}"}, {"name1", "房租"}, {"in1", "0"}, {"money1", "900"}})},
                  QStringLiteral("<Info RecCount=\"4\" RecCountInPage=\"3\" CurPage=\"1\"/>")));
    next.mode = CannedResponse::Mode::Held;
    server_->enqueue(next);
    click(w->btnNextPage);
    QTRY_COMPARE(server_->heldCount(), 1);
    const int askedAtSending = int(messages_->messages.size());
    QCOMPARE(askedAtSending, editedBefore ? 1 : 0);
    // When the user types into a line meanwhile and the page arrives
    TfrmTCLine *line = grid->FindLineById(QStringLiteral("{B}"));
    QVERIFY(line);
    QTest::keyClicks(line->name1, QStringLiteral("x"));
    messages_->answers = {answer};
    QCOMPARE(server_->releaseHeld(), 1);
    // Then the question is asked again, about the new edit
    QTRY_COMPARE(messages_->messages.size(), askedAtSending + 1);
    QCOMPARE(messages_->lastText(), TForm1::UnsavedQuestion);
    if (replaced) {
        QTRY_VERIFY(grid->FindLineById(QStringLiteral("{D}")));
        QVERIFY(!grid->FindLineById(QStringLiteral("{B}")));
        QCOMPARE(w->CurPage(), 1);
    } else {
        // the page and the typed text stay, the reply is dropped
        QCOMPARE(grid->FindLineById(QStringLiteral("{B}")), line);
        QCOMPARE(line->name1->text(), QStringLiteral("午饭x"));
        QVERIFY(!grid->FindLineById(QStringLiteral("{D}")));
        QVERIFY(grid->HasUnsavedLines());
        QCOMPARE(w->CurPage(), 0);
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
