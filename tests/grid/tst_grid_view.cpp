#include "tst_grid_support.h"

#include "controls/TColorBorderComboBox.h"
#include "controls/TImagePanel.h"

#include "grid/Tform_date.h"
#include "grid/TfrmItem.h"

#include "controls/TScrollBarEx.h"
#include "lists/CategoryList.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace lumora;
using namespace lumora::test;

// The grid without the network: binding, scrolling, the thumb, the blank record and change tracking.
class TestGridView : public QObject
{
    Q_OBJECT
private slots:
    void init() { CategoryListText = QStringLiteral("餐饮\r\n交通\r\n"); }
    void emptyPage();
    void fortyRecordsTwelveLines();
    void showFromClamps();
    void arrowsAtTheTopAndDown();
    void dragMapsThumbToTop();
    void removeLastRecordInSlotZero();
    void removeKeepsOrder();
    void blankRecordTakesFirstCategory_data();
    void blankRecordTakesFirstCategory();
    void firstChangeShowsStatusFromSecond();
    void dateChangeAloneIsCommitted();
    void modifiedRecordScrolledOutStillCounts();
    void inOutWordStoresCode();
    void cursorFollowsRecord();
    void findLineByIdIgnoresHiddenSlots();
    void datePopupWritesTheField();
    void categoryListRefilledOnDropDown();
    void scrollingCreatesNoWidget();
    void activeLineShowsItsOrangeMark();
    void pageBoundBeforeOrAfterFirstShow_data();
    void pageBoundBeforeOrAfterFirstShow();
    void linesBuiltWhileAnotherWindowIsIdle();
};

void TestGridView::emptyPage()
{
    GridHost host;
    QVERIFY(host.activated);

    host.loadPage(0);

    QCOMPARE(host.grid->RecordCount(), 1);
    TfrmTCLine *first = host.line(0);
    QVERIFY(first->conNew->isVisibleTo(first));
    QCOMPARE(first->create_time->text(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(first->txtIndex->text(), QStringLiteral("1"));
    for (int i = 1; i < TfrmVGrid::PoolSize; ++i)
        QVERIFY2(host.grid->Slots()[i]->isBlank(), qPrintable(QString::number(i)));
    QCOMPARE(host.grid->ScrollBarEx_V->position(), 0.0);
    QCOMPARE(host.focused(), first->name1);
}

void TestGridView::fortyRecordsTwelveLines()
{
    GridHost host(12);
    QVERIFY(host.activated);

    host.loadPage(40);

    QCOMPARE(host.grid->VisibleLineCount(), 12);
    QCOMPARE(host.grid->RecordCount(), 41);
    QCOMPARE(host.grid->TopIndex, 29);
    for (int i = 0; i < 12; ++i)
        QCOMPARE(host.line(i)->RecordIndex, 29 + i);
    QCOMPARE(host.line(0)->name1->text(), QStringLiteral("r29"));
    QVERIFY(host.line(11)->Info.IsNew);
    QVERIFY(host.grid->Slots()[12]->isBlank());
    QCOMPARE(host.focused(), host.line(11)->name1);
    QCOMPARE(host.grid->ScrollBarEx_V->position(), 725.0); // Trunc(1000 * 29 / 40)
}

void TestGridView::showFromClamps()
{
    GridHost host;
    host.loadPage(40);

    host.grid->ShowFrom(host.grid->RecordCount() + 5);
    QCOMPARE(host.grid->TopIndex, 40);
    QVERIFY(!host.grid->Slots()[0]->isBlank());
    QVERIFY(host.grid->Slots()[1]->isBlank());

    host.grid->ShowFrom(-3);
    QCOMPARE(host.grid->TopIndex, 0);
    QCOMPARE(host.line(0)->name1->text(), QStringLiteral("r0"));
}

void TestGridView::arrowsAtTheTopAndDown()
{
    GridHost host;
    host.loadPage(40);
    host.grid->ScrollTo(0);

    emit host.grid->ScrollBarEx_V->OnChangeDecOne();
    QCOMPARE(host.grid->TopIndex, 0);
    QCOMPARE(host.grid->ScrollBarEx_V->position(), 0.0);

    emit host.grid->ScrollBarEx_V->OnChangeAddOne();
    QCOMPARE(host.grid->TopIndex, 1);
    QCOMPARE(host.grid->ScrollBarEx_V->position(), 24.0); // Trunc(1000 * 1 / 41)

    host.grid->ScrollTo(40);
    QCOMPARE(host.grid->ScrollBarEx_V->position(), 1000.0);
}

void TestGridView::dragMapsThumbToTop()
{
    GridHost host;
    host.loadPage(40);

    host.grid->ScrollBarEx_V->setPosition(500);
    emit host.grid->ScrollBarEx_V->OnChange();

    QCOMPARE(host.grid->TopIndex, 20);
    QCOMPARE(host.grid->ScrollBarEx_V->position(), 500.0); // the thumb stays where the drag put it
}

void TestGridView::removeLastRecordInSlotZero()
{
    GridHost host;
    host.loadPage(5);
    host.grid->ShowFrom(5);
    QCOMPARE(host.grid->TopIndex, 5);

    host.grid->RemoveRecord(5);

    QCOMPARE(host.grid->RecordCount(), 5);
    QCOMPARE(host.grid->TopIndex, 4);
}

void TestGridView::removeKeepsOrder()
{
    GridHost host;
    host.loadPage(4);
    host.grid->ShowFrom(0);

    host.grid->RemoveRecord(1);
    host.grid->RemoveRecord(99); // out of range: nothing

    QCOMPARE(host.grid->RecordCount(), 4);
    QCOMPARE(host.grid->RecordList[0].name1, QStringLiteral("r0"));
    QCOMPARE(host.grid->RecordList[1].name1, QStringLiteral("r2"));
    QCOMPARE(host.line(1)->name1->text(), QStringLiteral("r2"));
    QCOMPARE(host.line(1)->txtIndex->text(), QStringLiteral("2"));
}

void TestGridView::blankRecordTakesFirstCategory_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("first");
    QTest::newRow("list with line breaks") << QStringLiteral("餐饮\r\n\r\n交通\r\n") << QStringLiteral("餐饮");
    QTest::newRow("one category without a break") << QStringLiteral("交通") << QStringLiteral("交通");
    QTest::newRow("empty list") << QString() << QString();
}

void TestGridView::blankRecordTakesFirstCategory()
{
    QFETCH(QString, list);
    QFETCH(QString, first);
    CategoryListText = list;
    TfrmVGrid grid;

    grid.AppendBlankRecord();

    const TItemInfo &blank = grid.RecordList.last();
    QVERIFY(blank.IsNew);
    QVERIFY(!blank.Modified);
    QCOMPARE(blank.in1, QStringLiteral("0"));
    QCOMPARE(blank.type1, first);
    QCOMPARE(blank.create_time, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    QVERIFY(blank.id_guid.isEmpty());
}

void TestGridView::firstChangeShowsStatusFromSecond()
{
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(3);
    TfrmTCLine *line = host.line(0);
    line->name1->setFocus();

    host.type(QStringLiteral("x"));

    QVERIFY(host.grid->RecordList[0].Modified);
    QCOMPARE(host.grid->RecordList[0].name1, QStringLiteral("r0x"));
    QCOMPARE(line->txtSave->text(), QString());
    host.type(QStringLiteral("y"));
    QCOMPARE(line->txtSave->text(), QStringLiteral("已修改,请及时保存"));
    QCOMPARE(host.grid->RecordList[0].StatusText, QStringLiteral("已修改,请及时保存"));
}

void TestGridView::dateChangeAloneIsCommitted()
{
    GridHost host(3);
    QVERIFY(host.activated);
    host.loadPage(40);
    host.grid->ShowFrom(0);
    TfrmTCLine *line = host.line(0);
    line->create_time->setFocus();
    line->create_time->selectAll();

    host.type(QStringLiteral("2015-02-01"));
    host.grid->ShowFrom(35);
    host.grid->ShowFrom(0);

    QCOMPARE(host.line(0)->create_time->text(), QStringLiteral("2015-02-01"));
    QVERIFY(host.grid->RecordList[0].Modified);
    QCOMPARE(host.grid->RecordList[0].create_time, QStringLiteral("2015-02-01"));
    QVERIFY(host.grid->HasUnsavedLines());
}

void TestGridView::modifiedRecordScrolledOutStillCounts()
{
    GridHost host;
    host.loadPage(40);
    host.grid->ShowFrom(0);
    QVERIFY(!host.grid->HasUnsavedLines());

    host.line(0)->money1->setText(QStringLiteral("99"));
    host.grid->ShowFrom(35); // record 0 is in none of the 31 editors now

    QVERIFY(host.grid->HasUnsavedLines());
}

void TestGridView::inOutWordStoresCode()
{
    GridHost host;
    host.loadPage(2);
    host.grid->ShowFrom(0);
    TfrmTCLine *line = host.line(0);
    QVERIFY(!line->in1_tag->isVisibleTo(line));

    line->in1->setEditText(QStringLiteral("其他"));
    host.grid->ShowFrom(0);

    QCOMPARE(host.grid->RecordList[0].in1, QStringLiteral("1"));
    QCOMPARE(line->in1->currentText(), QStringLiteral("收入"));
    QVERIFY(line->in1_tag->isVisibleTo(line));
}

void TestGridView::cursorFollowsRecord()
{
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(40);
    host.grid->ShowFrom(10);
    host.line(5)->money1->setFocus();
    QCOMPARE(host.grid->ActiveRecordIndex, 15);
    QCOMPARE(host.grid->ActiveFieldName, QStringLiteral("money1"));

    host.grid->ShowFrom(12);

    QCOMPARE(host.focused(), host.line(3)->money1);
    QCOMPARE(host.grid->ActiveLine(), host.line(3));
}

void TestGridView::findLineByIdIgnoresHiddenSlots()
{
    GridHost host;
    host.loadPage(3);
    host.grid->ShowFrom(0);
    const QString id = host.grid->RecordList[2].id_guid;
    QCOMPARE(host.grid->FindLineById(id), host.line(2));

    host.grid->ShowFrom(3); // slot 2 keeps a stale copy of record 2 but is hidden

    QCOMPARE(host.grid->FindLineById(id), nullptr);
    QCOMPARE(host.grid->FindLineById(QString()), nullptr);
}

void TestGridView::datePopupWritesTheField()
{
    GridHost host;
    host.loadPage(2);
    host.grid->ShowFrom(0);
    TfrmTCLine *line = host.line(1);
    line->create_time->setText(QStringLiteral("2009-1-31"));
    host.grid->RecordList[1].Modified = false;
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (auto *dialog = qobject_cast<Tform_date *>(QApplication::activeModalWidget())) {
            opened = true;
            dialog->accept();
        }
    });

    emit line->create_time_POP->OnClick();

    QVERIFY(opened);
    QCOMPARE(line->create_time->text(), QStringLiteral("2009-01-31"));
    QCOMPARE(host.grid->RecordList[1].create_time, QStringLiteral("2009-01-31"));
    QVERIFY(host.grid->RecordList[1].Modified);
}

void TestGridView::categoryListRefilledOnDropDown()
{
    GridHost host;
    host.loadPage(1);
    host.grid->ShowFrom(0);
    TfrmTCLine *line = host.line(0);
    line->type1->setEditText(QStringLiteral("自填"));
    host.grid->RecordList[0].Modified = false;
    CategoryListText = QStringLiteral("甲\r\n乙\r\n丙");

    line->type1->showPopup();
    line->type1->hidePopup();

    QCOMPARE(line->type1->count(), 3);
    QCOMPARE(line->type1->itemText(2), QStringLiteral("丙"));
    QCOMPARE(line->type1->currentText(), QStringLiteral("自填"));
    QVERIFY(!host.grid->RecordList[0].Modified); // refilling the list is no edit
}

void TestGridView::scrollingCreatesNoWidget()
{
    GridHost host;
    host.loadPage(600);
    const int before = int(host.window.findChildren<QWidget *>().size());
    const int topLevels = int(QApplication::topLevelWidgets().size());

    for (int top = 0; top < host.grid->RecordCount(); ++top)
        host.grid->ShowFrom(top);
    for (int i = 0; i < 50; ++i)
        emit host.grid->ScrollBarEx_V->OnChangeDecOne();

    QCOMPARE(int(host.window.findChildren<QWidget *>().size()), before);
    QCOMPARE(int(QApplication::topLevelWidgets().size()), topLevels);
}

void TestGridView::activeLineShowsItsOrangeMark()
{
    // Given a page shown on screen
    GridHost host;
    QVERIFY(host.activated);
    host.loadPage(2);
    host.grid->ShowFrom(0);

    // When the cursor goes into the second line
    host.line(1)->money1->setFocus();

    // Then that line's bottom two pixel rows are orange under its cells, and the other lines show none
    const QColor orange(255, 128, 0);
    const auto bottomRows = [](TfrmTCLine *line, int x) {
        const QImage image = line->grab().toImage();
        return QList<QColor>{image.pixelColor(x, TfrmTCLine::LineHeight - 1),
                             image.pixelColor(x, TfrmTCLine::LineHeight - 2)};
    };
    for (int x : {20, 300, 700}) {
        QCOMPARE(bottomRows(host.line(1), x), (QList<QColor>{orange, orange}));
        QVERIFY(!bottomRows(host.line(0), x).contains(orange));
        QVERIFY(!bottomRows(host.line(2), x).contains(orange));
    }
}

void TestGridView::pageBoundBeforeOrAfterFirstShow_data()
{
    QTest::addColumn<bool>("bindBeforeShow");
    QTest::addColumn<int>("builtAhead"); // lines built in the idle time of the sign-in before it closes
    QTest::newRow("bound while the window is hidden") << true << 0;
    QTest::newRow("bound after the window is shown") << false << 0;
    QTest::newRow("some lines built ahead, bound while hidden") << true << 5;
    QTest::newRow("some lines built ahead, bound after the show") << false << 5;
    QTest::newRow("all lines built ahead, bound while hidden") << true << int(TfrmVGrid::PoolSize);
    QTest::newRow("all lines built ahead, bound after the show") << false << int(TfrmVGrid::PoolSize);
}

// The main window binds its first page whenever the reply comes, before or after it is first shown; either way the
// lines with records show and the others are blank strips.
void TestGridView::pageBoundBeforeOrAfterFirstShow()
{
    QFETCH(bool, bindBeforeShow);
    QFETCH(int, builtAhead);
    QWidget window;
    window.resize(900, 12 * TfrmTCLine::LineHeight);
    auto *grid = new TfrmVGrid(&window);
    grid->setGeometry(0, 0, 900, 12 * TfrmTCLine::LineHeight);
    if (builtAhead > 0) {
        QWidget signIn;
        grid->BuildSlotsWhileIdle(&signIn);
        signIn.show();
        QVERIFY(QTest::qWaitForWindowActive(&signIn));
        QTRY_VERIFY(grid->BuiltLines().size() >= builtAhead);
    }
    const auto bind = [grid] {
        grid->RecordList = {GridHost::Record(0), GridHost::Record(1)};
        grid->AppendBlankRecord();
        grid->ShowFrom(0);
    };
    if (bindBeforeShow) {
        bind();
        QVERIFY(!grid->HasUnsavedLines());
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (!bindBeforeShow)
        bind();

    for (int i = 0; i < TfrmVGrid::PoolSize; ++i) {
        TfrmItem *slot = grid->Slots()[i];
        QCOMPARE(slot->isBlank(), i > 2);
        QCOMPARE(slot->isVisible(), true);
        QCOMPARE(grid->LinePool()[i]->isVisible(), i <= 2);
        QCOMPARE(slot->geometry(), QRect(0, i * TfrmTCLine::LineHeight, grid->Panel1->width(), TfrmTCLine::LineHeight));
    }
    QCOMPARE(grid->LinePool()[1]->name1->text(), QStringLiteral("r1"));
    QVERIFY(grid->LinePool()[2]->conNew->isVisible());
}

// Start-up builds the lines while the sign-in waits for its user. Keys typed into the sign-in meanwhile reach it, it
// keeps the focus, and nothing is built before it is active or after it has closed.
void TestGridView::linesBuiltWhileAnotherWindowIsIdle()
{
    QWidget mainWindow;
    auto *grid = new TfrmVGrid(&mainWindow);
    QWidget signIn;
    auto *user = new QLineEdit(&signIn);
    grid->BuildSlotsWhileIdle(&signIn);
    QCoreApplication::processEvents();
    QCOMPARE(grid->BuiltLines().size(), 0);

    signIn.show();
    QVERIFY(QTest::qWaitForWindowActive(&signIn));
    user->setFocus();
    QString typed;
    for (int i = 0; i < 3 * TfrmVGrid::PoolSize && grid->BuiltLines().size() < TfrmVGrid::PoolSize; ++i) {
        const QChar key = QLatin1Char(char('a' + i % 26));
        QTest::keyClick(signIn.windowHandle(), Qt::Key(Qt::Key_A + i % 26), Qt::NoModifier);
        typed += key;
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), &signIn);
        QCOMPARE(QApplication::focusWidget(), user);
    }
    QCOMPARE(grid->BuiltLines().size(), TfrmVGrid::PoolSize);
    QVERIFY(typed.size() > 1); // one line per turn of the event loop, not all at once
    QCOMPARE(user->text(), typed);
    QVERIFY(!mainWindow.isVisible());

    // A sign-in that closes early leaves the rest to the grid's first show.
    QWidget window;
    auto *other = new TfrmVGrid(&window);
    QWidget shortSignIn;
    other->BuildSlotsWhileIdle(&shortSignIn);
    shortSignIn.show();
    QVERIFY(QTest::qWaitForWindowActive(&shortSignIn));
    for (int i = 0; i < 100 && other->BuiltLines().isEmpty(); ++i)
        QCoreApplication::processEvents();
    shortSignIn.hide();
    QTRY_VERIFY(!shortSignIn.isActiveWindow());
    const qsizetype built = other->BuiltLines().size();
    QVERIFY(built > 0 && built < TfrmVGrid::PoolSize);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(other->BuiltLines().size(), built);
    window.show();
    QCOMPARE(other->BuiltLines().size(), TfrmVGrid::PoolSize);
}

QTEST_MAIN(TestGridView)
#include "tst_grid_view.moc"
