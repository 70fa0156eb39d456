#include "controls/Align.h"
#include "controls/DockSplitter.h"

#include <QHBoxLayout>
#include <QTest>

using namespace lumora;

class TstDockLayout : public QObject
{
    Q_OBJECT

    static QWidget *child(QWidget *parent, QSize size, Align align)
    {
        auto *w = new QWidget(parent);
        w->resize(size);
        setAlign(w, align);
        return w;
    }

    static void relayout(QWidget *parent)
    {
        parent->layout()->invalidate();
        parent->layout()->activate();
    }

private slots:
    void docksInOrder()
    {
        // Given top, bottom, two left, right and client children in a 200 x 100 parent
        QWidget parent;
        parent.resize(200, 100);
        QWidget *top = child(&parent, {0, 10}, Align::Top);
        QWidget *client = child(&parent, {0, 0}, Align::Client);
        QWidget *left1 = child(&parent, {20, 0}, Align::Left);
        QWidget *left2 = child(&parent, {5, 0}, Align::Left);
        QWidget *right = child(&parent, {30, 0}, Align::Right);
        QWidget *bottom = child(&parent, {0, 15}, Align::Bottom);
        relayout(&parent);
        // Then each takes its band in that order, the client the rest
        QCOMPARE(top->geometry(), QRect(0, 0, 200, 10));
        QCOMPARE(bottom->geometry(), QRect(0, 85, 200, 15));
        QCOMPARE(left1->geometry(), QRect(0, 10, 20, 75));
        QCOMPARE(left2->geometry(), QRect(20, 10, 5, 75));
        QCOMPARE(right->geometry(), QRect(170, 10, 30, 75));
        QCOMPARE(client->geometry(), QRect(25, 10, 145, 75));
        // A hidden child takes no space
        left1->hide();
        relayout(&parent);
        QCOMPARE(left2->geometry(), QRect(0, 10, 5, 75));
        QCOMPARE(client->geometry(), QRect(5, 10, 165, 75));
        // A docked child resized by hand docks again with its new size
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        right->resize(50, 10);
        QTRY_COMPARE(client->geometry(), QRect(5, 10, 145, 75));
        QCOMPARE(right->geometry(), QRect(150, 10, 50, 75));
        QCOMPARE(alignOf(right), Align::Right);
        QCOMPARE(alignOf(&parent), Align::None);
    }

    void contentsMarginsAreRespected()
    {
        QWidget parent;
        parent.resize(50, 40);
        parent.setContentsMargins(2, 2, 2, 2);
        QWidget *client = child(&parent, {}, Align::Client);
        relayout(&parent);
        QCOMPARE(client->geometry(), QRect(2, 2, 46, 36));
    }

    void anchors()
    {
        QWidget parent;
        parent.resize(100, 50);
        auto *right = new QWidget(&parent);
        right->setGeometry(80, 5, 10, 10);
        setAnchors(right, Qt::TopEdge | Qt::RightEdge);
        auto *stretch = new QWidget(&parent);
        stretch->setGeometry(10, 20, 80, 10);
        setAnchors(stretch, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge);
        auto *plain = new QWidget(&parent);
        plain->setGeometry(5, 5, 5, 5);
        setAlign(plain, Align::None);
        parent.resize(150, 70);
        relayout(&parent);
        QCOMPARE(right->geometry(), QRect(130, 5, 10, 10));
        QCOMPARE(stretch->geometry(), QRect(10, 20, 130, 30));
        QCOMPARE(plain->geometry(), QRect(5, 5, 5, 5));
        parent.resize(120, 70);
        relayout(&parent);
        QCOMPARE(right->geometry(), QRect(100, 5, 10, 10));
    }

    void splitterNeighbour_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<QRect>("splitter");
        QTest::addColumn<QRect>("candidate");
        QTest::addColumn<bool>("found");
        QTest::newRow("left: the control ending just before")
            << int(Align::Left) << QRect(50, 0, 3, 100) << QRect(0, 0, 50, 100) << true;
        QTest::newRow("left: a gap of one pixel")
            << int(Align::Left) << QRect(50, 0, 3, 100) << QRect(0, 0, 49, 100) << false;
        QTest::newRow("right: the control starting just after")
            << int(Align::Right) << QRect(50, 0, 3, 100) << QRect(53, 0, 40, 100) << true;
        QTest::newRow("top") << int(Align::Top) << QRect(0, 30, 100, 3) << QRect(0, 0, 100, 30) << true;
        QTest::newRow("bottom") << int(Align::Bottom) << QRect(0, 30, 100, 3) << QRect(0, 33, 100, 30) << true;
        QTest::newRow("left: collapsed to width 0")
            << int(Align::Left) << QRect(50, 0, 3, 100) << QRect(50, 0, 0, 100) << true;
        QTest::newRow("right: collapsed to width 0")
            << int(Align::Right) << QRect(50, 0, 3, 100) << QRect(53, 0, 0, 100) << true;
        QTest::newRow("not aligned") << int(Align::None) << QRect(50, 0, 3, 100) << QRect(0, 0, 50, 100) << false;
    }
    void splitterNeighbour()
    {
        QFETCH(int, align);
        QFETCH(QRect, splitter);
        QFETCH(QRect, candidate);
        QFETCH(bool, found);
        // Geometry set by hand: the parent's own layout leaves the children alone
        QWidget parent;
        new QHBoxLayout(&parent);
        parent.resize(200, 200);
        auto *other = new QWidget(&parent);
        other->setGeometry(candidate);
        auto *bar = new DockSplitter(&parent);
        setAlign(bar, Align(align));
        bar->setGeometry(splitter);
        QCOMPARE(bar->neighbour(), found ? other : nullptr);
    }
};

QTEST_MAIN(TstDockLayout)
#include "tst_docklayout.moc"
