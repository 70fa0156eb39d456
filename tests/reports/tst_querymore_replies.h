#pragma once

// Reply texts in the service's shape for the query window's tests and benchmark.

#include "core/Base64.h"
#include "util/Gbk.h"

#include <QList>
#include <QPair>
#include <QString>

namespace lumora::test
{

using Attributes = QList<QPair<QString, QString>>;

inline QString EncodedRow(const Attributes &attributes)
{
    QString row = QStringLiteral("<Row");
    for (const auto &[name, value] : attributes)
        row += QStringLiteral(" %1=\"%2\"").arg(name, QString::fromLatin1(Base64EncodeLine(ToGbk(value))));
    return row + QStringLiteral("/>");
}

// A record entered by the given user.
inline QString RecordRowBy(const QString &user, const QString &name, const QString &money, const QString &in1,
                           const QString &type, const QString &date)
{
    return EncodedRow({{QStringLiteral("id_guid"), QStringLiteral("{0}")},
                       {QStringLiteral("id"), QStringLiteral("1")},
                       {QStringLiteral("name1"), name},
                       {QStringLiteral("money1"), money},
                       {QStringLiteral("in1"), in1},
                       {QStringLiteral("type1"), type},
                       {QStringLiteral("create_time"), date},
                       {QStringLiteral("input_user"), user},
                       {QStringLiteral("is_lock"), QStringLiteral("0")}});
}

inline QString RecordRow(const QString &name, const QString &money, const QString &in1, const QString &type,
                         const QString &date)
{
    return RecordRowBy(QStringLiteral("me"), name, money, in1, type, date);
}

inline QString TotalRow(const QString &type, const QString &money)
{
    return EncodedRow({{QStringLiteral("type1"), type}, {QStringLiteral("money1"), money}});
}

// matching is the service's count of records found; -1 for as many as the rows.
inline QString ReplyWithRows(const QStringList &rows, qsizetype matching = -1)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"gbk\"?><Root><Result Value=\"1\"/><Data>") +
           rows.join(QString()) +
           QStringLiteral("</Data><Info RecCount=\"%1\" RecCountInPage=\"1000\" CurPage=\"0\"/></Root>")
               .arg(matching < 0 ? rows.size() : matching);
}

// Records of four users, one of them unlabelled and one with income only: by expense 张三 52.50, 李四 45.00,
// the unlabelled 30.00, 王五 0.00; 127.50 in all.
inline QStringList HouseholdRows()
{
    return {
        RecordRowBy(QStringLiteral("张三"), QStringLiteral("午饭"), QStringLiteral("12.5"), QStringLiteral("0"),
                    QStringLiteral("餐饮"), QStringLiteral("2014-03-02")),
        RecordRowBy(QString(), QStringLiteral("打车"), QStringLiteral("30"), QStringLiteral("0"),
                    QStringLiteral("交通"), QStringLiteral("2014-03-03")),
        RecordRowBy(QStringLiteral("李四"), QStringLiteral("书"), QStringLiteral("45"), QStringLiteral("0"),
                    QStringLiteral("文化"), QStringLiteral("2014-03-04")),
        RecordRowBy(QStringLiteral("张三"), QStringLiteral("工资"), QStringLiteral("5000"), QStringLiteral("1"),
                    QStringLiteral("工资"), QStringLiteral("2014-03-05")),
        RecordRowBy(QStringLiteral("王五"), QStringLiteral("奖金"), QStringLiteral("200"), QStringLiteral("1"),
                    QStringLiteral("工资"), QStringLiteral("2014-03-06")),
        RecordRowBy(QStringLiteral("张三"), QStringLiteral("电影"), QStringLiteral("40"), QStringLiteral("0"),
                    QStringLiteral("娱乐"), QStringLiteral("2014-03-07")),
    };
}

} // namespace lumora::test
