#pragma once

#include "core/Base64.h"
#include "util/Gbk.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace lumora::test
{

// The "name=value" lines of a posted form body, values decoded from GBK percent-encoding.
inline QStringList WireLines(const QByteArray &body)
{
    QStringList lines;
    for (const QByteArray &part : body.split('&')) {
        if (part.isEmpty())
            continue;
        QByteArray raw = part;
        raw.replace('+', ' ');
        lines << FromGbk(QByteArray::fromPercentEncoding(raw));
    }
    return lines;
}

// The lines from the action line on: what the window adds after the session block.
inline QStringList ActionLines(const QByteArray &body)
{
    const QStringList lines = WireLines(body);
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(QLatin1String("action=")))
            return lines.mid(i);
    return {};
}

inline QString WireValue(const QByteArray &body, const QString &name)
{
    for (const QString &line : WireLines(body))
        if (line.startsWith(name + QLatin1Char('=')))
            return line.mid(name.size() + 1);
    return {};
}

inline QString Attr(const QString &name, const QString &value)
{
    return QStringLiteral(" %1=\"%2\"").arg(name, QString::fromLatin1(Base64EncodeLine(ToGbk(value))));
}

// One record row of a page reply from field/value pairs.
inline QString RecordRow(const QList<QPair<QString, QString>> &fields)
{
    QString row = QStringLiteral("<Row");
    for (const auto &f : fields)
        row += Attr(f.first, f.second);
    return row + QStringLiteral("/>");
}

inline QString PageReply(const QStringList &rows, const QString &info)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?><root><Result Value=\"1\"/><Data>") +
           rows.join(QString()) + QStringLiteral("</Data>") + info + QStringLiteral("</root>");
}

inline QString OkReply(bool ok = true)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?><root><Result Value=\"%1\"/></root>")
        .arg(ok ? 1 : 0);
}

} // namespace lumora::test
