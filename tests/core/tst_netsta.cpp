#include "core/NetSta.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace lumora;

class TestNetSta : public QObject
{
    Q_OBJECT
private slots:
    void hideBeforeShowDoesNothing();
    void oneWindowShownAndHidden();
    void lookAndPlace();
    void contextMenuHides();

private:
    static TfrmNetSta *busyWindow();
};

TfrmNetSta *TestNetSta::busyWindow()
{
    const auto all = QApplication::topLevelWidgets();
    TfrmNetSta *found = nullptr;
    for (QWidget *w : all)
        if (auto *b = qobject_cast<TfrmNetSta *>(w))
            found = b;
    return found;
}

void TestNetSta::hideBeforeShowDoesNothing()
{
    HideBusy();
    QVERIFY(!BusyVisible());
    QVERIFY(!busyWindow());
}

void TestNetSta::oneWindowShownAndHidden()
{
    ShowBusy();
    TfrmNetSta *first = busyWindow();
    QVERIFY(first);
    QVERIFY(BusyVisible());
    ShowBusy();
    QCOMPARE(busyWindow(), first);
    HideBusy();
    QVERIFY(!BusyVisible());
    QCOMPARE(busyWindow(), first); // hidden, not destroyed
    HideBusy();
    QVERIFY(!BusyVisible());
}

void TestNetSta::lookAndPlace()
{
    ShowBusy();
    TfrmNetSta *w = busyWindow();
    QVERIFY(w);
    QCOMPARE(w->size(), QSize(179, 89));
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(w->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(w->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(w->font().family(), QStringLiteral("宋体"));
    QCOMPARE(w->font().pixelSize(), 12);
    QVERIFY(w->Label1);
    QCOMPARE(w->Label1->text(), QStringLiteral("读取数据中..."));
    QCOMPARE(w->Label1->pos(), QPoint(56, 40));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    QVERIFY((w->geometry().center() - screenCentre).manhattanLength() <= 2);
    QVERIFY(QApplication::activeWindow() != w);
    HideBusy();
}

void TestNetSta::contextMenuHides()
{
    ShowBusy();
    TfrmNetSta *w = busyWindow();
    QVERIFY(w);
    // Pick the menu's only item as soon as the menu is up.
    QTimer::singleShot(0, [&]() {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("[隐藏]"));
        menu->actions().first()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), w->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(w, &event);
    QVERIFY(!BusyVisible());
}

QTEST_MAIN(TestNetSta)
#include "tst_netsta.moc"
