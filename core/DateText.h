#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace lumora {

// The one date convention of the program: read "yyyy-m-d" with or without leading zeros, optionally followed by a
// blank and "h:mm[:ss]"; write "yyyy-mm-dd", and date-times with the time left out at midnight.
// Dates that do not exist (2009-02-29, 2009-4-31, month 13) fail to convert.

// Date only; a text with a time part fails.
std::optional<QDate> TextToDate(const QString &text);
// Date with an optional time part.
std::optional<QDateTime> TextToDateTime(const QString &text);

QString DateToText(const QDate &date);             // "2009-01-31"
QString DateTimeToText(const QDateTime &dateTime); // "2009-01-31" at midnight, else "2009-01-31 8:05:09"

// Sets the process-wide formats (the default locale); called first at program entry.
void SetProcessDateFormats();

} // namespace lumora
