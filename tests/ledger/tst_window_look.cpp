// How the skinned windows stand and look when they open: sizes, the caption bar, borders, the summary grid's
// header row, the bottom bar's picture buttons and the password box.

#include "../controls/Pixels.h"
#include "FakeParts.h"
#include "LedgerTestUtil.h"
#include "app/TForm_pass.h"
#include "controls/Align.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "core/Session.h"
#include "grid/TfrmAdd.h"
#include "ledger/ClickPanel.h"
#include "ledger/TForm1.h"
#include "reports/TfrmQueryMore.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lumora;
using namespace lumora::test;
using testing::At;
using testing::Render;
using testing::RenderBare;

namespace
{

enum class Window { Main, QuickAdd, SignIn };

const QString kGrey = QStringLiteral("#cccccc");
const QString kCaption = QStringLiteral("#32323a");

// A month-totals reply with `months` rows, enough to make the summary grid scroll.
QString MonthTotalsReply(int months)
{
    QStringList rows;
    for (int k = 0; k < months; ++k)
        rows << RecordRow({{"money1", QString::number(100 + k)},
                           {"money_in1", QString::number(200 + k)},
                           {"money_ye1", QString::number(100)},
                           {"year1", QString::number(2000 + k)},
                           {"month1", QStringLiteral("1")}});
    return PageReply(rows, QString());
}

} // namespace

Q_DECLARE_METATYPE(Window)

class TestWindowLook : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void outerStartSize_data();
    void outerStartSize();
    void captionBar_data();
    void captionBar();
    void mainCaptionLabelAndFeedbackLink();
    void toolAreaBorders_data();
    void toolAreaBorders();
    void signInButtonFrame();
    void passwordShowsStars();
    void barButtonsArePictures_data();
    void barButtonsArePictures();
    void summaryHeaderStaysWhileRowsScroll();
    void summaryHeaderNeverTakesTheFocus_data();
    void summaryHeaderNeverTakesTheFocus();
    void expenseQueryOpensInTheMiddleOfTheScreen();

private:
    TFormVSkin *open(Window which);
    TForm1 *mainWindow(bool realParts = false);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<LoopbackHttpServer> server_;
    std::unique_ptr<ScopedMessageCapture> messages_;
    std::unique_ptr<TForm1> main_;
    std::unique_ptr<TForm_pass> signIn_;
};

void TestWindowLook::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    SetExeFolder(dir_->path() + QLatin1Char('/'));
    server_ = std::make_unique<LoopbackHttpServer>();
    QVERIFY(server_->listen());
    server_->setDefaultResponse(CannedResponse::text(MonthTotalsReply(30)));
    ResetSession();
    ServiceBaseUrl = server_->url(QStringLiteral("ms/kessum/"));
    messages_ = std::make_unique<ScopedMessageCapture>();
}

void TestWindowLook::cleanup()
{
    signIn_.reset();
    main_.reset();
    messages_.reset();
    server_.reset();
    dir_.reset();
}

TForm1 *TestWindowLook::mainWindow(bool realParts)
{
    main_ = realParts ? std::make_unique<TForm1>() : std::make_unique<TForm1>(std::make_unique<FakeParts>());
    return main_.get();
}

// The window as the program opens it: the main window shown, the quick-add dialog through the main window's
// button, the sign-in dialog shown.
TFormVSkin *TestWindowLook::open(Window which)
{
    switch (which) {
    case Window::Main:
        mainWindow()->show();
        return main_.get();
    case Window::QuickAdd: {
        TForm1 *w = mainWindow();
        w->show();
        QTest::mouseClick(w->btnNew2, Qt::LeftButton);
        return w->quickAdd();
    }
    case Window::SignIn:
        signIn_ = std::make_unique<TForm_pass>();
        signIn_->show();
        return signIn_.get();
    }
    return nullptr;
}

void TestWindowLook::outerStartSize_data()
{
    QTest::addColumn<Window>("which");
    QTest::addColumn<QSize>("size");
    QTest::newRow("main window") << Window::Main << QSize(992, 537);
    QTest::newRow("quick add") << Window::QuickAdd << QSize(307, 449);
    QTest::newRow("sign in") << Window::SignIn << QSize(367, 275);
}

void TestWindowLook::outerStartSize()
{
    QFETCH(Window, which);
    QFETCH(QSize, size);
    TFormVSkin *w = open(which);
    QVERIFY(w && w->isVisible());
    // Frameless: the window's outer size is its size, the caption bar lies inside it.
    QCOMPARE(w->frameGeometry().size(), size);
    QCOMPARE(w->size(), size);
    QCOMPARE(w->ImagePanel1->geometry(), QRect(0, 0, size.width(), 35));
    QCOMPARE(w->pnlClient->geometry(), QRect(0, 35, size.width(), size.height() - 35));
}

void TestWindowLook::captionBar_data()
{
    QTest::addColumn<Window>("which");
    QTest::addColumn<bool>("maximise");
    QTest::newRow("main window") << Window::Main << true;
    QTest::newRow("quick add") << Window::QuickAdd << false;
    QTest::newRow("sign in") << Window::SignIn << false;
}

void TestWindowLook::captionBar()
{
    QFETCH(Window, which);
    QFETCH(bool, maximise);
    TFormVSkin *w = open(which);
    QVERIFY(w);
    // No end caps: the plain dark caption body spans the whole bar, right to its corners.
    QVERIFY(w->pnlCaptionLeft->isHidden());
    QVERIFY(w->pnlCaptionRight->isHidden());
    QCOMPARE(w->pnlCaptionCenter->geometry(), QRect(0, 0, w->width(), 35));
    const QImage bar = Render(w->ImagePanel1);
    QCOMPARE(At(bar, 0, 20), kCaption);
    QCOMPARE(At(bar, w->width() - 1, 20), kCaption);
    QCOMPARE(At(bar, w->width() / 2, 34), kCaption);
    // The frame's buttons side by side at the right end; the dialogs have no maximise button.
    QCOMPARE(w->btnNormal->isVisible(), maximise);
    const TPNGButtonEx *beforeClose = maximise ? w->btnNormal : w->btnMin;
    QVERIFY(qAbs(w->btnClose->x() - beforeClose->x() - 21) <= 1);
    if (maximise)
        QVERIFY(qAbs(w->btnNormal->x() - w->btnMin->x() - 21) <= 1);
    QCOMPARE(w->btnClose->y(), 7);
    QCOMPARE(w->pnlCaptionCenter->width() - w->btnClose->x(), 27);
}

void TestWindowLook::mainCaptionLabelAndFeedbackLink()
{
    TForm1 *w = mainWindow();
    w->show();
    QCOMPARE(w->LabelCaption->pos(), QPoint(39, 12));
    QCOMPARE(w->LabelCaption->text(), w->windowTitle());
    QCOMPARE(w->Label4->pos(), QPoint(352, 16));
    QCOMPARE(w->Label6->pos(), QPoint(340, 11));
    // The link's text is not cut off.
    QVERIFY(w->Label4->width() >= w->Label4->fontMetrics().horizontalAdvance(w->Label4->text()));
}

void TestWindowLook::toolAreaBorders_data()
{
    QTest::addColumn<QString>("area");
    QTest::newRow("toolbar") << QStringLiteral("ImagePanel3");
    QTest::newRow("bottom bar") << QStringLiteral("ImagePanel2");
}

void TestWindowLook::toolAreaBorders()
{
    QFETCH(QString, area);
    TForm1 *w = mainWindow();
    w->show();
    auto *panel = w->findChild<TImagePanel *>(area);
    QVERIFY(panel);
    const QImage image = Render(panel);
    const int right = panel->width() - 1, bottom = panel->height() - 1;
    const int midX = 2, midY = panel->height() / 2;
    // Light grey lines on the left, top and bottom; none on the right.
    QCOMPARE(At(image, 0, midY), kGrey);
    QCOMPARE(At(image, midX, 0), kGrey);
    QCOMPARE(At(image, midX, bottom), kGrey);
    QCOMPARE(At(image, right, midY), panel->color().name());
    // Docked children stand one pixel inside the lines.
    for (QWidget *child : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (alignOf(child) == Align::None)
            continue;
        QVERIFY2(child->x() >= 1 && child->y() >= 1 && child->geometry().bottom() <= bottom - 1,
                 qPrintable(child->objectName()));
    }
}

void TestWindowLook::signInButtonFrame()
{
    TFormVSkin *w = open(Window::SignIn);
    auto *dialog = static_cast<TForm_pass *>(w);
    TImagePanel *frame = dialog->pnlOK;
    const QImage image = Render(frame);
    const int right = frame->width() - 1, bottom = frame->height() - 1;
    const int midX = 4, midY = frame->height() / 2;
    // A two-pixel light grey frame on all four sides round the orange.
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(At(image, i, midY), kGrey);
        QCOMPARE(At(image, right - i, midY), kGrey);
        QCOMPARE(At(image, midX, i), kGrey);
        QCOMPARE(At(image, midX, bottom - i), kGrey);
    }
    QCOMPARE(At(image, 2, midY), QStringLiteral("#ff8040"));
    QCOMPARE(dialog->btnOK->geometry(), frame->rect().adjusted(2, 2, -2, -2));
}

void TestWindowLook::passwordShowsStars()
{
    TFormVSkin *w = open(Window::SignIn);
    auto *dialog = static_cast<TForm_pass *>(w);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->txtPass->setFocus();
    QTest::keyClicks(dialog->txtPass, QStringLiteral("pa55 w"));
    QCOMPARE(dialog->txtPass->text(), QStringLiteral("pa55 w"));
    QCOMPARE(dialog->txtPass->displayText(), QStringLiteral("******"));
}

void TestWindowLook::barButtonsArePictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("x");
    QTest::newRow("more") << QStringLiteral("btnMore1") << 832;
    QTest::newRow("month view") << QStringLiteral("btnQueryMonth") << 856;
    QTest::newRow("newest records") << QStringLiteral("btnQueryLast") << 878;
}

void TestWindowLook::barButtonsArePictures()
{
    QFETCH(QString, name);
    QFETCH(int, x);
    TForm1 *w = mainWindow();
    w->show();
    auto *button = w->ImagePanel2->findChild<TPNGButtonEx *>(name);
    QVERIFY(button);
    QCOMPARE(button->geometry(), QRect(x, 4, 22, 21));
    QVERIFY(button->caption().isEmpty());
    QVERIFY(!button->toolTip().isEmpty());
    for (const QImage &picture : {button->imageNormal(), button->imageOver(), button->imageDown()}) {
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() <= button->width() - 2 && picture.height() <= button->height() - 2);
    }
    // Its picture is what shows: something is drawn, and not the same for all three buttons.
    const QImage shown = RenderBare(button);
    int drawn = 0;
    for (int py = 0; py < shown.height(); ++py)
        for (int px = 0; px < shown.width(); ++px)
            drawn += qAlpha(shown.pixel(px, py)) > 0;
    QVERIFY(drawn > 10);
    for (TPNGButtonEx *other : {w->btnMore1, w->btnQueryMonth, w->btnQueryLast})
        if (other != button)
            QVERIFY(other->imageNormal() != button->imageNormal());
}

void TestWindowLook::summaryHeaderStaysWhileRowsScroll()
{
    // Given the summary grid with more months than it can show
    TForm1 *w = mainWindow(true);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->RecountMonth(QDateTime::currentDateTime());
    QTRY_COMPARE(w->gridHj1->rowCount(), 32);
    QTableWidget *grid = w->gridHj1;
    QVERIFY(grid->verticalScrollBar()->maximum() > 0);
    QHeaderView *header = grid->horizontalHeader();
    QVERIFY(header->isVisible());
    QCOMPARE(header->height(), grid->rowHeight(1));
    const QRect strip = header->geometry();
    // The header row stands at the top and the first data row right under it
    QCOMPARE(grid->rowViewportPosition(1), 0);
    const QImage before = Render(grid);
    // When the user scrolls down with the wheel over the rows
    const QPoint at = grid->viewport()->rect().center();
    for (int i = 0; i < 10; ++i) {
        QWheelEvent wheel(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &wheel);
    }
    QTRY_COMPARE(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());
    // Then the rows moved, the header row did not
    const QImage after = Render(grid);
    const QRect underIt = strip.translated(0, strip.height());
    QVERIFY(before.copy(underIt) != after.copy(underIt));
    QCOMPARE(after.copy(strip), before.copy(strip));
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("支出"));
    QVERIFY(grid->rowViewportPosition(31) < grid->viewport()->height());
}

void TestWindowLook::summaryHeaderNeverTakesTheFocus_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("tab into the grid") << QStringLiteral("tab");
    QTest::newRow("page up from the first month") << QStringLiteral("pageup");
    QTest::newRow("ctrl+home") << QStringLiteral("home");
    QTest::newRow("click on the header") << QStringLiteral("header");
}

void TestWindowLook::summaryHeaderNeverTakesTheFocus()
{
    QFETCH(QString, action);
    TForm1 *w = mainWindow(true);
    w->show();
    w->RecountMonth(QDateTime::currentDateTime());
    QTableWidget *grid = w->gridHj1;
    QTRY_COMPARE(grid->rowCount(), 32);
    // The busy indicator has come and gone; the main window is the active one again.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    const QPoint firstMonth = grid->visualRect(grid->model()->index(1, 0)).center();
    if (action == QLatin1String("tab")) {
        grid->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(grid->hasFocus());
    } else {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, firstMonth);
        QCOMPARE(grid->currentRow(), 1);
        if (action == QLatin1String("pageup"))
            QTest::keyClick(grid, Qt::Key_PageUp);
        else if (action == QLatin1String("home"))
            QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        else
            QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    }
    // The first month is the current cell; the header row is never one
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(grid->horizontalHeader()->focusPolicy(), Qt::NoFocus);
    QVERIFY(!grid->selectionModel()->isRowSelected(0, QModelIndex()));
}

void TestWindowLook::expenseQueryOpensInTheMiddleOfTheScreen()
{
    // Given the main window off the middle of the screen
    TForm1 *w = mainWindow();
    w->move(0, 0);
    w->show();
    const QRect area = w->screen()->availableGeometry();
    QRect shown;
    QTimer::singleShot(0, [&shown] {
        if (auto *query = qobject_cast<TfrmQueryMore *>(QApplication::activeModalWidget())) {
            shown = query->frameGeometry();
            query->reject();
        }
    });
    // When the user opens the expense query
    QTest::mouseClick(w->ImagePanel17, Qt::LeftButton);
    // Then it stood in the middle of the screen, not over the main window
    QVERIFY(shown.isValid());
    QVERIFY2(
        qAbs(shown.center().x() - area.center().x()) <= 1 && qAbs(shown.center().y() - area.center().y()) <= 1,
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height())));
}

QTEST_MAIN(TestWindowLook)
#include "tst_window_look.moc"
