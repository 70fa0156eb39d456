#include "controls/Align.h"
#include "controls/TImagePanel.h"

#include "Pixels.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace lumora;
using testing::At;
using testing::Render;

class TstTImagePanel : public QObject
{
    Q_OBJECT

    static std::unique_ptr<TImagePanel> makePanel()
    {
        auto panel = std::make_unique<TImagePanel>();
        panel->resize(20, 10);
        panel->setBevelOuter(TImagePanel::bvNone);
        panel->setColor(QColor(0, 0, 255));
        panel->setBorderColor(QColor(255, 0, 0));
        return panel;
    }

private slots:
    void linesOnChosenSides_data()
    {
        QTest::addColumn<int>("kinds");
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("top");
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("bottom");
        QTest::newRow("left") << int(TImagePanel::bbkLeft) << true << false << false << false;
        QTest::newRow("top") << int(TImagePanel::bbkTop) << false << true << false << false;
        QTest::newRow("right") << int(TImagePanel::bbkRight) << false << false << true << false;
        QTest::newRow("bottom") << int(TImagePanel::bbkBottom) << false << false << false << true;
        QTest::newRow("all four") << int(TImagePanel::bbkLeft | TImagePanel::bbkTop | TImagePanel::bbkRight |
                                         TImagePanel::bbkBottom)
                                  << true << true << true << true;
    }
    void linesOnChosenSides()
    {
        QFETCH(int, kinds);
        QFETCH(bool, left);
        QFETCH(bool, top);
        QFETCH(bool, right);
        QFETCH(bool, bottom);
        // Given a panel with one-pixel lines on the chosen sides
        auto panel = makePanel();
        panel->setBorderWidth_v(1);
        panel->setBorderBrawKinds(TImagePanel::BorderBrawKinds(kinds));
        // When it paints
        const QImage img = Render(panel.get());
        // Then the middle pixel of each side is red where a line is asked for, blue elsewhere
        const QString red = QStringLiteral("#ff0000"), blue = QStringLiteral("#0000ff");
        QCOMPARE(At(img, 0, 5), left ? red : blue);
        QCOMPARE(At(img, 10, 0), top ? red : blue);
        QCOMPARE(At(img, 19, 5), right ? red : blue);
        QCOMPARE(At(img, 10, 9), bottom ? red : blue);
        QCOMPARE(At(img, 1, 5), blue);
        QCOMPARE(At(img, 10, 1), blue);
        // A line runs the whole side, corners included
        if (top) {
            QCOMPARE(At(img, 0, 0), red);
            QCOMPARE(At(img, 19, 0), red);
        }
        if (right)
            QCOMPARE(At(img, 19, 9), red);
    }

    void thickness_data()
    {
        QTest::addColumn<int>("borderWidth");
        QTest::addColumn<int>("borderWidthV");
        QTest::addColumn<int>("expected");
        QTest::newRow("v -1 counts as unset") << 2 << -1 << 2;
        QTest::newRow("v 0 uses BorderWidth") << 1 << 0 << 1;
        QTest::newRow("v 2 over BorderWidth 0") << 0 << 2 << 2;
        QTest::newRow("nothing set, no lines") << 0 << 0 << 0;
    }
    void thickness()
    {
        QFETCH(int, borderWidth);
        QFETCH(int, borderWidthV);
        QFETCH(int, expected);
        auto panel = makePanel();
        panel->setBorderWidth(borderWidth);
        panel->setBorderWidth_v(borderWidthV);
        panel->setBorderBrawKinds(TImagePanel::bbkBottom);
        const QImage img = Render(panel.get());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(At(img, 10, 9 - i), i < expected ? QStringLiteral("#ff0000") : QStringLiteral("#0000ff"));
    }

    void emptySidesKeepBandInColor()
    {
        // Given BorderWidth 1 and no sides: the band shows Color and children sit one pixel inside
        auto panel = makePanel();
        panel->setBorderWidth(1);
        panel->setBorderBrawKinds({});
        auto *child = new QWidget(panel.get());
        setAlign(child, Align::Client);
        const QImage img = Render(panel.get());
        QCOMPARE(At(img, 0, 0), QStringLiteral("#0000ff"));
        QCOMPARE(child->geometry(), QRect(1, 1, 18, 8));
    }

    void fillImageCoversLines()
    {
        auto panel = makePanel();
        panel->setBorderWidth(2);
        QImage green(4, 4, QImage::Format_RGB32);
        green.fill(QColor(0, 255, 0));
        panel->setFillImage(green);
        const QImage img = Render(panel.get());
        for (QPoint p : {QPoint(0, 0), QPoint(1, 5), QPoint(19, 9), QPoint(10, 5)})
            QCOMPARE(At(img, p.x(), p.y()), QStringLiteral("#00ff00"));
    }

    void borderWidthVShowsOnNextPaintOnly()
    {
        // Setting BorderWidth_v or Transparent asks for no repaint
        auto panel = makePanel();
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        QSignalSpy painted(panel.get(), &TImagePanel::OnPaint);
        panel->setBorderWidth_v(2);
        panel->setTransparent(false);
        QCoreApplication::processEvents();
        QCOMPARE(painted.count(), 0);
        panel->setBorderColor(Qt::green);
        QTRY_VERIFY(painted.count() > 0);
    }

    void bevelsAndBand()
    {
        // Raised outer bevel, 2-pixel band, lowered inner bevel
        auto panel = makePanel();
        panel->setBevelOuter(TImagePanel::bvRaised);
        panel->setBevelInner(TImagePanel::bvLowered);
        panel->setBorderWidth(2);
        panel->setBorderBrawKinds({});
        const QImage img = Render(panel.get());
        QCOMPARE(At(img, 5, 0), QStringLiteral("#ffffff")); // raised: light top
        QCOMPARE(At(img, 5, 9), QStringLiteral("#a0a0a0")); // and dark bottom
        QCOMPARE(At(img, 5, 1), QStringLiteral("#0000ff")); // the band in Color
        QCOMPARE(At(img, 5, 3), QStringLiteral("#a0a0a0")); // lowered: dark top
        QCOMPARE(At(img, 5, 6), QStringLiteral("#ffffff")); // and light bottom
        QCOMPARE(panel->contentsMargins(), QMargins(4, 4, 4, 4));
    }

    void transparentShowsParentAndBkImage()
    {
        // Given a transparent panel with a caption and a 2x2 BkImage, on a parent painted green
        TImagePanel parent;
        parent.setBevelOuter(TImagePanel::bvNone);
        parent.setColor(QColor(0, 128, 0));
        parent.resize(60, 40);
        auto *panel = new TImagePanel(&parent);
        panel->setGeometry(10, 10, 20, 10);
        panel->setColor(Qt::blue);
        panel->setCaption(QStringLiteral("XXXXXXXX"));
        panel->setTransparent(true);
        QImage dot(2, 2, QImage::Format_ARGB32);
        dot.fill(QColor(255, 255, 0));
        panel->setBkImage(dot);
        // When the parent and the panel paint
        const QImage img = Render(&parent);
        // Then the parent's colour shows in the panel (no blue fill, no caption) with the picture at the top left
        QCOMPARE(At(img, 10, 10), QStringLiteral("#ffff00"));
        QCOMPARE(At(img, 11, 11), QStringLiteral("#ffff00"));
        for (int x = 12; x < 30; ++x)
            for (int y = 12; y < 20; ++y)
                QCOMPARE(At(img, x, y), QStringLiteral("#008000"));
        // And the panel grabbed on its own still shows its parent's look
        const QImage alone = Render(panel);
        QCOMPARE(At(alone, 10, 5), QStringLiteral("#008000"));
    }

    void opaqueCaptionCentred()
    {
        auto panel = makePanel();
        panel->resize(80, 20);
        panel->setCaption(QStringLiteral("MMMM"));
        const QImage img = Render(panel.get());
        QCOMPARE(At(img, 2, 10), QStringLiteral("#0000ff"));
        bool dark = false;
        for (int x = 30; x < 50; ++x)
            dark = dark || img.pixelColor(x, 10).blue() < 200;
        QVERIFY(dark);
    }
};

QTEST_MAIN(TstTImagePanel)
#include "tst_timagepanel.moc"
