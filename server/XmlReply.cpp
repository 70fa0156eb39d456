#include "XmlReply.h"

#include "Base64Text.h"
#include "GbkText.h"

namespace lumora::service
{

void XmlReply::AppendAttribute(std::string &out, std::string_view name, std::string_view utf8)
{
    // Storage only holds text that arrived as GBK (or was checked for a GBK form), so this never falls back.
    // Base64 and the names are plain ASCII, so no escaping is needed.
    const auto gbk = Utf8ToGbk(utf8);
    out += ' ';
    out += name;
    out += "=\"";
    if (gbk)
        AppendBase64(out, *gbk);
    out += '"';
}

void XmlReply::addResultText(std::string_view name, std::string_view utf8)
{
    AppendAttribute(resultExtras_, name, utf8);
}

void XmlReply::addRow(std::initializer_list<Attribute> utf8Values)
{
    hasData_ = true;
    ++rowCount_;
    rows_ += "<Row";
    for (const auto &[name, value] : utf8Values)
        AppendAttribute(rows_, name, value);
    rows_ += "/>\r\n";
}

void XmlReply::setInfo(long long recCount, long long recCountInPage, long long curPage)
{
    hasInfo_ = true;
    info_[0] = recCount;
    info_[1] = recCountInPage;
    info_[2] = curPage;
}

std::string XmlReply::text() const
{
    std::string out;
    out.reserve(rows_.size() + resultExtras_.size() + 200);
    out += "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<Kessum>\r\n<Result Value=\"";
    out += ok_ ? "1" : "0";
    out += '"';
    out += resultExtras_;
    out += "/>\r\n";
    if (hasData_ || hasInfo_) {
        out += "<Data>\r\n";
        out += rows_;
        out += "</Data>\r\n";
    }
    if (hasInfo_) {
        out += "<Info RecCount=\"" + std::to_string(info_[0]) + "\" RecCountInPage=\"" + std::to_string(info_[1]) +
               "\" CurPage=\"" + std::to_string(info_[2]) + "\"/>\r\n";
    }
    out += "</Kessum>\r\n";
    return out;
}

} // namespace lumora::service
