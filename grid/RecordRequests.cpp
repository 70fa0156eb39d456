#include "RecordRequests.h"

#include "core/Conversions.h"
#include "core/DateText.h"
#include "core/Protocol.h"
#include "core/Session.h"

namespace lumora::RecordRequests
{

namespace
{
QString Line(const QString &name, const QString &value)
{
    return name + QLatin1Char('=') + value + QStringLiteral("\r\n");
}
} // namespace

bool ReadRecordDate(const QString &createTimeField, TItemInfo &info)
{
    const auto date = TextToDateTime(ToHalfWidth(createTimeField));
    if (!date)
        return false;
    info.year1 = QString::number(date->date().year());
    info.month1 = QString::number(date->date().month());
    info.day1 = QString::number(date->date().day());
    return true;
}

void StoreFieldTexts(TItemInfo &info, const QString &name1, const QString &money1, const QString &in1,
                     const QString &type1, const QString &createTime)
{
    info.name1 = name1;
    info.money1 = ToHalfWidth(money1);
    info.in1 = InOutToCode(in1);
    info.type1 = type1;
    info.create_time = ToHalfWidth(createTime);
}

bool HoldsSentFields(const TItemInfo &record, const TItemInfo &sent)
{
    // The record keeps the amount and date as typed once edited again; compare them as a request sends them.
    return record.name1 == sent.name1 && ToHalfWidth(record.money1) == sent.money1 && record.in1 == sent.in1 &&
           record.type1 == sent.type1 && ToHalfWidth(record.create_time) == sent.create_time;
}

QString RecordLines(const TItemInfo &info)
{
    return Line(QStringLiteral("name1"), info.name1) + Line(QStringLiteral("money1"), info.money1) +
           Line(QStringLiteral("in1"), info.in1) + Line(QStringLiteral("type1"), info.type1) +
           Line(QStringLiteral("create_time"), info.create_time) + Line(QStringLiteral("year1"), info.year1) +
           Line(QStringLiteral("month1"), info.month1) + Line(QStringLiteral("day1"), info.day1) +
           Line(QStringLiteral("date1"), info.year1 + QLatin1Char('-') + info.month1 + QLatin1Char('-') + info.day1) +
           Line(QStringLiteral("id_guid"), info.id_guid);
}

QString SaveBody(const TItemInfo &info)
{
    return SessionBlock() + protocol::ActionAdd + QStringLiteral("\r\n") +
           Line(QStringLiteral("user_name"), SessionUser) + Line(QStringLiteral("user_pass"), SessionPassword) +
           Line(QStringLiteral("input_user"), SessionInputUser) + RecordLines(info);
}

QString LockBody(const TItemInfo &info)
{
    return SessionBlock() + protocol::ActionLock + QStringLiteral("\r\n") + RecordLines(info);
}

QString DeleteBody(const QString &idGuid)
{
    return SessionBlock() + protocol::ActionDel + QStringLiteral("\r\n") + Line(QStringLiteral("id_guid"), idGuid);
}

} // namespace lumora::RecordRequests
