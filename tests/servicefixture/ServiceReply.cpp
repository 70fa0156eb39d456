#include "ServiceReply.h"

#include "util/Gbk.h"

#include <QBuffer>
#include <QDomDocument>
#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace lumora::testing
{

namespace
{

constexpr int kTimeoutMs = 60000;

QString DecodeBase64Gbk(const QString &value)
{
    return FromGbk(QByteArray::fromBase64(value.toLatin1()));
}

QByteArray EncodeValue(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'))
            out += c;
        else if (u == ' ')
            out += '+';
        else
            out += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
    }
    return out;
}

} // namespace

QStringList ServiceReply::column(const QString &attribute) const
{
    QStringList values;
    for (const auto &row : rows)
        values << row.value(attribute);
    return values;
}

QByteArray EncodeFormLines(const QStringList &lines)
{
    QList<QByteArray> encoded;
    for (const QString &line : lines) {
        const QByteArray bytes = ToGbk(line);
        const int eq = bytes.indexOf('=');
        if (eq < 0 || eq == bytes.size() - 1)
            encoded << bytes;
        else
            encoded << bytes.left(eq + 1) + EncodeValue(bytes.mid(eq + 1));
    }
    if (encoded.size() < 2)
        return encoded.value(0);
    QByteArray body;
    for (const QByteArray &line : encoded)
        body += line + '&';
    return body;
}

QStringList SessionLines(const QString &user, const QString &password, const QString &inputUser)
{
    return {QStringLiteral("user_name=") + user, QStringLiteral("user_pass=") + password,
            QStringLiteral("input_user=") + inputUser, QStringLiteral("client_type=pc"),
            QStringLiteral("protocol_version=1.0")};
}

int SendRequest(const QString &method, const QString &url, const QByteArray &body, QByteArray *replyBody,
                QByteArray *replyContentType)
{
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy); // loopback only, whatever the environment says
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded; charset=gbk"));
    QBuffer *buffer = new QBuffer;
    buffer->setData(body);
    buffer->open(QIODevice::ReadOnly);
    QNetworkReply *reply = network.sendCustomRequest(request, method.toLatin1(), buffer);
    buffer->setParent(reply);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (replyBody)
        *replyBody = reply->readAll();
    if (replyContentType)
        *replyContentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    reply->abort();
    delete reply;
    return status;
}

ServiceReply PostBody(const QString &url, const QByteArray &body)
{
    QByteArray raw;
    const int status = SendRequest(QStringLiteral("POST"), url, body, &raw);
    return ParseServiceReply(status, raw);
}

ServiceReply PostForm(const QString &url, const QStringList &lines)
{
    return PostBody(url, EncodeFormLines(lines));
}

ServiceReply ParseServiceReply(int status, const QByteArray &raw)
{
    ServiceReply reply;
    reply.status = status;
    reply.raw = raw;
    QDomDocument doc;
    if (!doc.setContent(FromGbk(raw)))
        return reply;
    reply.wellFormed = true;
    const QDomElement root = doc.documentElement();
    const QDomElement result = root.firstChildElement(QStringLiteral("Result"));
    if (!result.isNull()) {
        reply.value = result.attribute(QStringLiteral("Value"));
        const QDomNamedNodeMap attributes = result.attributes();
        for (int i = 0; i < attributes.count(); ++i) {
            const QDomAttr attribute = attributes.item(i).toAttr();
            if (attribute.name() != QLatin1String("Value"))
                reply.result.insert(attribute.name(), DecodeBase64Gbk(attribute.value()));
        }
    }
    const QDomElement data = root.firstChildElement(QStringLiteral("Data"));
    reply.hasData = !data.isNull();
    for (QDomElement row = data.firstChildElement(); !row.isNull(); row = row.nextSiblingElement()) {
        QMap<QString, QString> values;
        const QDomNamedNodeMap attributes = row.attributes();
        for (int i = 0; i < attributes.count(); ++i) {
            const QDomAttr attribute = attributes.item(i).toAttr();
            values.insert(attribute.name(), DecodeBase64Gbk(attribute.value()));
        }
        reply.rows << values;
    }
    const QDomElement info = root.firstChildElement(QStringLiteral("Info"));
    reply.hasInfo = !info.isNull();
    if (reply.hasInfo) {
        reply.recCount = info.attribute(QStringLiteral("RecCount")).toInt();
        reply.recCountInPage = info.attribute(QStringLiteral("RecCountInPage")).toInt();
        reply.curPage = info.attribute(QStringLiteral("CurPage")).toInt();
    }
    return reply;
}

} // namespace lumora::testing
