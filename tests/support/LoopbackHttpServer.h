#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>

#include <functional>

class QTcpServer;
class QTcpSocket;

namespace lumora::test
{

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// One request as it reached the server.
struct RecordedRequest {
    QByteArray method; // "POST"
    QByteArray path;   // "/ms/kessum/kessum_login.php", query included
    HeaderList headers;
    QByteArray body; // raw bytes

    // First header of that name (case-insensitive), empty when absent.
    QByteArray header(const QByteArray &name) const;
};

// What the server answers to one request.
struct CannedResponse {
    enum class Mode {
        Normal,        // status, headers, body, then close
        NeverAnswer,   // read the request and stay silent, connection open
        CloseMidReply, // announce the whole body, send half of it, then drop the connection
        SlowBytes,     // send the head at once (or slowly, see slowHead), then the body one byte every slowIntervalMs
        RedirectLoop,  // "302 Found" back to the same path, on every request from then on
        LargeBody,     // a body of largeBodyBytes "x" bytes, written as the client takes it
        Held,          // answered as Normal only when the test calls releaseHeld()
        CloseAtOnce,   // read the request, then drop the connection without a byte of reply
    };
    Mode mode = Mode::Normal;
    int status = 200;
    QByteArray reason; // empty: a standard phrase for the status
    HeaderList headers;
    QByteArray body;
    int slowIntervalMs = 20;
    bool slowHead = false; // SlowBytes: dribble the status line and headers too
    qint64 largeBodyBytes = 0;
    bool announceLength = true; // LargeBody: send Content-Length (else the body runs until the close)

    // 200 with the body as GBK text.
    static CannedResponse text(const QString &body, int status = 200);
    static CannedResponse bytes(const QByteArray &body, int status = 200);
    static CannedResponse misbehave(Mode mode);
};

// An HTTP/1.1 server on 127.0.0.1 and a free port, run by the test's own event loop. Answers come from the queue,
// then from the handler, then the default response ("200" with an empty body). Every response closes the
// connection.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackHttpServer(QObject *parent = nullptr);
    ~LoopbackHttpServer() override;

    bool listen(); // on 127.0.0.1 port 0; false on failure
    quint16 port() const;
    QString baseUrl() const;                // "http://127.0.0.1:PORT/"
    QString url(const QString &path) const; // baseUrl() + path without its leading "/"

    void enqueue(const CannedResponse &response);
    void setHandler(std::function<CannedResponse(const RecordedRequest &)> handler);
    void setDefaultResponse(const CannedResponse &response);
    // Answers every request held so far (Mode::Held), in the order they came; returns how many.
    int releaseHeld();
    int heldCount() const { return int(held_.size()); }

    QList<RecordedRequest> requests() const { return requests_; }
    int requestCount() const { return int(requests_.size()); }
    // Connections that the server has open right now.
    int openConnections() const { return int(connections_.size()); }

signals:
    void requestReceived(const lumora::test::RecordedRequest &request);

private:
    struct Connection;
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const RecordedRequest &request);
    void pump(QTcpSocket *socket);
    void drop(QTcpSocket *socket);

    QTcpServer *server_;
    QHash<QTcpSocket *, Connection *> connections_;
    QList<CannedResponse> queue_;
    std::function<CannedResponse(const RecordedRequest &)> handler_;
    CannedResponse default_;
    QList<RecordedRequest> requests_;
    QList<QPair<QTcpSocket *, CannedResponse>> held_;
    QSet<QByteArray> loopPaths_; // paths that answer every request with a redirect to themselves
};

// A loopback port with nothing listening on it: a connection there is refused.
quint16 ClosedLoopbackPort();

} // namespace lumora::test
