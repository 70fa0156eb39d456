#include "controls/TColorCheckBox.h"

#include "Pixels.h"

#include <QTest>

using namespace lumora;
using testing::At;

class TstTColorCheckBox : public QObject
{
    Q_OBJECT

    static std::unique_ptr<TColorCheckBox> makeBox(int h, bool checked, const QString &caption = QString())
    {
        auto box = std::make_unique<TColorCheckBox>(caption);
        box->resize(60, h);
        box->setColor(QColor(0, 0, 255));
        box->setChecked(checked);
        return box;
    }

private slots:
    void box_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("shift");
        QTest::newRow("17 high") << 17 << false << 0;
        QTest::newRow("17 high, checked") << 17 << true << 0;
        QTest::newRow("30 high") << 30 << false << 7;
        QTest::newRow("30 high, checked") << 30 << true << 7;
        QTest::newRow("15 high rounds towards zero") << 15 << false << 0;
    }
    void box()
    {
        QFETCH(int, height);
        QFETCH(bool, checked);
        QFETCH(int, shift);
        // Given a check box without caption
        auto box = makeBox(height, checked);
        // When it paints
        const QImage img = testing::Render(box.get());
        // Then the grey frame runs (0, 2+s)-(12, 14+s), white inside, Color around
        const int top = 2 + shift;
        const QString grey = QStringLiteral("#808080"), white = QStringLiteral("#ffffff"),
                      blue = QStringLiteral("#0000ff"), black = QStringLiteral("#000000");
        for (int x = 0; x <= 12; ++x) {
            QCOMPARE(At(img, x, top), grey);
            QCOMPARE(At(img, x, top + 12), grey);
        }
        for (int y = top; y <= top + 12; ++y) {
            QCOMPARE(At(img, 0, y), grey);
            QCOMPARE(At(img, 12, y), grey);
        }
        QCOMPARE(At(img, 13, top + 5), blue);
        if (top > 0)
            QCOMPARE(At(img, 5, top - 1), blue);
        if (top + 13 < height)
            QCOMPARE(At(img, 5, top + 13), blue);
        // The tick starts at (B.left+2, B.top+4) of the shrunk box: (3, top+5), three pixels thick
        const QList<QPoint> tick = {{3, 5}, {3, 6}, {3, 7}, {4, 6}, {4, 7}, {4, 8}, {5, 7}, {5, 8},
                                    {5, 9}, {6, 6}, {6, 7}, {6, 8}, {9, 3}, {9, 4}, {9, 5}};
        for (QPoint p : tick)
            QCOMPARE(At(img, p.x(), top + p.y()), checked ? black : white);
        // The tick's end points are not drawn, and no other pixel of the box is black
        QCOMPARE(At(img, 10, top + 2), white);
        QCOMPARE(At(img, 2, top + 5), white);
        int blacks = 0;
        for (int x = 1; x < 12; ++x)
            for (int y = top + 1; y < top + 12; ++y)
                blacks += At(img, x, y) == black;
        QCOMPARE(blacks, checked ? 21 : 0);
        // Without a caption only background and box are drawn
        for (int x = 14; x < 60; ++x)
            for (int y = 0; y < height; ++y)
                QCOMPARE(At(img, x, y), blue);
    }

    void greyStateCountsAsUnchecked()
    {
        auto box = makeBox(17, false);
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        const QImage img = testing::Render(box.get());
        QCOMPARE(At(img, 5, 2 + 9), QStringLiteral("#ffffff"));
    }

    void captionAtX17()
    {
        auto box = makeBox(17, false, QStringLiteral("MMMM"));
        const QImage img = testing::Render(box.get());
        bool textLeft = false, textRight = false;
        for (int y = 0; y < 17; ++y) {
            textLeft = textLeft || At(img, 16, y) != QStringLiteral("#0000ff");
            for (int x = 17; x < 25; ++x)
                textRight = textRight || img.pixelColor(x, y).blue() < 200;
        }
        QVERIFY(!textLeft);
        QVERIFY(textRight);
    }

    void borderColorChangesNothing()
    {
        auto box = makeBox(17, true, QStringLiteral("记住密码"));
        const QImage before = testing::Render(box.get());
        box->setBorderColor(Qt::red);
        QCOMPARE(testing::Render(box.get()), before);
    }

    void disabledLooksTheSame()
    {
        auto box = makeBox(17, true, QStringLiteral("记住密码"));
        const QImage before = testing::Render(box.get());
        box->setEnabled(false);
        QCOMPARE(testing::Render(box.get()), before);
    }

    void clickAnywhereToggles()
    {
        auto box = makeBox(17, false, QStringLiteral("记住密码"));
        QTest::mouseClick(box.get(), Qt::LeftButton, {}, QPoint(40, 8));
        QVERIFY(box->isChecked());
        QTest::mouseClick(box.get(), Qt::LeftButton, {}, QPoint(5, 8));
        QVERIFY(!box->isChecked());
    }
};

QTEST_MAIN(TstTColorCheckBox)
#include "tst_tcolorcheckbox.moc"
