#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lumora::service
{

// The reply envelope: "Result" with "Value", optional "Data" rows and "Info". Row values and the extra Result
// attributes are given as UTF-8 and sent as Base64 of GBK; the document itself is then plain ASCII.
class XmlReply
{
public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    explicit XmlReply(bool ok = false) : ok_(ok) {}

    void setOk(bool ok) { ok_ = ok; }
    bool ok() const { return ok_; }
    void addResultText(const std::string &name, const std::string &utf8);
    void addRow(const Attributes &utf8Values);
    void setInfo(long long recCount, long long recCountInPage, long long curPage);
    size_t rowCount() const { return rows_.size(); }

    std::string text() const;

private:
    static std::string Encoded(const std::string &utf8);

    bool ok_;
    Attributes resultExtras_; // already encoded
    std::vector<Attributes> rows_;
    bool hasData_ = false;
    bool hasInfo_ = false;
    long long info_[3] = {0, 0, 0};
};

} // namespace lumora::service
