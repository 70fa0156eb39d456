#pragma once

#include <QHeaderView>
#include <QPointer>
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

// Shows the grid's row 0 as one fixed header row: the row itself is hidden among the data rows and drawn, with
// PaintGridCell, in the grid's column header instead, so it stays at the top while the rows scroll and can never
// become the current cell. The texts stay in row 0's items.
class FixedHeaderRow : public QHeaderView
{
    Q_OBJECT
public:
    // Installs itself as the grid's column header.
    explicit FixedHeaderRow(QTableWidget *grid);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    void hideRowZero();

    // The grid's model resets once more while the grid is being destroyed; by then this is null.
    QPointer<QTableWidget> grid_;
};

} // namespace lumora
