#pragma once

#include "QueryReply.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace lumora
{

// The rows as a spreadsheet reads them: UTF-8 with a byte-order mark (else the Chinese comes out garbled),
// comma-separated, CR LF line ends, a field quoted when it holds a comma, a quote or a line break, quotes doubled.
// Header 名称,金额,收入/支出,类型,日期,输入者; one line per row in the given order.
QByteArray RecordsCsv(const QList<QueryRecordRow> &rows);

// "费用_<start>_<end>.csv"; characters no file name may hold become "-".
QString ExportFileName(const QString &begin, const QString &end);

// Writes the bytes to a temporary file beside the path and renames it over the path, so a failed write leaves
// neither a partial file nor a changed old one. On failure reason says why.
bool WriteWholeFile(const QString &path, const QByteArray &bytes, QString *reason);

} // namespace lumora
