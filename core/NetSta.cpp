#include "NetSta.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScreen>

namespace lumora
{

namespace
{
QPointer<TfrmNetSta> g_busy;

void destroyBusy()
{
    delete g_busy.data();
}
} // namespace

TfrmNetSta::TfrmNetSta(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmNetSta"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Only the text shows over the windows below.
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(179, 89);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(12);
    setFont(f);
    Label1 = new QLabel(QStringLiteral("读取数据中..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(56, 40);
    Label1->adjustSize();
}

void TfrmNetSta::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *n1 = menu.addAction(QStringLiteral("[隐藏]"));
    n1->setObjectName(QStringLiteral("N1"));
    connect(n1, &QAction::triggered, this, &QWidget::hide);
    menu.exec(event->globalPos());
}

void ShowBusy()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (!g_busy) {
        g_busy = new TfrmNetSta;
        qAddPostRoutine(destroyBusy);
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            g_busy->move(area.center() - QPoint(g_busy->width() / 2, g_busy->height() / 2));
        }
    }
    g_busy->show();
}

void HideBusy()
{
    if (g_busy)
        g_busy->hide();
}

bool BusyVisible()
{
    return g_busy && g_busy->isVisible();
}

} // namespace lumora
