#include "LoopbackHttpServer.h"

#include <QHostAddress>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace lumora::test
{

namespace
{
QByteArray standardReason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

QByteArray head(const CannedResponse &r, qint64 contentLength, bool withLength)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' +
                     (r.reason.isEmpty() ? standardReason(r.status) : r.reason) + "\r\n";
    bool hasType = false;
    for (const auto &h : r.headers) {
        out += h.first + ": " + h.second + "\r\n";
        hasType = hasType || h.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
    }
    if (!hasType)
        out += "Content-Type: text/xml; charset=gbk\r\n";
    if (withLength)
        out += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    out += "Connection: close\r\n\r\n";
    return out;
}
} // namespace

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return {};
}

CannedResponse CannedResponse::text(const QString &body, int status)
{
    QStringEncoder gbk("GBK");
    return bytes(gbk.encode(body), status);
}

CannedResponse CannedResponse::bytes(const QByteArray &body, int status)
{
    CannedResponse r;
    r.status = status;
    r.body = body;
    return r;
}

CannedResponse CannedResponse::misbehave(Mode mode)
{
    CannedResponse r;
    r.mode = mode;
    return r;
}

struct LoopbackHttpServer::Connection {
    QByteArray in;
    bool answered = false;
    QByteArray pending;   // SlowBytes: what is still to send
    qint64 largeLeft = 0; // LargeBody: bytes still to send
    QTimer *timer = nullptr;
};

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : QObject(parent), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &LoopbackHttpServer::onNewConnection);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        it.key()->disconnect(this);
        it.key()->abort();
        delete it.value()->timer;
        delete it.value();
    }
    connections_.clear();
}

bool LoopbackHttpServer::listen()
{
    return server_->listen(QHostAddress::LocalHost, 0);
}

quint16 LoopbackHttpServer::port() const
{
    return server_->serverPort();
}

QString LoopbackHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(port());
}

QString LoopbackHttpServer::url(const QString &path) const
{
    QString p = path;
    while (p.startsWith(QLatin1Char('/')))
        p.remove(0, 1);
    return baseUrl() + p;
}

void LoopbackHttpServer::enqueue(const CannedResponse &response)
{
    queue_.append(response);
}

void LoopbackHttpServer::setHandler(std::function<CannedResponse(const RecordedRequest &)> handler)
{
    handler_ = std::move(handler);
}

void LoopbackHttpServer::setDefaultResponse(const CannedResponse &response)
{
    default_ = response;
}

int LoopbackHttpServer::releaseHeld()
{
    const auto held = std::exchange(held_, {});
    for (const auto &[socket, response] : held) {
        if (!connections_.contains(socket))
            continue; // the client gave up meanwhile
        socket->write(head(response, response.body.size(), true) + response.body);
        socket->disconnectFromHost();
    }
    return int(held.size());
}

void LoopbackHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = server_->nextPendingConnection()) {
        socket->setParent(this);
        connections_.insert(socket, new Connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket]() { onReadyRead(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket]() { pump(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket]() { drop(socket); });
    }
}

void LoopbackHttpServer::onReadyRead(QTcpSocket *socket)
{
    Connection *c = connections_.value(socket);
    if (!c)
        return;
    c->in += socket->readAll();
    if (c->answered)
        return;
    const qsizetype end = c->in.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    RecordedRequest request;
    const QList<QByteArray> lines = c->in.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    qint64 length = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    length = request.header("Content-Length").toLongLong();
    if (c->in.size() < end + 4 + length)
        return;
    request.body = c->in.mid(end + 4, length);
    c->answered = true;
    requests_.append(request);
    emit requestReceived(request);
    respond(socket, request);
}

void LoopbackHttpServer::respond(QTcpSocket *socket, const RecordedRequest &request)
{
    Connection *c = connections_.value(socket);
    if (!c)
        return; // the test's slot dropped it
    CannedResponse r;
    if (loopPaths_.contains(request.path)) {
        r = CannedResponse::misbehave(CannedResponse::Mode::RedirectLoop);
    } else if (!queue_.isEmpty()) {
        r = queue_.takeFirst();
    } else if (handler_) {
        r = handler_(request);
    } else {
        r = default_;
    }
    using Mode = CannedResponse::Mode;
    switch (r.mode) {
    case Mode::Normal:
        socket->write(head(r, r.body.size(), true) + r.body);
        socket->disconnectFromHost();
        break;
    case Mode::NeverAnswer:
        break;
    case Mode::CloseAtOnce:
        socket->disconnectFromHost();
        break;
    case Mode::Held:
        r.mode = Mode::Normal;
        held_.append({socket, r});
        break;
    case Mode::CloseMidReply: {
        const QByteArray body = r.body.isEmpty() ? QByteArray(1000, 'x') : r.body;
        socket->write(head(r, body.size(), true) + body.left(body.size() / 2));
        socket->disconnectFromHost();
        break;
    }
    case Mode::SlowBytes:
        c->pending = head(r, r.body.size(), true) + r.body;
        if (!r.slowHead) {
            const QByteArray h = head(r, r.body.size(), true);
            socket->write(h);
            c->pending.remove(0, h.size());
        }
        c->timer = new QTimer;
        c->timer->setInterval(r.slowIntervalMs);
        connect(c->timer, &QTimer::timeout, this, [this, socket]() {
            Connection *conn = connections_.value(socket);
            if (!conn)
                return;
            if (conn->pending.isEmpty()) {
                conn->timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(conn->pending.left(1));
            conn->pending.remove(0, 1);
        });
        c->timer->start();
        break;
    case Mode::RedirectLoop: {
        loopPaths_.insert(request.path);
        CannedResponse redirect;
        redirect.status = 302;
        redirect.headers.append({"Location", url(QString::fromLatin1(request.path)).toLatin1()});
        socket->write(head(redirect, 0, true));
        socket->disconnectFromHost();
        break;
    }
    case Mode::LargeBody:
        socket->write(head(r, r.largeBodyBytes, r.announceLength));
        c->largeLeft = r.largeBodyBytes;
        pump(socket);
        break;
    }
}

void LoopbackHttpServer::pump(QTcpSocket *socket)
{
    Connection *c = connections_.value(socket);
    if (!c || c->largeLeft <= 0)
        return;
    // Keep only a little queued, so the body is produced as the client takes it.
    constexpr qint64 chunk = 64 * 1024;
    while (c->largeLeft > 0 && socket->bytesToWrite() < 4 * chunk) {
        const qint64 n = qMin(chunk, c->largeLeft);
        socket->write(QByteArray(n, 'x'));
        c->largeLeft -= n;
    }
    if (c->largeLeft == 0)
        socket->disconnectFromHost();
}

void LoopbackHttpServer::drop(QTcpSocket *socket)
{
    for (qsizetype i = held_.size() - 1; i >= 0; --i)
        if (held_.at(i).first == socket)
            held_.removeAt(i);
    Connection *c = connections_.take(socket);
    if (c) {
        delete c->timer;
        delete c;
    }
    socket->deleteLater();
}

quint16 ClosedLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace lumora::test
