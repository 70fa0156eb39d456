#include "CategoryList.h"

#include "core/Base64.h"
#include "core/Protocol.h"
#include "core/Session.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"

#include <QFile>
#include <QSaveFile>

namespace lumora
{

QString CategoryListText;

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
}

QStringList SplitCategoryLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QString FirstCategory(const QString &text)
{
    // Any line break ends the first line: a list with LF breaks only must not make the whole list one category.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r') || text.at(i) == QLatin1Char('\n'))
            return text.left(i);
    }
    return text;
}

QString JoinCategoryLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + kCrLf;
    return text;
}

QString CategoryFilePath()
{
    return ExeFolder() + QStringLiteral("nb1.txt");
}

bool ReadCategoryFile(const QString &path, QString &text)
{
    text.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    text = JoinCategoryLines(SplitCategoryLines(FromGbk(bytes)));
    return true;
}

bool WriteCategoryFile(const QString &path, const QStringList &lines)
{
    // Written whole or not at all, so a failure cannot leave a cut list behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(ToGbk(JoinCategoryLines(lines))) < 0)
        return false;
    return file.commit();
}

QString CategoryUploadHead()
{
    return SessionBlock() + protocol::ActionAdd + kCrLf + QStringLiteral("user_name=") + SessionUser + kCrLf +
           QStringLiteral("user_pass=") + SessionPassword + kCrLf + QStringLiteral("input_user=") + SessionInputUser +
           kCrLf;
}

QString CategoryUploadTypeLine(const QString &listText)
{
    return QStringLiteral("type1=") + QString::fromLatin1(Base64EncodeLine(ToGbk(listText)));
}

} // namespace lumora
