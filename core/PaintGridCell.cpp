#include "PaintGridCell.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTableWidget>

namespace lumora
{

namespace
{
const QColor kHeaderColor(0xF9, 0xF9, 0xF9);
}

void PaintGridCell(QPainter *painter, const QTableWidget *grid, int column, int row, const QRect &rect, bool focused)
{
    painter->save();
    const QPalette palette = grid->palette();
    QRect r = rect;
    painter->fillRect(r, palette.color(QPalette::Base));
    painter->setPen(palette.color(QPalette::WindowText));
    if (row == 0) {
        r.adjust(0, 0, 1, 1);
        painter->fillRect(r, kHeaderColor);
        const int left = r.left();
        const int top = r.top();
        const int right = r.left() + r.width();  // exclusive edge, as the canvas counts it
        const int bottom = r.top() + r.height(); // exclusive
        painter->drawLine(left, top, right - 1, top);
        painter->drawLine(right - 1, top, right - 1, bottom - 1);
        painter->drawLine(right - 1, bottom - 1, left - 1, bottom - 1);
    }
    if (column == 0) {
        r.adjust(0, 0, 1, 1);
        const int bottom = r.top() + r.height();
        painter->drawLine(r.left(), r.top(), r.left(), bottom - 1);
    }
    if (focused) {
        QStyleOptionFocusRect option;
        option.initFrom(grid);
        option.rect = r;
        grid->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, painter, grid);
    }
    painter->setPen(palette.color(QPalette::Text));
    r.adjust(1, 0, -1, 0);
    const QTableWidgetItem *item = grid->item(row, column);
    const QString text = item ? item->text() : QString();
    painter->setFont(grid->font());
    int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;
    if (row != 0 && painter->fontMetrics().horizontalAdvance(text) > r.width())
        flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap;
    painter->drawText(r, flags, text);
    painter->restore();
}

GridCellDelegate::GridCellDelegate(QTableWidget *grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    PaintGridCell(painter, grid_, index.column(), index.row(), option.rect,
                  option.state.testFlag(QStyle::State_HasFocus));
}

FixedHeaderRow::FixedHeaderRow(QTableWidget *grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setFocusPolicy(Qt::NoFocus);
    grid->setHorizontalHeader(this);
    show();
    // A widget says it is destroyed before its children (the model among them) go.
    connect(grid, &QObject::destroyed, this, [this] { grid_ = nullptr; });
    // Row 0 is hidden again whenever rows come and go, so it never shows among the data rows.
    connect(grid->model(), &QAbstractItemModel::rowsInserted, this, &FixedHeaderRow::hideRowZero);
    connect(grid->model(), &QAbstractItemModel::modelReset, this, &FixedHeaderRow::hideRowZero);
    // A header text set through the item repaints the header.
    connect(grid->model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &topLeft) {
        if (topLeft.row() == 0)
            viewport()->update();
    });
    hideRowZero();
}

QSize FixedHeaderRow::sizeHint() const
{
    // As high as one data row.
    return QSize(QHeaderView::sizeHint().width(), grid_->verticalHeader()->defaultSectionSize());
}

void FixedHeaderRow::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // PaintGridCell widens a header cell by the grid line a data cell leaves out.
    PaintGridCell(painter, grid_, logicalIndex, 0, rect.adjusted(0, 0, -1, -1), false);
}

void FixedHeaderRow::hideRowZero()
{
    if (grid_ && grid_->rowCount() > 0 && !grid_->isRowHidden(0))
        grid_->setRowHidden(0, true);
}

} // namespace lumora
