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
        if (PageInfoText)
            PageInfoText(text);
    };
    loader->OnPageTotalText = [this](const QString &text) {
        if (PageTotalText)
            PageTotalText(text);
    };
    totals->OnShowMainGrid = [this] { frmVGrid->show(); };
    loader->MayLoadPage = [this] {
        // Edits the question at sending time covered may go; newer ones are asked about again.
        if (!HasUnsavedLines() || UnsavedState() == unsavedAtSend_)
            return true;
        return !ConfirmReplacePage || ConfirmReplacePage();
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

void GridParts::BuildLinesWhileIdle(QWidget *window)
{
    frmVGrid->BuildSlotsWhileIdle(window);
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

QStringList GridParts::UnsavedState() const
{
    QStringList state;
    const auto add = [&state](int index, const TItemInfo &info) {
        state << QString::number(index) + QLatin1Char('\x1f') +
                     QStringList{info.id_guid, info.name1,       info.in1,        info.money1,
                                 info.type1,   info.create_time, info.input_user, info.is_lock}
                         .join(QLatin1Char('\x1f'));
    };
    for (int i = 0; i < frmVGrid->RecordCount(); ++i)
        if (frmVGrid->RecordList[i].Modified)
            add(i, frmVGrid->RecordList[i]);
    // An editor's copy counts while it shows a record, as HasUnsavedLines counts it. Taken as a query goes out,
    // so it must not wait for editors not built yet.
    for (const TfrmTCLine *line : frmVGrid->BuiltLines())
        if (!line->isHidden() && line->Info.Modified)
            add(line->RecordIndex, line->Info);
    return state;
}

void GridParts::SendDataQuery(int page, const QString &lines)
{
    unsavedAtSend_ = UnsavedState();
    loader->SendDataQuery(page, lines);
}

PageInfo &GridParts::Page()
{
    return loader->Page;
}

void GridParts::RecountMonth(const QDateTime &date)
{
    totals->RecountMonth(date);
}

} // namespace lumora
