#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace lumora {

class THttpThread;

enum THttpThread_RequestType { htGet, htPost, htGetImg };

// Replies larger than this are refused with an error rather than handed to the user-interface thread.
constexpr qint64 kMaxReplyBytes = 16 * 1024 * 1024;

// A window's request component: Post returns at once, a worker thread does the exchange, and the outcome comes
// back on the user-interface thread through OnHttpData or OnHttpError. An exception thrown by OnHttpData is turned
// into OnHttpError with its message. Destroying the component silences its workers.
class THttpThreadControl : public QObject
{
    Q_OBJECT
public:
    explicit THttpThreadControl(QObject *parent = nullptr);
    ~THttpThreadControl() override;

    std::function<void(THttpThreadControl *)> OnHttpData;
    std::function<void(THttpThreadControl *, const QString &err)> OnHttpError;

    THttpThread_RequestType RequestType = htGet;
    int ReadTimeout = 20000; // milliseconds

    QList<THttpThread *> InFlight; // started and not yet detached; not owned
    QString Url;
    QString ResponseText; // last reply, followed by one blank
    QByteArray ResponseStream;
    QString ErrorText; // last failure, followed by two blanks
    QStringList PostLines;

    // Sets Url, RequestType = htPost, PostLines (split at CR LF, CR or LF), then Start().
    void Post(const QString &url, const QString &lines);
    void Start();

    // The form body of a POST, bytes as sent.
    static QByteArray EncodeFormBody(const QStringList &lines);

private:
    friend class THttpThread;
};

} // namespace lumora
