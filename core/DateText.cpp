#include "DateText.h"

#include <QLocale>
#include <QRegularExpression>

namespace lumora
{

namespace
{
const QRegularExpression &datePattern()
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?: +(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    return re;
}

std::optional<QDateTime> parse(const QString &text, bool allowTime)
{
    const QRegularExpressionMatch m = datePattern().match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (m.hasCaptured(4)) {
        if (!allowTime)
            return std::nullopt;
        const int seconds = m.hasCaptured(6) ? m.captured(6).toInt() : 0;
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), seconds);
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time);
}
} // namespace

std::optional<QDate> TextToDate(const QString &text)
{
    const auto value = parse(text, false);
    if (!value)
        return std::nullopt;
    return value->date();
}

std::optional<QDateTime> TextToDateTime(const QString &text)
{
    return parse(text, true);
}

QString DateToText(const QDate &date)
{
    if (!date.isValid())
        return {};
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString DateTimeToText(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return {};
    const QTime time = dateTime.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return DateToText(dateTime.date());
    return DateToText(dateTime.date()) + QLatin1Char(' ') + time.toString(QStringLiteral("H:mm:ss"));
}

void SetProcessDateFormats()
{
    // QLocale's date formats cannot be replaced, so the program converts dates only through the functions above;
    // the default locale is chosen for the calendar's Chinese names and a "." decimal point without grouping.
    QLocale locale(QLocale::Chinese, QLocale::China);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(locale);
}

} // namespace lumora
