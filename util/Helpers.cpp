#include "Helpers.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace lumora {

namespace {
std::function<void(const QString &)> g_shellOpen;

QString asciiLower(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return out;
}
} // namespace

void setShellOpenHandler(std::function<void(const QString &)> handler)
{
    g_shellOpen = std::move(handler);
}

void ShellOpen(const QString &target)
{
    if (g_shellOpen) {
        g_shellOpen(target);
        return;
    }
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl(target);
    QDesktopServices::openUrl(url);
}

QString TextBetween(const QString &text, const QString &start, const QString &end)
{
    const QString lowerText = asciiLower(text);
    qsizetype from = 0;
    if (!start.isEmpty()) {
        const qsizetype at = lowerText.indexOf(asciiLower(start));
        if (at < 0)
            return {};
        from = at + start.size();
    }
    const QString rest = text.mid(from);
    if (end.isEmpty())
        return rest;
    const qsizetype stop = lowerText.mid(from).indexOf(asciiLower(end));
    return stop < 0 ? rest : rest.left(stop);
}

} // namespace lumora
