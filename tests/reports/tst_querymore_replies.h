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

inline QString RecordRow(const QString &name, const QString &money, const QString &in1, const QString &type,
                         const QString &date)
{
    return EncodedRow({{QStringLiteral("id_guid"), QStringLiteral("{0}")},
                       {QStringLiteral("id"), QStringLiteral("1")},
                       {QStringLiteral("name1"), name},
                       {QStringLiteral("money1"), money},
                       {QStringLiteral("in1"), in1},
                       {QStringLiteral("type1"), type},
                       {QStringLiteral("create_time"), date},
                       {QStringLiteral("input_user"), QStringLiteral("me")},
                       {QStringLiteral("is_lock"), QStringLiteral("0")}});
}

inline QString TotalRow(const QString &type, const QString &money)
{
    return EncodedRow({{QStringLiteral("type1"), type}, {QStringLiteral("money1"), money}});
}

inline QString ReplyWithRows(const QStringList &rows)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"gbk\"?><Root><Result Value=\"1\"/><Data>") +
           rows.join(QString()) +
           QStringLiteral("</Data><Info RecCount=\"%1\" RecCountInPage=\"1000\" CurPage=\"0\"/></Root>")
               .arg(rows.size());
}

} // namespace lumora::test
