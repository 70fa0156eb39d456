// Saves from four clients while the service is killed with SIGKILL 20 times and restarted on the same database
// (and, on PostgreSQL, while the database server itself goes down abruptly and comes back under the running
// service): nothing that was answered Value "1" may be missing or changed, and the database must stay sound.
#include "CrashRun.h"

#include "support/PgCluster.h"
#include "support/TestDatabase.h"

#include <QTest>

using lumora::testing::PgCluster;
using lumora::testing::TestDatabase;

class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void acknowledgedSavesSurvive_data()
    {
        QTest::addColumn<bool>("restartDatabase");
        QTest::addColumn<int>("kills");
        QTest::newRow("service killed") << false << 20;
        QTest::newRow("database server restarted") << true << 4;
    }

    void acknowledgedSavesSurvive()
    {
        QFETCH(bool, restartDatabase);
        QFETCH(int, kills);
        if (restartDatabase && !TestDatabase::OnPostgres())
            QSKIP("a database file has no server to restart");
        TestDatabase database;
        QVERIFY2(!database.argument().empty(), database.error().c_str());
        lumora::crash::CrashRunOptions options;
        options.serviceBinary = LUMORA_SERVICE_BINARY;
        options.database = database.argument();
        options.kills = kills;
        options.clients = 4;
        options.seed = 20150129;
        if (restartDatabase) {
            options.minUpMs = 300;
            options.maxUpMs = 800;
            options.restartDatabase = [] { return PgCluster::Shared().crash() && PgCluster::Shared().start(); };
        }

        const auto result = lumora::crash::RunCrashSafety(options);

        qInfo("kills survived %d, saves sent %lld, acknowledged %lld (updates %lld), records checked %lld, lost %lld, "
              "integrity %s, %.1f s",
              result.killsSurvived, qlonglong(result.savesAttempted), qlonglong(result.savesAcknowledged),
              qlonglong(result.updatesAcknowledged), qlonglong(result.recordsChecked),
              qlonglong(result.acknowledgedLost), result.integrity.c_str(), result.seconds);
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(result.killsSurvived, kills);
        QCOMPARE(result.acknowledgedLost, qlonglong(0));
        QCOMPARE(QString::fromStdString(result.integrity), QStringLiteral("ok"));
        // The run must have checked something: saves were answered between the kills.
        QVERIFY(result.recordsChecked > 0);
        QVERIFY(result.updatesAcknowledged > 0);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crash_safety.moc"
