#include "grid/VGridMath.h"

#include <QTest>

using namespace lumora;

class TestGridMath : public QObject
{
    Q_OBJECT
private slots:
    void clampTop_data();
    void clampTop();
    void thumbs_data();
    void thumbs();
    void dragTop_data();
    void dragTop();
    void lastVisibleSlot_data();
    void lastVisibleSlot();
};

void TestGridMath::clampTop_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 5 << 41 << 5;
    QTest::newRow("past the end shows the last record alone") << 46 << 41 << 40;
    QTest::newRow("exactly the count") << 41 << 41 << 40;
    QTest::newRow("negative") << -3 << 41 << 0;
    QTest::newRow("empty list") << 0 << 0 << 0;
    QTest::newRow("empty list, wished past") << 7 << 0 << 0;
    QTest::newRow("one record") << 1 << 1 << 0;
}

void TestGridMath::clampTop()
{
    QFETCH(int, top);
    QFETCH(int, count);
    QFETCH(int, expected);
    QCOMPARE(VGridMath::ClampTop(top, count), expected);
}

void TestGridMath::thumbs_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("arrow");
    QTest::addColumn<double>("scrollTo");
    QTest::newRow("top of the list") << 0 << 41 << 0.0 << 0.0;
    QTest::newRow("last record at the top: ScrollTo reaches the bottom, arrows stop short")
        << 40 << 41 << 975.0 << 1000.0;
    QTest::newRow("truncated toward zero") << 1 << 3 << 333.0 << 500.0;
    QTest::newRow("no records") << 0 << 0 << 0.0 << 0.0;
    QTest::newRow("one record") << 0 << 1 << 0.0 << 0.0;
}

void TestGridMath::thumbs()
{
    QFETCH(int, top);
    QFETCH(int, count);
    QFETCH(double, arrow);
    QFETCH(double, scrollTo);
    QCOMPARE(VGridMath::ThumbAfterArrow(top, count, 1000), arrow);
    QCOMPARE(VGridMath::ThumbAfterScrollTo(top, count, 1000), scrollTo);
}

void TestGridMath::dragTop_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("expected");
    QTest::newRow("start") << 41 << 0.0 << 0;
    QTest::newRow("middle, truncated") << 41 << 500.0 << 20;
    QTest::newRow("end is past the last index; ShowFrom clamps it") << 41 << 1000.0 << 41;
    QTest::newRow("fraction") << 10000 << 319.48 << 3194;
}

void TestGridMath::dragTop()
{
    QFETCH(int, count);
    QFETCH(double, position);
    QFETCH(int, expected);
    QCOMPARE(VGridMath::TopForDrag(count, position, 1000), expected);
}

void TestGridMath::lastVisibleSlot_data()
{
    QTest::addColumn<int>("visible");
    QTest::addColumn<int>("slot");
    QTest::newRow("twelve lines") << 12 << 11;
    QTest::newRow("taller than the pool") << 40 << 30;
    QTest::newRow("nothing fits") << 0 << 0;
}

void TestGridMath::lastVisibleSlot()
{
    QFETCH(int, visible);
    QFETCH(int, slot);
    QCOMPARE(VGridMath::LastVisibleSlot(visible), slot);
}

QTEST_APPLESS_MAIN(TestGridMath)
#include "tst_grid_math.moc"
