#pragma once

#include <QRect>
#include <QStyledItemDelegate>

class QPainter;
class QTableWidget;

namespace lumora {

// Owner-draw of the summary grids: header row and first column with their lines, text centred, wrapped in
// data rows when too wide.
void PaintGridCell(QPainter *painter, const QTableWidget *grid, int column, int row, const QRect &rect, bool focused);

// Delegate that paints every cell of a QTableWidget with PaintGridCell (row 0 is the grid's first row).
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit GridCellDelegate(QTableWidget *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QTableWidget *grid_;
};

} // namespace lumora
