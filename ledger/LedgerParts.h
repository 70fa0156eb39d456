#pragma once

#include "core/Reply.h"

#include <QDateTime>
#include <QString>

#include <functional>

class QWidget;

namespace lumora
{

// What the main window needs of the record grid, the page loader and the month totals. The window owns one object
// that provides all of it and only places its grid widget.
class LedgerParts
{
public:
    virtual ~LedgerParts() = default;

    virtual QWidget *gridWidget() = 0;
    // Builds the grid's line editors in the idle time of `window` while it is active (the sign-in dialog), ahead of
    // the grid's first show.
    virtual void BuildLinesWhileIdle(QWidget *window) { (void)window; }

    virtual bool HasUnsavedLines() const = 0;
    virtual void AppendBlankRecord() = 0;
    virtual void ScrollToEnd() = 0;
    // The delete command of the record in the line that owns the focused control: the question, the blank-record
    // check and the request.
    virtual void DeleteActiveRecord() = 0;
    virtual void NextLine() = 0;
    virtual void PreviousLine() = 0;

    // Posts an "action=data" query (the session block goes in front); the reply replaces the page.
    virtual void SendDataQuery(int page, const QString &lines) = 0;
    // Posts "action=add_sum" for the month of date.
    virtual void RecountMonth(const QDateTime &date) = 0;

    // CurPage, RecCount and RecCountInPage of the main window: the one copy, which the queries and the page and
    // totals replies update.
    virtual PageInfo &Page() = 0;

    // Replies report back: the page line for txtPageInfo and the page's expense total for hj_day_label1.
    std::function<void(const QString &text)> PageInfoText;
    std::function<void(const QString &text)> PageTotalText;
    // A line's menu asks for the recount of its month; the category "+" of a line opens the category dialog.
    std::function<void(const QDateTime &date)> RecountRequested;
    std::function<void()> EditCategories;
    // A page reply is about to replace lines that were edited after its query went out, so the question asked
    // when it was sent did not cover them; true replaces the page, false keeps it and drops the reply.
    std::function<bool()> ConfirmReplacePage;
};

} // namespace lumora
