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

#include <algorithm>
#include <cstring>
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
    QList<THttpThread *> workers; // every worker that exists
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

// A request body that can be read once. Qt sends a request again by itself when the connection closes before the
// reply; the service must see a save once, so that second sending fails here and the failure is reported instead.
class OneShotBody : public QIODevice
{
public:
    explicit OneShotBody(QByteArray data) : data_(std::move(data))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return data_.size() - pos_; }
    bool atEnd() const override { return pos_ >= data_.size(); }
    bool reset() override { return pos_ == 0; }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = std::min(max, qint64(data_.size()) - pos_);
        if (n <= 0)
            return -1;
        std::memcpy(out, data_.constData() + pos_, size_t(n));
        pos_ += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray data_;
    qint64 pos_ = 0;
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
    // Runs first thing when the application object goes, before Qt's network globals do.
    qAddPostRoutine(StopHttpWorkers);
}

void StopHttpWorkers()
{
    QList<THttpThread *> running;
    {
        Bridge &b = bridge();
        QMutexLocker lock(&b.mutex);
        b.gone = true; // a worker that has not delivered yet delivers nothing
        b.stepDone.wakeAll();
        running = b.workers;
    }
    // Quitting a worker's thread ends its wait for the reply; the reply and its network client then go on that
    // thread, while the network globals still stand. Workers are freed only on this thread, so the list holds.
    for (THttpThread *worker : std::as_const(running)) {
        worker->requestInterruption();
        worker->quit();
    }
    for (THttpThread *worker : std::as_const(running))
        worker->wait();
}

QAtomicInt THttpThread::liveCount_;
QAtomicInt THttpThread::waitingCount_;

THttpThread::THttpThread(THttpThreadControl *owner) : Owner(owner)
{
    liveCount_.ref();
    Bridge &b = bridge();
    QMutexLocker lock(&b.mutex);
    b.workers.append(this);
}

THttpThread::~THttpThread()
{
    {
        Bridge &b = bridge();
        QMutexLocker lock(&b.mutex);
        b.workers.removeOne(this);
    }
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
    std::unique_ptr<OneShotBody> upload; // outlives the reply
    if (RequestType == htPost) {
        upload = std::make_unique<OneShotBody>(THttpThreadControl::EncodeFormBody(PostLines));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray(kFormContentType));
        request.setHeader(QNetworkRequest::ContentLengthHeader, upload->bytesAvailable());
        // Unbuffered, the body is read from the one-shot device itself, which refuses to be read twice.
        request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        reply = http.post(request, upload.get());
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
    if (!reply->isFinished()) {
        message = QStringLiteral("Stopped."); // the program is ending (StopHttpWorkers)
        return false;
    }
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
        else if (reply->error() == QNetworkReply::ContentReSendError)
            message = QStringLiteral("Remote host closed the connection before the reply."); // not sent again
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
    if (isInterruptionRequested())
        return;
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
