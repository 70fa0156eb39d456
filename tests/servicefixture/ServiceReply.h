#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace lumora::testing
{

// A reply of the service as a test sees it: row attributes and the Base64 Result attributes already decoded.
struct ServiceReply {
    int status = 0; // HTTP status, 0 when no reply came
    QByteArray raw;
    bool wellFormed = false;
    QString value; // "Result" "Value", empty when missing
    QMap<QString, QString> result;
    bool hasData = false;
    QList<QMap<QString, QString>> rows;
    bool hasInfo = false;
    int recCount = -1;
    int recCountInPage = -1;
    int curPage = -1;

    bool ok() const { return value == QLatin1String("1"); }
    QStringList column(const QString &attribute) const;
};

// The form body of name=value lines, as the client's request component builds it: GBK values, digits and
// letters kept, a blank as "+", every other byte as %XX, "&" after every line when there are two or more.
QByteArray EncodeFormLines(const QStringList &lines);

// The five session lines the client puts in front of every request.
QStringList SessionLines(const QString &user, const QString &password, const QString &inputUser = QString());

// Blocking POST for tests (runs a local event loop; 127.0.0.1 only).
ServiceReply PostForm(const QString &url, const QStringList &lines);
ServiceReply PostBody(const QString &url, const QByteArray &body);
// Blocking request with any method; returns the status and fills body.
int SendRequest(const QString &method, const QString &url, const QByteArray &body, QByteArray *replyBody = nullptr,
                QByteArray *replyContentType = nullptr);

ServiceReply ParseServiceReply(int status, const QByteArray &raw);

} // namespace lumora::testing
