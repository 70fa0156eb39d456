#pragma once

#include "ItemInfo.h"
#include "ReplyDocument.h"

#include <QList>
#include <QString>

#include <stdexcept>

namespace lumora {

// The error a reply handler raises; inside OnHttpData it becomes the component's OnHttpError.
class LumoraError : public std::runtime_error
{
public:
    explicit LumoraError(const QString &message);
    QString message() const { return message_; }

private:
    QString message_;
};

// A parsed reply: the first "Result", "Data" and "Info" among the document element's children (each may be null).
struct Reply {
    std::shared_ptr<ReplyDocument> doc;
    ReplyElement result;
    ReplyElement data;
    ReplyElement info;
};

// Throws LumoraError when the text is not well-formed XML. The text is already Unicode (the component decoded GBK).
Reply ParseReply(const QString &text);

// Element children of "Data" in document order, whatever their names; empty when "Data" is missing.
QList<ReplyElement> ReplyRows(const Reply &reply);

// Base64-decoded GBK value of a row attribute; present is false (and the result empty) when the row lacks it.
QString RowText(const ReplyElement &row, const QString &attribute, bool *present = nullptr);

// Sets each field of info whose attribute the row has; missing attributes are skipped.
void ReadRecordRow(const ReplyElement &row, TItemInfo &info);

struct PageInfo {
    int RecCount = 0;
    int RecCountInPage = 0;
    int CurPage = 0;
};

// Reads the "Info" attributes that are present; a value that is not a decimal integer throws LumoraError.
// Returns false when there is no "Info".
bool ReadPageInfo(const Reply &reply, PageInfo &page);

// A month-totals row of "action=add_sum"; absent attributes stay empty and their flag false.
struct MonthTotalRow {
    QString money1, money_in1, money_ye1, year1, month1;
    bool hasMoney1 = false, hasMoneyIn1 = false, hasMoneyYe1 = false, hasYear1 = false, hasMonth1 = false;
};
MonthTotalRow ReadMonthTotalRow(const ReplyElement &row);

// The two reply dumps in ExeFolder: the raw text with CR LF after every line, and the parsed document (an empty
// file for a reply without one).
void WriteDebugDump(const QString &replyText);
void WriteDataDump(const Reply &reply);

} // namespace lumora
