#include "Reply.h"

#include "Base64.h"

#include "util/ExeFolder.h"
#include "util/Gbk.h"

#include <QFile>
#include <QVarLengthArray>

#include <cstring>
#include <iterator>

namespace lumora
{

LumoraError::LumoraError(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}

std::shared_ptr<pugi::xml_document> ParseXml(const QString &text)
{
    // The document is parsed in place: its names and values point into the UTF-8 text, which lives as long as it.
    struct Parsed {
        QByteArray text;
        pugi::xml_document doc;
    };
    auto parsed = std::make_shared<Parsed>();
    parsed->text = text.toUtf8();
    // Blanks and line ends stay as written: only what was read comes back when the document is saved.
    constexpr unsigned flags = (pugi::parse_full | pugi::parse_ws_pcdata) & ~pugi::parse_eol;
    const pugi::xml_parse_result result =
        parsed->doc.load_buffer_inplace(parsed->text.data(), size_t(parsed->text.size()), flags, pugi::encoding_utf8);
    if (!result) {
        throw LumoraError(QStringLiteral("不是有效的 XML: %1 (位置 %2)")
                              .arg(QString::fromUtf8(result.description()))
                              .arg(result.offset));
    }
    return std::shared_ptr<pugi::xml_document>(parsed, &parsed->doc);
}

std::string SaveXml(const pugi::xml_document &doc)
{
    struct Writer : pugi::xml_writer {
        std::string text;
        void write(const void *data, size_t size) override { text.append(static_cast<const char *>(data), size); }
    } writer;
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling()) {
        node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
        writer.text += "\r\n";
    }
    return std::move(writer.text);
}

pugi::xml_node FirstChildElement(const pugi::xml_node &parent, const char *name)
{
    for (pugi::xml_node node = parent.child(name); node; node = node.next_sibling(name)) {
        if (node.type() == pugi::node_element)
            return node;
    }
    return {};
}

void SetAttribute(pugi::xml_node element, const char *name, const char *value)
{
    pugi::xml_attribute attribute = element.attribute(name);
    (attribute ? attribute : element.append_attribute(name)).set_value(value);
}

namespace
{
// Decoded on the stack straight from the parsed text: a page reads thousands of short values.
QString decodeValue(const char *value)
{
    const QByteArrayView text(value);
    QVarLengthArray<char, 256> bytes(Base64DecodedBound(text.size()));
    return FromGbk(QByteArrayView(bytes.data(), Base64DecodeInto(text, bytes.data())));
}
} // namespace

Reply ParseReply(const QString &text)
{
    Reply reply;
    reply.doc = ParseXml(text);
    const pugi::xml_node root = reply.doc->document_element();
    reply.result = FirstChildElement(root, "Result");
    reply.data = FirstChildElement(root, "Data");
    reply.info = FirstChildElement(root, "Info");
    return reply;
}

QList<pugi::xml_node> ReplyRows(const Reply &reply)
{
    QList<pugi::xml_node> rows;
    for (pugi::xml_node row = reply.data.first_child(); row; row = row.next_sibling()) {
        if (row.type() == pugi::node_element)
            rows.append(row);
    }
    return rows;
}

QString RowText(const pugi::xml_node &row, const char *attribute, bool *present)
{
    const pugi::xml_attribute value = row.attribute(attribute);
    if (present)
        *present = bool(value);
    return value ? decodeValue(value.value()) : QString();
}

void ReadRecordRow(const pugi::xml_node &row, TItemInfo &info)
{
    RecordRowReader().Read(row, info);
}

void RecordRowReader::Read(const pugi::xml_node &row, TItemInfo &info)
{
    static constexpr struct {
        const char *name;
        QString TItemInfo::*field;
    } fields[] = {
        {"id_guid", &TItemInfo::id_guid},
        {"id", &TItemInfo::id},
        {"name1", &TItemInfo::name1},
        {"in1", &TItemInfo::in1},
        {"money1", &TItemInfo::money1},
        {"type1", &TItemInfo::type1},
        {"create_time", &TItemInfo::create_time},
        {"input_user", &TItemInfo::input_user},
        {"is_lock", &TItemInfo::is_lock},
    };
    static_assert(std::size(fields) == FieldCount);
    // One pass over the row's attributes; of two with the same name the first counts, as in a look-up by name.
    // The search starts after the field found last, so attributes in the usual order match at the first try.
    unsigned taken = 0;
    unsigned next = 0;
    for (const pugi::xml_attribute &attribute : row.attributes()) {
        for (unsigned tried = 0; tried < FieldCount; ++tried) {
            const unsigned f = (next + tried) % FieldCount;
            if (std::strcmp(attribute.name(), fields[f].name) != 0)
                continue;
            if (!(taken & (1u << f))) {
                const char *raw = attribute.value();
                if (!raw_[f] || std::strcmp(raw_[f], raw) != 0) {
                    raw_[f] = raw;
                    text_[f] = decodeValue(raw);
                }
                info.*fields[f].field = text_[f];
            }
            taken |= 1u << f;
            next = f + 1;
            break;
        }
    }
}

bool ReadPageInfo(const Reply &reply, PageInfo &page)
{
    if (!reply.info)
        return false;
    const struct {
        const char *name;
        int PageInfo::*field;
    } fields[] = {
        {"RecCount", &PageInfo::RecCount},
        {"RecCountInPage", &PageInfo::RecCountInPage},
        {"CurPage", &PageInfo::CurPage},
    };
    for (const auto &f : fields) {
        const pugi::xml_attribute found = reply.info.attribute(f.name);
        if (!found)
            continue;
        const QString text = QString::fromUtf8(found.value());
        bool ok = false;
        const int value = text.trimmed().toInt(&ok, 10);
        if (!ok)
            throw LumoraError(QStringLiteral("'%1' 不是有效的整数 (%2)").arg(text, QLatin1String(f.name)));
        page.*f.field = value;
    }
    return true;
}

MonthTotalRow ReadMonthTotalRow(const pugi::xml_node &row)
{
    MonthTotalRow total;
    total.money1 = RowText(row, "money1", &total.hasMoney1);
    total.money_in1 = RowText(row, "money_in1", &total.hasMoneyIn1);
    total.money_ye1 = RowText(row, "money_ye1", &total.hasMoneyYe1);
    total.year1 = RowText(row, "year1", &total.hasYear1);
    total.month1 = RowText(row, "month1", &total.hasMonth1);
    return total;
}

void CopyRecordId(pugi::xml_node row)
{
    if (const pugi::xml_attribute id = row.attribute("id_guid"))
        SetAttribute(row, "ID_Guid", id.value());
}

namespace
{
// The dumps are for inspection only: a failed write is not worth a message.
void writeQuietly(const QString &name, QByteArrayView bytes)
{
    // Written over the old text and cut to length afterwards: a file system may write a file emptied and written
    // again out to disk at once, which costs many times the dump itself.
    QFile file(ExeFolder() + name);
    if (file.open(QIODevice::ReadWrite) && file.write(bytes.data(), bytes.size()) == bytes.size())
        file.resize(bytes.size());
}
} // namespace

void WriteDebugDump(const QString &replyText)
{
    // Every line ends in CR LF, whichever break it had; a break at the very end ends the last line.
    QString text;
    text.reserve(replyText.size() + replyText.size() / 64 + 2);
    const QChar *begin = replyText.constData();
    const qsizetype size = replyText.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = begin[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        text.append(begin + start, i - start).append(QLatin1String("\r\n"));
        if (c == u'\r' && i + 1 < size && begin[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        text.append(begin + start, size - start).append(QLatin1String("\r\n"));
    writeQuietly(QStringLiteral("debug.xml"), ToGbk(text));
}

void WriteDataDump(const Reply &reply)
{
    const std::string text = reply.doc ? SaveXml(*reply.doc) : std::string();
    // GBK keeps ASCII as it is, and a reply is mostly ASCII (Base64 values, tags): such text skips the converter.
    unsigned char bits = 0;
    for (const char c : text)
        bits |= static_cast<unsigned char>(c);
    if (bits < 0x80)
        writeQuietly(QStringLiteral("data.xml"), text);
    else
        writeQuietly(QStringLiteral("data.xml"), ToGbk(QString::fromUtf8(text.data(), qsizetype(text.size()))));
}

} // namespace lumora
