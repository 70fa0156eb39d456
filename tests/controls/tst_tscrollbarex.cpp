#include "controls/TScrollBarEx.h"

#include "Pixels.h"

#include <QSignalSpy>
#include <QTest>

using namespace lumora;

class TstTScrollBarEx : public QObject
{
    Q_OBJECT

    static QImage solid(int w, int h, QColor c)
    {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(c);
        return img;
    }

    // The grid's bar: 19 wide, arrows 19x19, thumb 19x40, Max 1000; 391 high gives a track of 313.
    static std::unique_ptr<TScrollBarEx> makeBar(int height = 391)
    {
        auto bar = std::make_unique<TScrollBarEx>();
        bar->resize(19, height);
        bar->setColor(QColor(39, 39, 39));
        bar->setArrowTopImage(solid(19, 19, Qt::red));
        bar->setArrowBottomImage(solid(19, 19, Qt::blue));
        bar->setDragVImage(solid(19, 40, Qt::green));
        bar->show(); // a drag moves only a visible bar
        return bar;
    }

    // Screen positions of the bar's points: the bar itself is not a window on screen.
    static void press(TScrollBarEx *bar, int y) { testing::SendMouse(bar, QEvent::MouseButtonPress, {5, y}, {5, y}); }
    static void move(TScrollBarEx *bar, int y) { testing::SendMouse(bar, QEvent::MouseMove, {5, y}, {5, y}); }
    static void release(TScrollBarEx *bar, int y)
    {
        testing::SendMouse(bar, QEvent::MouseButtonRelease, {5, y}, {5, y});
    }

private slots:
    void sizesAndThumb()
    {
        auto bar = makeBar();
        QCOMPARE(bar->max(), 1000);
        QCOMPARE(bar->trackLength(), 313);
        bar->setPosition(500);
        QCOMPARE(bar->thumbTop(), 175);
        const QImage img = testing::Render(bar.get());
        QCOMPARE(testing::At(img, 5, 0), QStringLiteral("#ff0000"));
        QCOMPARE(testing::At(img, 5, 390), QStringLiteral("#0000ff"));
        QCOMPARE(testing::At(img, 5, 174), QStringLiteral("#272727"));
        QCOMPARE(testing::At(img, 5, 175), QStringLiteral("#00ff00"));
        QCOMPARE(testing::At(img, 5, 214), QStringLiteral("#00ff00"));
        QCOMPARE(testing::At(img, 5, 215), QStringLiteral("#272727"));
    }

    void dragFollowsTheMouse()
    {
        auto bar = makeBar();
        QSignalSpy changes(bar.get(), &TScrollBarEx::OnChange);
        press(bar.get(), 50);
        move(bar.get(), 150);
        QCOMPARE(bar->position(), 100.0 * 1000 / 313); // 319.48...
        QVERIFY(qAbs(bar->position() - 319.48) < 0.01);
        QCOMPARE(changes.count(), 1);
        // A move without vertical change still reports
        move(bar.get(), 150);
        QCOMPARE(changes.count(), 2);
        // Far past the bottom: exactly Max; far above the top: exactly 0
        move(bar.get(), 5000);
        QCOMPARE(bar->position(), 1000.0);
        move(bar.get(), -9000);
        QCOMPARE(bar->position(), 0.0);
    }

    void moveWithoutPressDoesNothing()
    {
        auto bar = makeBar();
        QSignalSpy changes(bar.get(), &TScrollBarEx::OnChange);
        move(bar.get(), 150);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(bar->position(), 0.0);
    }

    void releaseEvents_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("addOne");
        QTest::addColumn<int>("decOne");
        QTest::addColumn<int>("atUp");
        QTest::newRow("bottom arrow") << 380 << 1 << 0 << 0;
        QTest::newRow("top arrow") << 10 << 0 << 1 << 0;
        QTest::newRow("track") << 200 << 0 << 0 << 1;
        QTest::newRow("top boundary") << 19 << 0 << 0 << 0;
        QTest::newRow("bottom boundary") << 372 << 0 << 0 << 0;
    }
    void releaseEvents()
    {
        QFETCH(int, y);
        QFETCH(int, addOne);
        QFETCH(int, decOne);
        QFETCH(int, atUp);
        auto bar = makeBar();
        QSignalSpy add(bar.get(), &TScrollBarEx::OnChangeAddOne);
        QSignalSpy dec(bar.get(), &TScrollBarEx::OnChangeDecOne);
        QSignalSpy up(bar.get(), &TScrollBarEx::OnChangeAtUp);
        press(bar.get(), y);
        release(bar.get(), y);
        QCOMPARE(add.count(), addOne);
        QCOMPARE(dec.count(), decOne);
        QCOMPARE(up.count(), atUp);
        QCOMPARE(bar->position(), 0.0); // a click neither pages nor jumps
    }

    void dragFromArrowThenReleaseOnTrack()
    {
        auto bar = makeBar();
        QSignalSpy changes(bar.get(), &TScrollBarEx::OnChange);
        QSignalSpy dec(bar.get(), &TScrollBarEx::OnChangeDecOne);
        QSignalSpy up(bar.get(), &TScrollBarEx::OnChangeAtUp);
        press(bar.get(), 10);
        move(bar.get(), 20);
        release(bar.get(), 20);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(up.count(), 1);
        QCOMPARE(dec.count(), 0);
    }

    void zeroTrackLeavesPosition()
    {
        auto bar = makeBar(78);
        QCOMPARE(bar->trackLength(), 0);
        bar->setPosition(300);
        QSignalSpy changes(bar.get(), &TScrollBarEx::OnChange);
        press(bar.get(), 30);
        move(bar.get(), 60);
        QCOMPARE(bar->position(), 300.0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(bar->thumbTop(), 19);
    }

    void settersDoNotRepaint()
    {
        auto bar = makeBar();
        QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
        QSignalSpy painted(bar.get(), &TScrollBarEx::OnPaint);
        QSignalSpy changes(bar.get(), &TScrollBarEx::OnChange);
        bar->setPosition(700);
        bar->setMax(2000);
        QCoreApplication::processEvents();
        QCOMPARE(painted.count(), 0);
        QCOMPARE(changes.count(), 0);
        bar->Repaint();
        QTRY_VERIFY(painted.count() > 0);
    }

    void transparentPaintsParentBehind()
    {
        QWidget parent;
        parent.setAutoFillBackground(true);
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(0, 128, 0));
        parent.setPalette(pal);
        parent.resize(40, 120);
        auto *bar = new TScrollBarEx(&parent);
        bar->setGeometry(10, 0, 19, 120);
        bar->setColor(Qt::blue);
        bar->setTransparent(true);
        const QImage img = testing::Render(&parent);
        QCOMPARE(testing::At(img, 15, 60), QStringLiteral("#008000"));
    }
};

QTEST_MAIN(TstTScrollBarEx)
#include "tst_tscrollbarex.moc"
