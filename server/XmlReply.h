#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace lumora::service
{

// The reply envelope: "Result" with "Value", optional "Data" rows and "Info". Row values and the extra Result
// attributes are given as UTF-8 and sent as Base64 of GBK; the document itself is then plain ASCII.
class XmlReply
{
public:
    using Attribute = std::pair<std::string_view, std::string_view>;

    explicit XmlReply(bool ok = false) : ok_(ok) {}

    void setOk(bool ok) { ok_ = ok; }
    bool ok() const { return ok_; }
    void addResultText(std::string_view name, std::string_view utf8);
    void addRow(std::initializer_list<Attribute> utf8Values);
    void setInfo(long long recCount, long long recCountInPage, long long curPage);
    size_t rowCount() const { return rowCount_; }

    std::string text() const;

private:
    static void AppendAttribute(std::string &out, std::string_view name, std::string_view utf8);

    bool ok_;
    std::string resultExtras_; // encoded attributes, each with its leading blank
    std::string rows_;         // encoded row elements
    size_t rowCount_ = 0;
    bool hasData_ = false;
    bool hasInfo_ = false;
    long long info_[3] = {0, 0, 0};
};

} // namespace lumora::service
