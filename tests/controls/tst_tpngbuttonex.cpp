#include "controls/TPNGButtonEx.h"

#include "Pixels.h"

#include <QSignalSpy>
#include <QTest>

using namespace lumora;
using Button = TPNGButtonEx;

class TstTPNGButtonEx : public QObject
{
    Q_OBJECT

    static QImage solid(int w, int h, QColor c, QImage::Format format = QImage::Format_ARGB32)
    {
        QImage img(w, h, format);
        img.fill(c);
        return img;
    }

    // 40x30 button with a 10x6 normal picture.
    static std::unique_ptr<Button> makeButton()
    {
        auto b = std::make_unique<Button>();
        b->resize(40, 30);
        b->setImageNormal(solid(10, 6, Qt::red));
        return b;
    }

    static void press(Button *b, QPoint at = QPoint(5, 5), Qt::MouseButton button = Qt::LeftButton)
    {
        testing::SendMouse(b, QEvent::MouseButtonPress, at, b->mapToGlobal(at), button);
    }
    static void move(Button *b, QPoint to) { testing::SendMouse(b, QEvent::MouseMove, to, b->mapToGlobal(to)); }
    static void release(Button *b, QPoint at = QPoint(5, 5), Qt::MouseButton button = Qt::LeftButton)
    {
        testing::SendMouse(b, QEvent::MouseButtonRelease, at, b->mapToGlobal(at), button);
    }

private slots:
    void initTestCase() { qRegisterMetaType<QMouseEvent *>(); }

    void newButton()
    {
        Button b;
        QCOMPARE(b.size(), QSize(23, 23));
        QCOMPARE(b.focusPolicy(), Qt::NoFocus);
        QCOMPARE(b.buttonLayout(), Button::pbsImageAbove);
    }

    void placementPerLayout_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<QPoint>("image"); // unpressed, for the rows where it does not depend on the font
        // Button 40x30, picture 10x6, TextLeft 3, TextTop 1; caption tw x th from the font.
        QTest::newRow("above, no caption") << int(Button::pbsImageAbove) << QString() << false << QPoint(15, 12);
        QTest::newRow("above, no caption, pressed")
            << int(Button::pbsImageAbove) << QString() << true << QPoint(15, 12);
        QTest::newRow("above") << int(Button::pbsImageAbove) << QStringLiteral("ab") << false << QPoint();
        QTest::newRow("bellow") << int(Button::pbsImageBellow) << QStringLiteral("ab") << false << QPoint();
        QTest::newRow("background") << int(Button::pbsImageBackground) << QStringLiteral("ab") << false << QPoint(0, 0);
        QTest::newRow("background, pressed")
            << int(Button::pbsImageBackground) << QStringLiteral("ab") << true << QPoint(0, 0);
    }
    void placementPerLayout()
    {
        QFETCH(int, layout);
        QFETCH(QString, caption);
        QFETCH(bool, pressed);
        QFETCH(QPoint, image);
        auto b = makeButton();
        b->setButtonLayout(Button::TPNGButtonLayout(layout));
        b->setCaption(caption);
        b->setTextLeft(3);
        b->setTextTop(1);
        if (pressed) {
            press(b.get());
            move(b.get(), QPoint(6, 6)); // pressed means down and hot
        }
        const QFontMetrics fm(b->font());
        const int tw = caption.isEmpty() ? 0 : fm.horizontalAdvance(caption);
        const int th = caption.isEmpty() ? 0 : fm.height();
        const int ih = 6 + (caption.isEmpty() ? 0 : 4);
        const int off = pressed ? 2 : 0;
        QPoint expectImage = image;
        QPoint expectText;
        switch (layout) {
        case Button::pbsImageAbove: {
            const int a = (30 - ih - th) / 2;
            if (!caption.isEmpty())
                expectImage = QPoint(15, a);
            expectText = QPoint((40 - tw) / 2 + 3, a + ih + 1);
            break;
        }
        case Button::pbsImageBellow: {
            const int a = (30 - ih - th) / 2;
            expectImage = QPoint(15, a + th);
            expectText = QPoint((40 - tw) / 2 + 3, a + 1);
            break;
        }
        default:
            expectText = QPoint((40 - tw) / 2 + 3, (30 - th) / 2 + 1);
        }
        expectImage += QPoint(off, off);
        const Button::Placement pl = b->placement();
        QCOMPARE(pl.imagePos, expectImage);
        if (!caption.isEmpty())
            QCOMPARE(pl.textRect.topLeft(), expectText + QPoint(off, off));
        // The picture is drawn where the placement says
        const QImage img = testing::Render(b.get());
        QCOMPARE(testing::At(img, pl.imagePos.x(), pl.imagePos.y()), QStringLiteral("#ff0000"));
        QCOMPARE(testing::At(img, pl.imagePos.x() + 9, pl.imagePos.y() + 5), QStringLiteral("#ff0000"));
        // No background: the parent shows wherever the picture is absent
        QCOMPARE(testing::RenderBare(b.get()).pixelColor(pl.imagePos.x() + 10, pl.imagePos.y() + 5).alpha(), 0);
    }

    void verticalColumnStaysWhenPressed()
    {
        // pbsImageBackground_VS with TextLeft 5 and TextTop 3: the column starts at y 3, pressed or not
        auto b = makeButton();
        b->setButtonLayout(Button::pbsImageBackground_VS);
        b->setCaption(QStringLiteral("新增记录"));
        b->setTextLeft(5);
        b->setTextTop(3);
        const QFontMetrics fm(b->font());
        QCOMPARE(b->placement().textRect, QRect(5, 3, fm.horizontalAdvance(QStringLiteral("WW")), 27));
        press(b.get());
        move(b.get(), QPoint(6, 6));
        QCOMPARE(b->placement().textRect.topLeft(), QPoint(5, 3));
        QCOMPARE(b->placement().imagePos, QPoint(2, 2));
    }

    void pictureChoice()
    {
        auto b = makeButton();
        b->setImageOver(solid(10, 6, Qt::green));
        b->setImageDown(solid(10, 6, Qt::blue));
        QCOMPARE(b->placement().image.pixelColor(0, 0), QColor(Qt::red));
        move(b.get(), QPoint(5, 5)); // hot
        QCOMPARE(b->placement().image.pixelColor(0, 0), QColor(Qt::green));
        press(b.get());
        QCOMPARE(b->placement().image.pixelColor(0, 0), QColor(Qt::blue));
        // Without ImageDown the hovered picture is drawn, shifted by 2
        b->setImageDown(QImage());
        QCOMPARE(b->placement().image.pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(b->placement().imagePos, QPoint(17, 14));
        release(b.get());
        // Disabled and hovered: the disabled picture stays
        b->setEnabled(false);
        move(b.get(), QPoint(6, 6));
        QCOMPARE(b->buttonState(), Button::bsDisabled);
        QCOMPARE(b->placement().image.pixelColor(0, 0).alpha(), 255 / 3);
    }

    void disabledAlpha_data()
    {
        QTest::addColumn<QImage>("normal");
        QTest::addColumn<int>("alpha");
        QImage argb = solid(3, 3, QColor(10, 20, 30, 200));
        QImage palette(3, 3, QImage::Format_Indexed8);
        palette.setColorTable({qRgb(10, 20, 30)});
        palette.fill(0);
        QImage grey(3, 3, QImage::Format_Grayscale8);
        grey.fill(QColor(90, 90, 90));
        QTest::newRow("alpha 200 becomes 66") << argb << 66;
        QTest::newRow("RGB without alpha becomes 85") << solid(3, 3, QColor(10, 20, 30), QImage::Format_RGB32) << 85;
        QTest::newRow("grey without alpha becomes 85") << grey << 85;
        QTest::newRow("palette stays opaque") << palette << 255;
    }
    void disabledAlpha()
    {
        QFETCH(QImage, normal);
        QFETCH(int, alpha);
        Button b;
        b.setImageNormal(normal);
        const QImage disabled = b.disabledImage();
        QCOMPARE(disabled.size(), normal.size());
        QCOMPARE(disabled.pixelColor(1, 1).alpha(), alpha);
        QCOMPARE(disabled.pixelColor(1, 1).red(), normal.pixelColor(1, 1).red());
        // The normal picture itself is untouched
        QCOMPARE(b.imageNormal().pixelColor(1, 1).alpha(), normal.pixelColor(1, 1).alpha());
    }

    void disabledPaintsFaded()
    {
        auto b = makeButton();
        b->setButtonLayout(Button::pbsImageBackground);
        b->setEnabled(false);
        const QImage img = testing::RenderBare(b.get());
        QCOMPARE(img.pixelColor(0, 0).alpha(), 85);
        b->setEnabled(true);
        QCOMPARE(b->buttonState(), Button::bsNormal);
        QCOMPARE(testing::RenderBare(b.get()).pixelColor(0, 0).alpha(), 255);
    }

    void clickOnlyWhenReleasedOver()
    {
        auto b = makeButton();
        QSignalSpy clicks(b.get(), &Button::OnClick);
        QSignalSpy ups(b.get(), &Button::OnMouseUp);
        // Press, move out, release: no click, state back to normal
        press(b.get());
        QCOMPARE(b->buttonState(), Button::bsDown);
        move(b.get(), QPoint(100, 100));
        QVERIFY(!b->isHot());
        release(b.get(), QPoint(100, 100));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(ups.count(), 1);
        QCOMPARE(b->buttonState(), Button::bsNormal);
        QCOMPARE(b->placement().image.pixelColor(0, 0), QColor(Qt::red));
        // Press, wander off and come back, release: pressed look again, one click
        press(b.get());
        move(b.get(), QPoint(100, 100));
        move(b.get(), QPoint(6, 6));
        QVERIFY(b->isHot());
        QCOMPARE(b->placement().imagePos, QPoint(17, 14));
        release(b.get(), QPoint(6, 6));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(ups.count(), 2);
    }

    void clickComesBeforeMouseUp()
    {
        auto b = makeButton();
        QStringList order;
        connect(b.get(), &Button::OnClick, this, [&order] { order << QStringLiteral("click"); });
        connect(b.get(), &Button::OnMouseUp, this, [&order] { order << QStringLiteral("up"); });
        press(b.get());
        release(b.get());
        QCOMPARE(order, QStringList({QStringLiteral("click"), QStringLiteral("up")}));
    }

    void rightButtonDoesNothing()
    {
        auto b = makeButton();
        QSignalSpy clicks(b.get(), &Button::OnClick);
        QSignalSpy downs(b.get(), &Button::OnMouseDown);
        press(b.get(), QPoint(5, 5), Qt::RightButton);
        QCOMPARE(b->buttonState(), Button::bsNormal);
        QCOMPARE(b->placement().imagePos, QPoint(15, 12));
        release(b.get(), QPoint(5, 5), Qt::RightButton);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(downs.count(), 1); // the ordinary event still follows
    }

    void hotTracking()
    {
        auto b = makeButton();
        b->setImageOver(solid(10, 6, Qt::green));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(b.get(), &enter);
        QVERIFY(b->isHot());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(b.get(), &leave);
        QVERIFY(!b->isHot());
        QCOMPARE(b->placement().image.pixelColor(0, 0), QColor(Qt::red));
    }

    void disabledButtonGivesNoClick()
    {
        auto b = makeButton();
        b->setEnabled(false);
        QSignalSpy clicks(b.get(), &Button::OnClick);
        QTest::mouseClick(b.get(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 0);
    }
};

QTEST_MAIN(TstTPNGButtonEx)
#include "tst_tpngbuttonex.moc"
