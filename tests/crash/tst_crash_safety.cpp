// Saves from four clients while the service is killed with SIGKILL 20 times and restarted on the same database:
// nothing that was answered Value "1" may be missing or changed, and the database must stay sound.
#include "CrashRun.h"

#include <QTest>

class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void acknowledgedSavesSurviveKills()
    {
        lumora::crash::CrashRunOptions options;
        options.serviceBinary = LUMORA_SERVICE_BINARY;
        options.kills = 20;
        options.clients = 4;
        options.seed = 20150129;

        const auto result = lumora::crash::RunCrashSafety(options);

        qInfo("kills survived %d, saves sent %lld, acknowledged %lld (updates %lld), records checked %lld, lost %lld, "
              "integrity %s, %.1f s",
              result.killsSurvived, qlonglong(result.savesAttempted), qlonglong(result.savesAcknowledged),
              qlonglong(result.updatesAcknowledged), qlonglong(result.recordsChecked),
              qlonglong(result.acknowledgedLost), result.integrity.c_str(), result.seconds);
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(result.killsSurvived, 20);
        QCOMPARE(result.acknowledgedLost, qlonglong(0));
        QCOMPARE(QString::fromStdString(result.integrity), QStringLiteral("ok"));
        // The run must have checked something: saves were answered between the kills.
        QVERIFY(result.recordsChecked > 0);
        QVERIFY(result.updatesAcknowledged > 0);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crash_safety.moc"
