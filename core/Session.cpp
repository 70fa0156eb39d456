#include "Session.h"

#include "util/IniFile.h"

#include <QUrl>

namespace lumora
{

QString ServiceBaseUrl = DefaultServiceBaseUrl();
QString AlternateBaseUrl = DefaultAlternateBaseUrl();
const QString ProtocolVersion = QStringLiteral("1.0");
QString SessionUser;
QString SessionPassword;
QString SessionInputUser;

namespace
{
QString withTrailingSlash(QString url)
{
    if (!url.endsWith(QLatin1Char('/')))
        url += QLatin1Char('/');
    return url;
}
} // namespace

QString DefaultServiceBaseUrl()
{
    return QStringLiteral("http://127.0.0.1:8086/ms/kessum/");
}

QString DefaultAlternateBaseUrl()
{
    return QStringLiteral("http://localhost:8086/ms/kessum/");
}

void LoadServiceAddresses(const IniFile &ini)
{
    const QString section = QStringLiteral("设置");
    const QString main = ini.readString(section, QStringLiteral("服务地址")).trimmed();
    if (!main.isEmpty())
        ServiceBaseUrl = withTrailingSlash(main);
    const QString alternate = ini.readString(section, QStringLiteral("备用服务地址")).trimmed();
    if (!alternate.isEmpty())
        AlternateBaseUrl = withTrailingSlash(alternate);
}

QString ServiceSiteUrl(const QString &path)
{
    const QUrl base(ServiceBaseUrl);
    return base.scheme() + QStringLiteral("://") + base.authority() + path;
}

QString SessionBlock()
{
    const QString crlf = QStringLiteral("\r\n");
    QString block;
    block += QStringLiteral("user_name=") + SessionUser + crlf;
    block += QStringLiteral("user_pass=") + SessionPassword + crlf;
    block += QStringLiteral("input_user=") + SessionInputUser + crlf;
    block += QStringLiteral("client_type=pc") + crlf;
    block += QStringLiteral("protocol_version=") + ProtocolVersion + crlf;
    return block;
}

void ResetSession()
{
    ServiceBaseUrl = DefaultServiceBaseUrl();
    AlternateBaseUrl = DefaultAlternateBaseUrl();
    SessionUser.clear();
    SessionPassword.clear();
    SessionInputUser.clear();
}

} // namespace lumora
