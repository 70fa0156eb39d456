#include "controls/TFormVSkin.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"

#include "Pixels.h"

#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace lumora;

namespace
{
// A descendant the way the main window and the quick-add dialog are made.
class TSkinned : public TFormVSkin
{
public:
    TSkinned()
    {
        setWindowTitle(QStringLiteral("Lumora 2016 v2"));
        FormCreate();
    }
    using TFormVSkin::FormCreate;
};
} // namespace

class TstTFormVSkin : public QObject
{
    Q_OBJECT

    static std::unique_ptr<TSkinned> makeWindow()
    {
        auto w = std::make_unique<TSkinned>();
        w->setGeometry(100, 100, 400, 300);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            return nullptr;
        return w;
    }

    static void click(TPNGButtonEx *button)
    {
        testing::SendMouse(button, QEvent::MouseButtonPress, {5, 5}, button->mapToGlobal(QPoint(5, 5)));
        testing::SendMouse(button, QEvent::MouseButtonRelease, {5, 5}, button->mapToGlobal(QPoint(5, 5)));
    }

private slots:
    void frameLayout()
    {
        auto w = makeWindow();
        QVERIFY(w);
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w->LabelCaption->text(), QStringLiteral("Lumora 2016 v2"));
        // The top strip is the caption body's first row, transparent
        QCOMPARE(w->Panel_SizeTop->parentWidget(), w->pnlCaptionCenter);
        QVERIFY(w->Panel_SizeTop->transparent());
        QCOMPARE(w->Panel_SizeTop->geometry(), QRect(0, 0, 372, 1));
        QCOMPARE(w->ImagePanel1->geometry(), QRect(0, 0, 400, 35));
        QCOMPARE(w->pnlCaptionCenter->geometry(), QRect(14, 0, 372, 35));
        QCOMPARE(w->pnlClient->geometry(), QRect(0, 35, 400, 265));
        // Buttons keep their distance to the right edge of the caption body
        QCOMPARE(w->btnClose->geometry(), QRect(372 - 27, 7, 22, 22));
        QCOMPARE(w->btnNormal->x(), 372 - 48);
        QCOMPARE(w->btnMin->x(), 372 - 70);
        // The strips show as a one-pixel dark grey border on the left, right and bottom
        const QImage img = testing::Render(w.get());
        QCOMPARE(testing::At(img, 0, 150), QStringLiteral("#313131"));
        QCOMPARE(testing::At(img, 399, 150), QStringLiteral("#313131"));
        QCOMPARE(testing::At(img, 200, 299), QStringLiteral("#313131"));
        QVERIFY(testing::At(img, 200, 0) != QStringLiteral("#313131"));
    }

    void withoutCreationStep()
    {
        // The sign-in dialog skips the creation step: its top strip stays a grey row at the top of pnlClient
        TFormVSkin w;
        w.setWindowTitle(QStringLiteral("登录"));
        w.resize(300, 200);
        const QImage img = testing::Render(&w);
        QCOMPARE(w.Panel_SizeTop->parentWidget(), w.pnlClient);
        QVERIFY(w.LabelCaption->text().isEmpty());
        QCOMPARE(testing::At(img, 150, 35), QStringLiteral("#313131"));
    }

    void captionDragInScreenCoordinates()
    {
        auto w = makeWindow();
        QVERIFY(w);
        QWidget *body = w->pnlCaptionCenter;
        testing::Press(body, QPoint(250, 110));
        testing::Move(body, QPoint(280, 130));
        QCOMPARE(w->pos(), QPoint(130, 120));
        // Far outside the window: still moving, by screen positions
        testing::Move(body, QPoint(900, 700));
        QCOMPARE(w->pos(), QPoint(750, 690));
        testing::Release(body, QPoint(900, 700));
        QVERIFY(!w->isPressed());
        testing::Move(body, QPoint(950, 750));
        QCOMPARE(w->pos(), QPoint(750, 690));
    }

    void captionDragWithAnyButton()
    {
        auto w = makeWindow();
        QVERIFY(w);
        testing::Press(w->pnlCaptionCenter, QPoint(250, 110), Qt::RightButton);
        testing::Move(w->pnlCaptionCenter, QPoint(260, 110), Qt::RightButton);
        QCOMPARE(w->pos(), QPoint(110, 100));
    }

    void doubleClickDoesNothing()
    {
        auto w = makeWindow();
        QVERIFY(w);
        const QRect before = w->geometry();
        QTest::mouseDClick(w->pnlCaptionCenter, Qt::LeftButton, {}, QPoint(150, 20));
        QCOMPARE(w->geometry(), before);
        QVERIFY(!w->isMaximized());
    }

    void edgeResize_data()
    {
        QTest::addColumn<QString>("strip");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected");
        // Window at (100, 100), 400 x 300
        QTest::newRow("left, out") << "left" << QPoint(-30, 7) << QRect(70, 100, 430, 300);
        QTest::newRow("left, in") << "left" << QPoint(50, 0) << QRect(150, 100, 350, 300);
        QTest::newRow("left, beyond the right edge") << "left" << QPoint(500, 0) << QRect(600, 100, 10, 300);
        QTest::newRow("right") << "right" << QPoint(25, 9) << QRect(100, 100, 425, 300);
        QTest::newRow("right, below 10") << "right" << QPoint(-395, 0) << QRect(100, 100, 10, 300);
        QTest::newRow("top, up") << "top" << QPoint(4, -20) << QRect(100, 80, 400, 320);
        QTest::newRow("top, beyond the bottom") << "top" << QPoint(0, 400) << QRect(100, 500, 400, 10);
        QTest::newRow("bottom") << "bottom" << QPoint(0, 40) << QRect(100, 100, 400, 340);
        QTest::newRow("bottom, below 10") << "bottom" << QPoint(0, -295) << QRect(100, 100, 400, 10);
    }
    void edgeResize()
    {
        QFETCH(QString, strip);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        auto w = makeWindow();
        QVERIFY(w);
        QWidget *s = strip == QLatin1String("left")    ? w->Panel_SizeLeft
                     : strip == QLatin1String("right") ? w->Panel_SizeRight
                     : strip == QLatin1String("top")   ? w->Panel_SizeTop
                                                       : w->Panel_SizeBottom;
        const QPoint start = s->mapToGlobal(QPoint(0, 0));
        testing::Press(s, start);
        // Two steps: the second move works from the position the first one stored
        testing::Move(s, start + delta / 2);
        testing::Move(s, start + delta);
        testing::Release(s, start + delta);
        QCOMPARE(w->geometry(), expected);
    }

    void leftStripPastRightEdgeMovesRightEdge()
    {
        // Dragging further once the width is at 10: the left edge follows, the right edge moves with it
        auto w = makeWindow();
        QVERIFY(w);
        QWidget *s = w->Panel_SizeLeft;
        testing::Press(s, QPoint(100, 200));
        testing::Move(s, QPoint(495, 200));
        QCOMPARE(w->geometry(), QRect(495, 100, 10, 300));
        testing::Move(s, QPoint(520, 200));
        QCOMPARE(w->geometry(), QRect(520, 100, 10, 300));
    }

    void maximiseToAvailableArea()
    {
        auto w = makeWindow();
        QVERIFY(w);
        click(w->btnNormal);
        QVERIFY(w->isMaximized());
        const QRect work = w->screen()->availableGeometry();
        QTRY_COMPARE(w->geometry(), work);
        // Nothing while maximised: caption drag and edge sizing leave the window alone
        testing::Press(w->pnlCaptionCenter, work.topLeft() + QPoint(200, 10));
        testing::Move(w->pnlCaptionCenter, work.topLeft() + QPoint(260, 60));
        testing::Release(w->pnlCaptionCenter, work.topLeft() + QPoint(260, 60));
        for (QWidget *s : {static_cast<QWidget *>(w->Panel_SizeLeft), static_cast<QWidget *>(w->Panel_SizeBottom)}) {
            const QPoint start = s->mapToGlobal(QPoint(0, 0));
            testing::Press(s, start);
            testing::Move(s, start + QPoint(40, 40));
            testing::Release(s, start + QPoint(40, 40));
        }
        QCOMPARE(w->geometry(), work);
        // Restore
        click(w->btnNormal);
        QVERIFY(!w->isMaximized());
        QTRY_COMPARE(w->geometry(), QRect(100, 100, 400, 300));
    }

    void minimiseTheWholeApplication()
    {
        auto w = makeWindow();
        QVERIFY(w);
        QWidget other;
        other.resize(100, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        click(w->btnMin);
        QVERIFY(w->isMinimized());
        QVERIFY(other.isMinimized());
        QVERIFY(TFormVSkin::ApplicationMinimized());
    }

    void closeButtonCloses()
    {
        auto w = makeWindow();
        QVERIFY(w);
        QSignalSpy finished(w.get(), &QDialog::finished);
        click(w->btnClose);
        QVERIFY(!w->isVisible());
        QCOMPARE(finished.count(), 1);
    }

    void escapeDoesNotClose()
    {
        auto w = makeWindow();
        QVERIFY(w);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->isVisible());
        w->setCloseOnEscape(true);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TstTFormVSkin)
#include "tst_tformvskin.moc"
