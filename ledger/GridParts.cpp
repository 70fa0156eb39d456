#include "GridParts.h"

#include "MonthTotals.h"
#include "RecordPageLoader.h"
#include "grid/TfrmTCLine.h"
#include "grid/TfrmVGrid.h"

#include <QTableWidget>

namespace lumora
{

GridParts::GridParts(QTableWidget *gridHj1, QObject *parent) : QObject(parent)
{
    // The window places the grid; until then it belongs to no one, so keep it alive with this object.
    frmVGrid = new TfrmVGrid;
    frmVGrid->setObjectName(QStringLiteral("frmVGrid"));
    loader = new RecordPageLoader(frmVGrid, this);
    totals = new MonthTotals(gridHj1, &loader->Page, this);

    loader->OnPageInfoText = [this](const QString &text) {
        if (PageInfoChanged)
            PageInfoChanged(loader->Page);
        if (PageInfoText)
            PageInfoText(text);
    };
    loader->OnPageTotalText = [this](const QString &text) {
        if (PageTotalText)
            PageTotalText(text);
    };
    totals->OnShowMainGrid = [this] {
        if (PageInfoChanged)
            PageInfoChanged(loader->Page);
        frmVGrid->show();
    };
    frmVGrid->OnRecountMonth = [this](const QDateTime &date) {
        if (RecountRequested)
            RecountRequested(date);
    };
    frmVGrid->OnEditCategories = [this] {
        if (EditCategories)
            EditCategories();
    };
}

GridParts::~GridParts()
{
    if (frmVGrid && !frmVGrid->parent())
        delete frmVGrid;
}

QWidget *GridParts::gridWidget()
{
    return frmVGrid;
}

bool GridParts::HasUnsavedLines() const
{
    return frmVGrid->HasUnsavedLines();
}

void GridParts::AppendBlankRecord()
{
    frmVGrid->AppendBlankRecord();
}

void GridParts::ScrollToEnd()
{
    frmVGrid->ScrollToEnd();
}

void GridParts::DeleteActiveRecord()
{
    frmVGrid->DeleteActiveRecord();
}

void GridParts::NextLine()
{
    frmVGrid->NextLine();
}

void GridParts::PreviousLine()
{
    frmVGrid->PreviousLine();
}

void GridParts::SendDataQuery(int page, const QString &lines)
{
    loader->SendDataQuery(page, lines);
}

void GridParts::RecountMonth(const QDateTime &date)
{
    totals->RecountMonth(date);
}

} // namespace lumora
