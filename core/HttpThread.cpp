#include "HttpThread.h"

#include "Reply.h"

#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWaitCondition>

#include <memory>
#include <optional>

namespace lumora
{

namespace
{
const char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Trident/4.0; SLCC2; .NET CLR 2.0.50727)";
const char kFormContentType[] = "application/x-www-form-urlencoded; charset=gbk";
constexpr int kMaxRedirects = 15;

// Where workers queue their hand-over steps. Never freed: a worker still running while the process ends must
// find it intact.
struct Bridge {
    QMutex mutex;
    QWaitCondition stepDone;
    QObject *context = nullptr; // lives on the user-interface thread, a child of the application object
    bool gone = false;          // the application object is being destroyed: no more hand-overs
    int generation = 0;         // counts destroyed contexts, in case a new application object follows
};

Bridge &bridge()
{
    static Bridge *instance = new Bridge;
    return *instance;
}

class BridgeContext : public QObject
{
public:
    using QObject::QObject;
    ~BridgeContext() override
    {
        // Steps still queued are dropped with this object; their workers must not wait for them.
        Bridge &b = bridge();
        QMutexLocker lock(&b.mutex);
        b.context = nullptr;
        b.gone = true;
        ++b.generation;
        b.stepDone.wakeAll();
    }
};

QString exceptionText(const std::exception &e)
{
    return QString::fromUtf8(e.what());
}
} // namespace

void EnsureHttpBridge()
{
    Bridge &b = bridge();
    QMutexLocker lock(&b.mutex);
    QCoreApplication *app = QCoreApplication::instance();
    // Only the user-interface thread may make it: the steps must run there.
    if (b.context || !app || QCoreApplication::closingDown() || QThread::currentThread() != app->thread())
        return;
    b.context = new BridgeContext(app);
    b.gone = false;
}

QAtomicInt THttpThread::liveCount_;
QAtomicInt THttpThread::waitingCount_;

THttpThread::THttpThread(THttpThreadControl *owner) : Owner(owner)
{
    liveCount_.ref();
}

THttpThread::~THttpThread()
{
    liveCount_.deref();
}

int THttpThread::LiveCount()
{
    return liveCount_.loadAcquire();
}

int THttpThread::WaitingForHandOver()
{
    return waitingCount_.loadAcquire();
}

bool THttpThread::runOnGui(const std::function<void()> &step)
{
    Bridge &b = bridge();
    auto done = std::make_shared<bool>(false);
    QMutexLocker lock(&b.mutex);
    if (b.gone || !b.context || QCoreApplication::closingDown())
        return false;
    QMetaObject::invokeMethod(
        b.context,
        [&step, done]() {
            step();
            Bridge &br = bridge();
            QMutexLocker inner(&br.mutex);
            *done = true;
            br.stepDone.wakeAll();
        },
        Qt::QueuedConnection);
    const int generation = b.generation;
    waitingCount_.ref();
    while (!*done && !b.gone && b.generation == generation)
        b.stepDone.wait(&b.mutex);
    waitingCount_.deref();
    return *done;
}

bool THttpThread::perform(QString &message)
{
    QNetworkAccessManager http;
    QNetworkRequest request{QUrl(Url)};
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // Qt restarts this timer whenever data moves, so it acts as a read (inactivity) time-out.
    request.setTransferTimeout(ReadTimeout > 0 ? ReadTimeout : 0);

    QNetworkReply *reply = nullptr;
    if (RequestType == htPost) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray(kFormContentType));
        reply = http.post(request, THttpThreadControl::EncodeFormBody(PostLines));
    } else {
        reply = http.get(request);
    }
    std::unique_ptr<QNetworkReply> owned(reply);

    // Read as the body arrives, so an oversized reply is refused before it fills the memory.
    QByteArray body;
    bool tooLarge = false;
    auto refuse = [&]() {
        tooLarge = true;
        body.clear();
        reply->abort();
    };
    auto readSome = [&]() {
        if (tooLarge || !reply->isOpen())
            return;
        if (body.size() + reply->bytesAvailable() > kMaxReplyBytes) {
            refuse();
            return;
        }
        body += reply->readAll();
    };
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (!tooLarge && status >= 200 && status < 300 && length.isValid() && length.toLongLong() > kMaxReplyBytes)
            refuse();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, readSome);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    readSome();

    if (tooLarge) {
        message = QStringLiteral("回复过大 (超过 %1 字节), 已中止").arg(kMaxReplyBytes);
        return false;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool statusOk = status >= 200 && status < 300;
    if (status != 0 && !statusOk) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        if (reply->error() == QNetworkReply::TooManyRedirectsError)
            message = reply->errorString();
        else
            message = QStringLiteral("HTTP/1.1 %1 %2").arg(status).arg(reason).trimmed();
        return false;
    }
    if (reply->error() != QNetworkReply::NoError) {
        if (reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError)
            message = QStringLiteral("Read timed out.");
        else
            message = reply->errorString();
        return false;
    }
    if (RequestType == htGetImg)
        ResultStream = body;
    else
        ResultText = FromGbk(body);
    return true;
}

void THttpThread::run()
{
    QString message;
    bool ok = perform(message);
    if (ok) {
        std::optional<QString> handlerError;
        if (!runOnGui([this, &handlerError]() { handlerError = DeliverData(); }))
            return;
        if (handlerError) {
            ok = false;
            message = *handlerError;
        }
    }
    if (!ok) {
        ErrorText = message + QLatin1Char(' ');
        if (!runOnGui([this]() { DeliverError(); }))
            return;
    }
    runOnGui([this]() { Detach(); });
}

std::optional<QString> THttpThread::DeliverData()
{
    if (!Owner)
        return std::nullopt;
    if (RequestType == htGetImg)
        Owner->ResponseStream = ResultStream;
    else
        Owner->ResponseText = ResultText + QLatin1Char(' ');
    // A copy: the handler may destroy the component that holds it.
    const auto handler = Owner->OnHttpData;
    if (!handler)
        return std::nullopt;
    try {
        handler(Owner);
    } catch (const LumoraError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return exceptionText(e);
    } catch (...) {
        return QStringLiteral("未知错误");
    }
    return std::nullopt;
}

void THttpThread::DeliverError()
{
    if (!Owner)
        return;
    Owner->ErrorText = ErrorText + QLatin1Char(' ');
    const auto handler = Owner->OnHttpError;
    if (!handler)
        return;
    const QString err = Owner->ErrorText;
    try {
        handler(Owner, err);
    } catch (const LumoraError &e) {
        ShowMessage(QStringLiteral("发生错误:") + e.message());
    } catch (const std::exception &e) {
        ShowMessage(QStringLiteral("发生错误:") + exceptionText(e));
    } catch (...) {
        ShowMessage(QStringLiteral("发生错误:"));
    }
}

void THttpThread::Detach()
{
    if (Owner)
        Owner->InFlight.removeOne(this);
}

} // namespace lumora
