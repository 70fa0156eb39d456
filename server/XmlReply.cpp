#include "XmlReply.h"

#include "Base64Text.h"
#include "GbkText.h"

namespace lumora::service
{

std::string XmlReply::Encoded(const std::string &utf8)
{
    // Storage only holds text that arrived as GBK (or was checked for a GBK form), so this never falls back.
    auto gbk = Utf8ToGbk(utf8);
    return Base64Encode(gbk ? *gbk : std::string());
}

void XmlReply::addResultText(const std::string &name, const std::string &utf8)
{
    resultExtras_.emplace_back(name, Encoded(utf8));
}

void XmlReply::addRow(const Attributes &utf8Values)
{
    hasData_ = true;
    Attributes encoded;
    encoded.reserve(utf8Values.size());
    for (const auto &[name, value] : utf8Values)
        encoded.emplace_back(name, Encoded(value));
    rows_.push_back(std::move(encoded));
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
    // Attribute values are Base64 or decimal numbers, so no escaping is needed.
    std::string out = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<Kessum>\r\n";
    out += "<Result Value=\"";
    out += ok_ ? "1" : "0";
    out += '"';
    for (const auto &[name, value] : resultExtras_)
        out += " " + name + "=\"" + value + '"';
    out += "/>\r\n";
    if (hasData_ || hasInfo_) {
        out += "<Data>\r\n";
        for (const auto &row : rows_) {
            out += "<Row";
            for (const auto &[name, value] : row)
                out += " " + name + "=\"" + value + '"';
            out += "/>\r\n";
        }
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
