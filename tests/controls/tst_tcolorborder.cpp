#include "controls/TColorBorderComboBox.h"
#include "controls/TColorBorderEdit.h"

#include "Pixels.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

using namespace lumora;
using testing::At;

class TstTColorBorder : public QObject
{
    Q_OBJECT

    static void checkRings(const QImage &img, const QString &border, const QString &background)
    {
        const int w = img.width(), h = img.height();
        for (int x = 0; x < w; ++x) {
            QCOMPARE(At(img, x, 0), border);
            QCOMPARE(At(img, x, h - 1), border);
        }
        for (int y = 0; y < h; ++y) {
            QCOMPARE(At(img, 0, y), border);
            QCOMPARE(At(img, w - 1, y), border);
        }
        for (int x = 1; x < w - 1; ++x) {
            QCOMPARE(At(img, x, 1), background);
            QCOMPARE(At(img, x, h - 2), background);
        }
        for (int y = 1; y < h - 1; ++y) {
            QCOMPARE(At(img, 1, y), background);
            QCOMPARE(At(img, w - 2, y), background);
        }
    }

private slots:
    void editRings_data()
    {
        QTest::addColumn<QColor>("border");
        QTest::newRow("black") << QColor(Qt::black);
        QTest::newRow("orange") << QColor(255, 128, 0);
    }
    void editRings()
    {
        QFETCH(QColor, border);
        TColorBorderEdit edit;
        QCOMPARE(edit.borderColor(), QColor(Qt::black));
        edit.resize(120, 24);
        edit.setBorderColor(border);
        edit.setColor(Qt::white);
        edit.setText(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWW"));
        const QImage img = testing::Render(&edit);
        checkRings(img, border.name(), QStringLiteral("#ffffff"));
    }

    void editBehavesAsAnEdit()
    {
        TColorBorderEdit edit;
        edit.setEchoMode(QLineEdit::Password);
        QTest::keyClicks(&edit, QStringLiteral("abc"));
        QCOMPARE(edit.text(), QStringLiteral("abc"));
        QVERIFY(!edit.hasFrame());
    }

    void comboRingsAndButton_data()
    {
        QTest::addColumn<QColor>("border");
        QTest::addColumn<bool>("editable");
        QTest::newRow("orange") << QColor(255, 128, 0) << false;
        QTest::newRow("black") << QColor(Qt::black) << false;
        QTest::newRow("orange, editable") << QColor(255, 128, 0) << true;
    }
    void comboRingsAndButton()
    {
        QFETCH(QColor, border);
        QFETCH(bool, editable);
        TColorBorderComboBox combo;
        QCOMPARE(combo.borderColor(), QColor(255, 128, 0));
        combo.setEditable(editable);
        combo.addItems({QStringLiteral("收入"), QStringLiteral("支出")});
        combo.resize(120, 24);
        combo.setBorderColor(border);
        combo.setColor(Qt::white);
        const QImage img = testing::Render(&combo);
        const QRect b = combo.buttonRect();
        QVERIFY(!b.isEmpty());
        QVERIFY(b.right() < 120);
        // Rings outside the button
        for (int x = 0; x < b.left(); ++x) {
            QCOMPARE(At(img, x, 0), border.name());
            if (x > 0)
                QCOMPARE(At(img, x, 1), QStringLiteral("#ffffff"));
        }
        QCOMPARE(At(img, 0, 12), border.name());
        QCOMPARE(At(img, 1, 12), QStringLiteral("#ffffff"));
        // The button is filled with BorderColor and carries the striped arrow
        const int cx = b.left() + b.width() / 2;
        const int cy = b.top() + b.height() / 2 - 1;
        const QString white = QStringLiteral("#ffffff"), fill = border.name();
        for (int dx = -4; dx <= 4; ++dx) {
            QCOMPARE(At(img, cx + dx, cy), qAbs(dx) <= 3 ? white : fill);
            QCOMPARE(At(img, cx + dx, cy + 1), fill);
            QCOMPARE(At(img, cx + dx, cy + 2), qAbs(dx) <= 2 ? white : fill);
            QCOMPARE(At(img, cx + dx, cy + 3), fill);
            QCOMPARE(At(img, cx + dx, cy + 4), dx == 0 ? white : fill);
        }
        QCOMPARE(At(img, b.left(), b.top()), fill);
        QCOMPARE(At(img, b.right(), b.bottom()), fill);
    }

    void comboButtonSameWhenOpen()
    {
        TColorBorderComboBox combo;
        combo.addItems({QStringLiteral("收入"), QStringLiteral("支出")});
        combo.resize(120, 24);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        const QRect b = combo.buttonRect();
        const QImage closed = testing::Render(&combo).copy(b);
        combo.showPopup();
        QTRY_VERIFY(combo.view()->isVisible());
        const QImage open = testing::Render(&combo).copy(b);
        QCOMPARE(open, closed);
        combo.hidePopup();
    }

    void comboBehavesAsACombo()
    {
        TColorBorderComboBox combo;
        combo.addItems({QStringLiteral("收入"), QStringLiteral("支出")});
        QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
        combo.setFocus();
        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(combo.currentText(), QStringLiteral("支出"));
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TstTColorBorder)
#include "tst_tcolorborder.moc"
