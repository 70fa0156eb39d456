#include "core/HttpThread.h"
#include "core/HttpThreadControl.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTest>

#include <memory>

using namespace lumora;

// The application object goes away while a worker waits to hand its outcome over: the worker must give up rather
// than wait for an event loop that will never run again.
class TestHttpShutdown : public QObject
{
    Q_OBJECT
private slots:
    void applicationDestroyedWhileWorkerWaits();
};

void TestHttpShutdown::applicationDestroyedWhileWorkerWaits()
{
    int argc = 1;
    char name[] = "tst_httpshutdown";
    char *argv[] = {name, nullptr};
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    auto http = std::make_unique<THttpThreadControl>();
    int raised = 0;
    http->OnHttpData = [&raised](THttpThreadControl *) { ++raised; };
    http->OnHttpError = [&raised](THttpThreadControl *, const QString &) { ++raised; };

    http->Post(QStringLiteral("http://127.0.0.1:%1/a.php").arg(port), QStringLiteral("a=1"));
    THttpThread *worker = http->InFlight.first();
    // No event loop runs here, so the failed request's hand-over stays queued.
    const QDeadlineTimer deadline(20000);
    while (THttpThread::WaitingForHandOver() == 0 && !deadline.hasExpired())
        QThread::msleep(1);
    QCOMPARE(THttpThread::WaitingForHandOver(), 1);

    app.reset();

    QVERIFY(worker->wait(20000));
    QCOMPARE(THttpThread::WaitingForHandOver(), 0);
    QCOMPARE(raised, 0);
    http.reset();
    delete worker; // nobody is left to run its deferred deletion
    QCOMPARE(THttpThread::LiveCount(), 0);
}

QTEST_APPLESS_MAIN(TestHttpShutdown)
#include "tst_httpshutdown.moc"
