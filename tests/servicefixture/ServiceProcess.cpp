#include "ServiceProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

namespace lumora::testing
{

namespace
{
// Seeding the demo account writes a few hundred records one transaction at a time.
constexpr int kStartTimeoutMs = 60000;
constexpr int kStopTimeoutMs = 10000;
} // namespace

ServiceProcess::ServiceProcess(Accounts accounts, const QStringList &extraArguments)
{
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    QStringList arguments{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--db"),
                          databasePath()};
    if (accounts == Demo)
        arguments << QStringLiteral("--demo");
    arguments << extraArguments;

    process_.setProgram(QStringLiteral(LUMORA_SERVICE_BINARY));
    // A file rather than a pipe: a test that never reads the log must not stall the service on a full pipe.
    process_.setStandardErrorFile(logPath());
    process_.setArguments(arguments);
    process_.start();
    if (!process_.waitForStarted()) {
        error_ = QStringLiteral("cannot start %1: %2").arg(process_.program(), process_.errorString());
        return;
    }

    static const QRegularExpression listening(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)"));
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired()) {
        while (process_.canReadLine()) {
            const QString line = QString::fromUtf8(process_.readLine()).trimmed();
            const auto match = listening.match(line);
            if (match.hasMatch()) {
                port_ = match.captured(1).toInt();
                return;
            }
        }
        if (process_.state() != QProcess::Running)
            break;
        process_.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    }
    error_ = QStringLiteral("lumora-service did not start listening: %1").arg(log());
    stop();
}

ServiceProcess::~ServiceProcess()
{
    stop();
}

bool ServiceProcess::isRunning() const
{
    return port_ > 0 && process_.state() == QProcess::Running;
}

QString ServiceProcess::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/ms/kessum/").arg(port_);
}

QString ServiceProcess::databasePath() const
{
    return dir_.filePath(QStringLiteral("ledger.sqlite"));
}

QString ServiceProcess::logPath() const
{
    return dir_.filePath(QStringLiteral("service.log"));
}

QString ServiceProcess::log() const
{
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool ServiceProcess::createAccount(const QString &name, const QString &password)
{
    if (!isRunning())
        return false;
    // QUrlQuery would leave "+" as it is, which a form body reads as a blank.
    const QByteArray body = "user_name=" + QUrl::toPercentEncoding(name) +
                            "&user_pass=" + QUrl::toPercentEncoding(password) +
                            "&user_pass2=" + QUrl::toPercentEncoding(password);
    QNetworkRequest request(QUrl(baseUrl() + QStringLiteral("new_user.php?vtype=app")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));

    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy); // loopback only, whatever the environment says
    QNetworkReply *reply = network.post(request, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kStartTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    const bool created = reply->isFinished() && reply->error() == QNetworkReply::NoError &&
                         QString::fromUtf8(reply->readAll()).contains(QStringLiteral("注册成功"));
    reply->abort();
    delete reply;
    return created;
}

int ServiceProcess::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    process_.terminate();
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished();
        return -1;
    }
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

} // namespace lumora::testing
