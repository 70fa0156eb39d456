#include "TfrmItem.h"

#include "TfrmTCLine.h"

#include "controls/TImagePanel.h"

#include <QLabel>

namespace lumora
{

TfrmItem::TfrmItem(TfrmVGrid *grid, int index, QWidget *parent) : QWidget(parent)
{
    auto *show = new TImagePanel(this);
    show->setBevelOuter(TImagePanel::bvNone);
    show->setColor(Qt::white);
    pnlShowData = show;
    pnlShowData->setObjectName(QStringLiteral("pnlShowData"));
    line = new TfrmTCLine(grid, pnlShowData);
    line->SlotPosition = index;

    pnlHideData = new QWidget(this);
    pnlHideData->setObjectName(QStringLiteral("pnlHideData"));
    pnlHideData->setAutoFillBackground(true);
    QPalette white = pnlHideData->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlHideData->setPalette(white);
    pnlHideData->hide();

    lblIndex = new QLabel(QString::number(index), this);
    lblIndex->hide();

    setFixedHeight(TfrmTCLine::LineHeight);
}

void TfrmItem::setBlank(bool blank)
{
    if (blank == blank_)
        return;
    blank_ = blank;
    // The editor goes hidden too, so a stale copy in it is never a focus or search target.
    line->setVisible(!blank);
    pnlHideData->setVisible(blank);
    if (blank)
        pnlHideData->raise();
}

void TfrmItem::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    pnlShowData->setGeometry(rect());
    pnlHideData->setGeometry(rect());
    line->setGeometry(0, 0, width(), TfrmTCLine::LineHeight);
}

} // namespace lumora
