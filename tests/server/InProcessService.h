#pragma once

#include "server/Service.h"
#include "server/SqliteStorage.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <thread>

namespace lumora::testing
{

// The service run inside the test process on 127.0.0.1 with a free port, over a fresh database (or over the
// storage given). Requests go over real HTTP.
class InProcessService
{
public:
    explicit InProcessService(service::Storage *storage = nullptr, service::ServiceOptions options = {});
    ~InProcessService();
    InProcessService(const InProcessService &) = delete;
    InProcessService &operator=(const InProcessService &) = delete;

    bool isRunning() const { return port_ > 0; }
    int port() const { return port_; }
    QString url(const QString &script) const;
    QString databasePath() const { return dir_.filePath(QStringLiteral("ledger.sqlite")); }
    service::Accounts &accounts() { return service_->accounts(); }
    QStringList logLines() const;

    // Creates the account and returns the session lines for it.
    QStringList signUp(const QString &name, const QString &password, const QString &inputUser = QString());

private:
    QTemporaryDir dir_;
    std::unique_ptr<service::SqliteStorage> ownStorage_;
    std::unique_ptr<service::Service> service_;
    std::thread thread_;
    int port_ = 0;
    std::shared_ptr<QStringList> log_;
    std::shared_ptr<std::mutex> logMutex_;
};

// The client's save body after the session lines (action=add and the record's fields, date split in three).
QStringList SaveLines(const QString &guid, const QString &name, const QString &money, const QString &in1,
                      const QString &type1, const QDate &date);

} // namespace lumora::testing
