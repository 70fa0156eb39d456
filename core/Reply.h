#pragma once

#include "ItemInfo.h"

#include <QList>
#include <QString>

#include <pugixml.hpp>

#include <memory>
#include <stdexcept>
#include <string>

namespace lumora
{

// The error a reply handler raises; inside OnHttpData it becomes the component's OnHttpError.
class LumoraError : public std::runtime_error
{
public:
    explicit LumoraError(const QString &message);
    QString message() const { return message_; }

private:
    QString message_;
};

// Parses text that is already Unicode, keeping everything the document holds (declaration, document type,
// comments, instructions, blanks and line ends as written), so that SaveXml writes back what was read. Throws
// LumoraError when the text is not well-formed or has no document element.
std::shared_ptr<pugi::xml_document> ParseXml(const QString &text);
// The document as UTF-8 text, unindented, every top-level node ended by CR LF.
std::string SaveXml(const pugi::xml_document &doc);
// The first child element of that name; null when there is none (instructions have names too).
pugi::xml_node FirstChildElement(const pugi::xml_node &parent, const char *name);
// Gives an attribute the element has a new value; otherwise adds the attribute after the others.
void SetAttribute(pugi::xml_node element, const char *name, const char *value);

// A parsed reply: the first "Result", "Data" and "Info" among the document element's children (each may be null).
struct Reply {
    std::shared_ptr<pugi::xml_document> doc;
    pugi::xml_node result;
    pugi::xml_node data;
    pugi::xml_node info;
};

// Throws LumoraError when the text is not well-formed XML. The text is already Unicode (the component decoded GBK).
Reply ParseReply(const QString &text);

// Element children of "Data" in document order, whatever their names; empty when "Data" is missing. The rows
// point into the reply's document, so a reply about to go cannot hand them out.
QList<pugi::xml_node> ReplyRows(const Reply &reply);
QList<pugi::xml_node> ReplyRows(Reply &&reply) = delete;

// Base64-decoded GBK value of a row attribute; present is false (and the result empty) when the row lacks it.
QString RowText(const pugi::xml_node &row, const char *attribute, bool *present = nullptr);

// Sets each field of info whose attribute the row has; missing attributes are skipped.
void ReadRecordRow(const pugi::xml_node &row, TItemInfo &info);

// ReadRecordRow for the rows of one document in turn. The rows of a page repeat most values (kind, category, date,
// entering user, lock), so a value written as in the row before is shared instead of decoded again. It keeps
// pointers into the document: use it only while the document lives.
class RecordRowReader
{
public:
    void Read(const pugi::xml_node &row, TItemInfo &info);

private:
    static constexpr int FieldCount = 9;
    const char *raw_[FieldCount] = {};
    QString text_[FieldCount];
};

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
MonthTotalRow ReadMonthTotalRow(const pugi::xml_node &row);

// Adds a copy of the row's "id_guid" as "ID_Guid", which only shows in data.xml.
void CopyRecordId(pugi::xml_node row);

// The two reply dumps in ExeFolder: the raw text with CR LF after every line, and the parsed document (an empty
// file for a reply without one).
void WriteDebugDump(const QString &replyText);
void WriteDataDump(const Reply &reply);

} // namespace lumora
