#include "Reply.h"

#include "Base64.h"

#include "util/ExeFolder.h"
#include "util/Gbk.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace lumora
{

LumoraError::LumoraError(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}

Reply ParseReply(const QString &text)
{
    Reply reply;
    QString error;
    int line = 0;
    int column = 0;
    if (!reply.doc.setContent(text, &error, &line, &column))
        throw LumoraError(
            QStringLiteral("回复不是有效的 XML: %1 (第 %2 行, 第 %3 列)").arg(error).arg(line).arg(column));
    const QDomElement root = reply.doc.documentElement();
    reply.result = root.firstChildElement(QStringLiteral("Result"));
    reply.data = root.firstChildElement(QStringLiteral("Data"));
    reply.info = root.firstChildElement(QStringLiteral("Info"));
    return reply;
}

QList<QDomElement> ReplyRows(const Reply &reply)
{
    QList<QDomElement> rows;
    for (QDomElement row = reply.data.firstChildElement(); !row.isNull(); row = row.nextSiblingElement())
        rows.append(row);
    return rows;
}

namespace
{
// Row values are mostly ASCII, and opening a GBK converter for each of thousands of attributes is what would
// cost most in a page reply.
QString gbkToText(const QByteArray &bytes)
{
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    thread_local QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        return FromGbk(bytes);
    decoder.resetState();
    return decoder.decode(bytes);
}
} // namespace

QString RowText(const QDomElement &row, const QString &attribute, bool *present)
{
    const QDomAttr node = QDomElement(row).attributeNode(attribute);
    if (present)
        *present = !node.isNull();
    if (node.isNull())
        return {};
    return gbkToText(Base64Decode(node.value().toLatin1()));
}

void ReadRecordRow(const QDomElement &row, TItemInfo &info)
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
        if (!reply.info.hasAttribute(name))
            continue;
        const QString text = reply.info.attribute(name);
        bool ok = false;
        const int value = text.trimmed().toInt(&ok, 10);
        if (!ok)
            throw LumoraError(QStringLiteral("'%1' 不是有效的整数 (%2)").arg(text, name));
        page.*f.field = value;
    }
    return true;
}

MonthTotalRow ReadMonthTotalRow(const QDomElement &row)
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
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = replyText.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QString text;
    for (const QString &line : std::as_const(lines))
        text += line + QStringLiteral("\r\n");
    writeQuietly(QStringLiteral("debug.xml"), ToGbk(text));
}

void WriteDataDump(const QDomDocument &doc)
{
    writeQuietly(QStringLiteral("data.xml"), ToGbk(doc.toString()));
}

} // namespace lumora
