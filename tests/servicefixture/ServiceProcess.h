#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace lumora::testing
{

// The built lumora-service, started on 127.0.0.1 with a free port and a fresh database in a temporary folder.
// The constructor waits until it accepts connections; the destructor stops it.
//
//     ServiceProcess service(ServiceProcess::Demo);
//     QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
//     post to service.baseUrl() + "kessum_login.php" as demo / demo
class ServiceProcess
{
public:
    enum Accounts { NoAccounts, Demo };

    explicit ServiceProcess(Accounts accounts = NoAccounts, const QStringList &extraArguments = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess &) = delete;
    ServiceProcess &operator=(const ServiceProcess &) = delete;

    bool isRunning() const;
    QString errorString() const { return error_; }

    int port() const { return port_; }
    // "http://127.0.0.1:PORT/ms/kessum/"
    QString baseUrl() const;
    QString databasePath() const;
    // The service's request log so far (its stderr, kept in a file).
    QString log() const;
    QString logPath() const;

    // Registers an account through the service's new-account page; true when it was created.
    bool createAccount(const QString &name, const QString &password);

    // Ends the service with SIGTERM and returns its exit code (-1 when it had to be killed).
    int stop();

private:
    QTemporaryDir dir_;
    QProcess process_;
    QString error_;
    int port_ = 0;
};

} // namespace lumora::testing
