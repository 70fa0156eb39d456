#include "DialogParts.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace lumora
{

void CentreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QPoint topLeft = area.center() - QPoint(window->width() / 2, window->height() / 2);
    window->move(std::max(topLeft.x(), area.left()), std::max(topLeft.y(), area.top()));
}

QFont SimSunFont(int pixelSize)
{
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(pixelSize);
    return font;
}

QFrame *NewBevel(QWidget *parent)
{
    auto *bevel = new QFrame(parent);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    return bevel;
}

QHBoxLayout *ButtonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace lumora
