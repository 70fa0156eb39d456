#include "Reply.h"

#include "Base64.h"

#include "util/ExeFolder.h"
#include "util/Gbk.h"

#include <QFile>
#include <QVarLengthArray>

namespace lumora
{

LumoraError::LumoraError(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}

Reply ParseReply(const QString &text)
{
    Reply reply;
    reply.doc = ReplyDocument::Parse(text);
    const ReplyElement root = reply.doc->documentElement();
    reply.result = root.firstChildElement(u"Result");
    reply.data = root.firstChildElement(u"Data");
    reply.info = root.firstChildElement(u"Info");
    return reply;
}

QList<ReplyElement> ReplyRows(const Reply &reply)
{
    QList<ReplyElement> rows;
    for (ReplyElement row = reply.data.firstChildElement(); !row.isNull(); row = row.nextSiblingElement())
        rows.append(row);
    return rows;
}

QString RowText(const ReplyElement &row, const QString &attribute, bool *present)
{
    const QString *value = row.findAttribute(attribute);
    if (present)
        *present = value != nullptr;
    if (!value)
        return {};
    // Decoded on the stack: a page reads thousands of short values.
    QVarLengthArray<char, 256> bytes(Base64DecodedBound(value->size()));
    return FromGbk(QByteArrayView(bytes.data(), Base64DecodeInto(*value, bytes.data())));
}

void ReadRecordRow(const ReplyElement &row, TItemInfo &info)
{
    struct Field {
        QString name;
        QString TItemInfo::*field;
    };
    // Built once: a page reads these names for every row.
    static const Field fields[] = {
        {QStringLiteral("id_guid"), &TItemInfo::id_guid},
        {QStringLiteral("id"), &TItemInfo::id},
        {QStringLiteral("name1"), &TItemInfo::name1},
        {QStringLiteral("in1"), &TItemInfo::in1},
        {QStringLiteral("money1"), &TItemInfo::money1},
        {QStringLiteral("type1"), &TItemInfo::type1},
        {QStringLiteral("create_time"), &TItemInfo::create_time},
        {QStringLiteral("input_user"), &TItemInfo::input_user},
        {QStringLiteral("is_lock"), &TItemInfo::is_lock},
    };
    for (const Field &f : fields) {
        bool present = false;
        QString value = RowText(row, f.name, &present);
        if (present)
            info.*f.field = std::move(value);
    }
}

bool ReadPageInfo(const Reply &reply, PageInfo &page)
{
    if (reply.info.isNull())
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
        const QString name = QString::fromLatin1(f.name);
        const QString *found = reply.info.findAttribute(name);
        if (!found)
            continue;
        const QString &text = *found;
        bool ok = false;
        const int value = text.trimmed().toInt(&ok, 10);
        if (!ok)
            throw LumoraError(QStringLiteral("'%1' 不是有效的整数 (%2)").arg(text, name));
        page.*f.field = value;
    }
    return true;
}

MonthTotalRow ReadMonthTotalRow(const ReplyElement &row)
{
    MonthTotalRow total;
    total.money1 = RowText(row, QStringLiteral("money1"), &total.hasMoney1);
    total.money_in1 = RowText(row, QStringLiteral("money_in1"), &total.hasMoneyIn1);
    total.money_ye1 = RowText(row, QStringLiteral("money_ye1"), &total.hasMoneyYe1);
    total.year1 = RowText(row, QStringLiteral("year1"), &total.hasYear1);
    total.month1 = RowText(row, QStringLiteral("month1"), &total.hasMonth1);
    return total;
}

namespace
{
// The dumps are for inspection only: a failed write is not worth a message.
void writeQuietly(const QString &name, const QByteArray &bytes)
{
    QFile file(ExeFolder() + name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
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
    writeQuietly(QStringLiteral("data.xml"), reply.doc ? ToGbk(reply.doc->toString()) : QByteArray());
}

} // namespace lumora
