#include "Conversions.h"

#include "HttpThreadControl.h"
#include "NetSta.h"
#include "Reply.h"

#include "util/MessageSeam.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QUuid>

namespace lumora
{

namespace
{
// A reply can be a whole HTML error page; the box shows only its beginning.
constexpr int kShownReplyChars = 300;

void showReplyError(const QString &replyText)
{
    QString shown = replyText;
    if (shown.size() > kShownReplyChars)
        shown = shown.left(kShownReplyChars) + QStringLiteral("...");
    ShowMessage(QStringLiteral("错误: ") + shown);
}

// "true"/"false" in any case, or a number (zero is false).
bool toBoolean(const QString &value, bool *ok)
{
    const QString text = value.trimmed();
    *ok = true;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    const double number = text.toDouble(ok);
    return *ok && number != 0.0;
}
} // namespace

bool IsReplyOk(THttpThreadControl *component)
{
    return IsReplyOk(component ? component->ResponseText : QString());
}

bool IsReplyOk(const QString &replyText)
{
    HideBusy();
    Reply reply;
    try {
        reply = ParseReply(replyText);
    } catch (const LumoraError &) {
        showReplyError(replyText);
        return false;
    }
    const pugi::xml_attribute text = reply.result.attribute("Value");
    if (!text)
        return false;
    bool ok = false;
    const bool value = toBoolean(QString::fromUtf8(text.value()), &ok);
    if (!ok) {
        showReplyError(replyText);
        return false;
    }
    return value;
}

QString NewRecordId()
{
    const QUuid id = QUuid::createUuid();
    if (id.isNull())
        return {};
    return id.toString(QUuid::WithBraces).toUpper();
}

QString ToHalfWidth(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'。')
            out += QLatin1Char('.');
        else if (u == u'：')
            out += QLatin1Char(':');
        else if (u >= u'０' && u <= u'９')
            out += QChar(u'0' + (u - u'０'));
        else
            out += c;
    }
    qsizetype begin = 0;
    qsizetype end = out.size();
    while (begin < end && out.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && out.at(end - 1).unicode() <= 32)
        --end;
    return out.mid(begin, end - begin);
}

QString InOutToCode(const QString &text)
{
    return text == QStringLiteral("支出") ? QStringLiteral("0") : QStringLiteral("1");
}

QString CodeToInOut(const QString &code)
{
    if (code == QLatin1String("0") || code.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("支出");
    return QStringLiteral("收入");
}

QString PickLocalIpv4(const QList<QHostAddress> &addresses)
{
    QString loopback;
    for (const QHostAddress &address : addresses) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        if (!address.isLoopback())
            return address.toString();
        if (loopback.isEmpty())
            loopback = address.toString();
    }
    return loopback;
}

QString LocalIpAddress()
{
    // On Linux the host name usually resolves to 127.0.x.1 only, which would give every member of a household the
    // same label: the interfaces come next.
    QList<QHostAddress> addresses;
    const QHostInfo entry = QHostInfo::fromName(QHostInfo::localHostName());
    if (entry.error() == QHostInfo::NoError)
        addresses = entry.addresses();
    addresses += QNetworkInterface::allAddresses();
    return PickLocalIpv4(addresses);
}

} // namespace lumora
