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

    // Replies report back: CurPage, RecCount and RecCountInPage as a page or totals reply set them, the page line
    // for txtPageInfo and the page's expense total for hj_day_label1.
    std::function<void(const PageInfo &page)> PageInfoChanged;
    std::function<void(const QString &text)> PageInfoText;
    std::function<void(const QString &text)> PageTotalText;
    // A line's menu asks for the recount of its month; the category "+" of a line opens the category dialog.
    std::function<void(const QDateTime &date)> RecountRequested;
    std::function<void()> EditCategories;
};

} // namespace lumora
