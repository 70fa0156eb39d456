#include "support/LoopbackHttpServer.h"

#include <QProcess>
#include <QTest>

using namespace lumora::test;

// Leaving the program while requests are still on their way: the workers' network activity must end before Qt's
// network globals go, so no exit crashes, however the requests stand.
class TestExit : public QObject
{
    Q_OBJECT
private slots:
    void exitWithRequestsInFlight_data();
    void exitWithRequestsInFlight();
};

void TestExit::exitWithRequestsInFlight_data()
{
    QTest::addColumn<int>("waitMs");
    QTest::newRow("fresh requests") << 0;
    QTest::newRow("requests sent, no reply yet") << 150;
}

void TestExit::exitWithRequestsInFlight()
{
    QFETCH(int, waitMs);
    LoopbackHttpServer server;
    QVERIFY(server.listen());
    server.setDefaultResponse(CannedResponse::misbehave(CannedResponse::Mode::NeverAnswer));
    for (int run = 0; run < 10; ++run) {
        QProcess probe;
        probe.setProgram(QStringLiteral(LUMORA_EXIT_PROBE));
        probe.setArguments({server.url(QStringLiteral("ms/kessum/kessum_sqlite_post.php")), QStringLiteral("8"),
                            QString::number(waitMs)});
        probe.start();
        // The server answers from this thread's event loop, so wait with it running.
        QVERIFY(QTest::qWaitFor([&] { return probe.state() == QProcess::NotRunning; }, 20000));
        const QByteArray out = probe.readAllStandardOutput();
        QVERIFY2(probe.exitStatus() == QProcess::NormalExit,
                 qPrintable(QStringLiteral("run %1 crashed: %2")
                                .arg(run)
                                .arg(QString::fromLocal8Bit(probe.readAllStandardError()))));
        QCOMPARE(probe.exitCode(), 0);
        QCOMPARE(out.trimmed(), QByteArray("delivered 0")); // nothing answered, nothing raised
    }
}

QTEST_GUILESS_MAIN(TestExit)
#include "tst_exit.moc"
