#include "lists/CategoryBox.h"
#include "lists/CategoryList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace lumora;

namespace
{
QStringList Items(const QComboBox &box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}
} // namespace

class TestCategoryBox : public QObject
{
    Q_OBJECT
private slots:
    void init() { CategoryListText.clear(); }
    void cleanup() { CategoryListText.clear(); }

    void fillsWithLeadingItemsAndKeepsTypedText();
    void refillsOnEveryDropDown_data();
    void refillsOnEveryDropDown();
    void fixedBoxKeepsItsChoice();
};

void TestCategoryBox::fillsWithLeadingItemsAndKeepsTypedText()
{
    CategoryListText = QStringLiteral("餐饮\r\n\r\n交通\r\n");
    QComboBox box;
    box.setEditable(true);
    box.addItem(QStringLiteral("旧"));
    box.setEditText(QStringLiteral("自己输入"));

    FillCategoryBox(&box, {QStringLiteral("<全部支出>"), QStringLiteral("<全部收入>")});

    QCOMPARE(Items(box), (QStringList{"<全部支出>", "<全部收入>", "餐饮", "", "交通"}));
    QCOMPARE(box.currentText(), QStringLiteral("自己输入"));
}

void TestCategoryBox::refillsOnEveryDropDown_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("mouse") << false;
    QTest::newRow("F4") << true;
}

void TestCategoryBox::refillsOnEveryDropDown()
{
    QFETCH(bool, byKey);
    CategoryListText = QStringLiteral("a\r\nb");
    QComboBox box;
    box.setEditable(true);
    BindCategoryBox(&box);
    box.show();
    QCOMPARE(Items(box), (QStringList{"a", "b"}));

    CategoryListText = QStringLiteral("x\r\ny\r\nz\r\n");
    box.setEditText(QStringLiteral("typed"));
    if (byKey)
        QTest::keyClick(box.lineEdit(), Qt::Key_F4);
    else
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.width() - 5, box.height() / 2));

    QCOMPARE(Items(box), (QStringList{"x", "y", "z"}));
    QCOMPARE(box.currentText(), QStringLiteral("typed"));
    QTRY_VERIFY(box.view()->isVisible());
    box.hidePopup();
}

void TestCategoryBox::fixedBoxKeepsItsChoice()
{
    CategoryListText = QStringLiteral("a\r\nb\r\nc");
    QComboBox box;
    BindCategoryBox(&box);
    box.show();
    box.setCurrentIndex(1);

    CategoryListText = QStringLiteral("c\r\nb");
    QTest::keyClick(&box, Qt::Key_Space);

    QCOMPARE(Items(box), (QStringList{"c", "b"}));
    QCOMPARE(box.currentText(), QStringLiteral("b"));
    QTRY_VERIFY(box.view()->isVisible());
    box.hidePopup();
}

QTEST_MAIN(TestCategoryBox)
#include "tst_category_box.moc"
