#include "RecordsCsv.h"

#include <QSaveFile>

namespace lumora
{

namespace
{

void AppendField(QString &line, const QString &field)
{
    const bool quote = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                       field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
    if (!quote) {
        line += field;
        return;
    }
    QString doubled = field;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    line += QLatin1Char('"') + doubled + QLatin1Char('"');
}

QString CsvLine(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        AppendField(line, fields.at(i));
    }
    return line + QStringLiteral("\r\n");
}

} // namespace

QByteArray RecordsCsv(const QList<QueryRecordRow> &rows)
{
    QString text = CsvLine({QStringLiteral("名称"), QStringLiteral("金额"), QStringLiteral("收入/支出"),
                            QStringLiteral("类型"), QStringLiteral("日期"), QStringLiteral("输入者")});
    for (const QueryRecordRow &row : rows)
        text += CsvLine({row.name1, row.money1, row.inOut, row.type1, row.create_time, row.input_user});
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString ExportFileName(const QString &begin, const QString &end)
{
    QString name = QStringLiteral("费用_%1_%2.csv").arg(begin.trimmed(), end.trimmed());
    for (QChar &c : name)
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            c = QLatin1Char('-');
    return name;
}

bool WriteWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace lumora
