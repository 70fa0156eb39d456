#include "InProcessService.h"

#include "servicefixture/ServiceReply.h"

#include <mutex>

namespace lumora::testing
{

InProcessService::InProcessService(service::Storage *storage, service::ServiceOptions options)
    : log_(std::make_shared<QStringList>()), logMutex_(std::make_shared<std::mutex>())
{
    options.passwordCost = service::PasswordCost::Minimal; // argon2 at full cost would dominate the suite
    if (!storage) {
        try {
            ownStorage_ = database_.open();
        } catch (const std::exception &e) {
            error_ = e.what();
            return;
        }
        storage = ownStorage_.get();
    }
    auto log = log_;
    auto mutex = logMutex_;
    service_ =
        std::make_unique<service::Service>(*storage, std::move(options), 4, [log, mutex](const std::string &line) {
            std::lock_guard lock(*mutex);
            log->append(QString::fromStdString(line));
        });
    port_ = service_->bind("127.0.0.1", 0);
    if (port_ > 0)
        thread_ = std::thread([this] { service_->run(); });
}

InProcessService::~InProcessService()
{
    if (!service_)
        return;
    service_->stop();
    if (thread_.joinable())
        thread_.join();
}

QString InProcessService::url(const QString &script) const
{
    return QStringLiteral("http://127.0.0.1:%1/ms/kessum/%2").arg(port_).arg(script);
}

QStringList InProcessService::logLines() const
{
    std::lock_guard lock(*logMutex_);
    return *log_;
}

QStringList InProcessService::signUp(const QString &name, const QString &password, const QString &inputUser)
{
    accounts().create(name.toStdString(), password.toStdString());
    return SessionLines(name, password, inputUser);
}

// The repeated user lines carry other values than the session lines: the first of a name must win.
QStringList SaveLines(const QString &guid, const QString &name, const QString &money, const QString &in1,
                      const QString &type1, const QDate &date)
{
    const QString y = QString::number(date.year());
    const QString m = QString::number(date.month());
    const QString d = QString::number(date.day());
    return {QStringLiteral("action=add"),
            QStringLiteral("user_name=ignored-repeat"),
            QStringLiteral("user_pass=ignored-repeat"),
            QStringLiteral("input_user=ignored-repeat"),
            QStringLiteral("name1=") + name,
            QStringLiteral("money1=") + money,
            QStringLiteral("in1=") + in1,
            QStringLiteral("type1=") + type1,
            QStringLiteral("create_time=") + date.toString(QStringLiteral("yyyy-MM-dd")),
            QStringLiteral("year1=") + y,
            QStringLiteral("month1=") + m,
            QStringLiteral("day1=") + d,
            QStringLiteral("date1=") + y + "-" + m + "-" + d,
            QStringLiteral("id_guid=") + guid};
}

} // namespace lumora::testing
