// Two service processes on one database, as two processes behind one address would run: clients save, update,
// lock and delete the same and different records through both at once. Afterwards every record is one row, what
// was acknowledged is there, and nothing refused was stored.
#include "InProcessService.h"

#include "server/Accounts.h"
#include "servicefixture/ServiceProcess.h"
#include "servicefixture/ServiceReply.h"

#include <QMap>
#include <QTest>

#include <mutex>
#include <random>
#include <thread>

using namespace lumora::testing;

namespace
{

const QString kPost = QStringLiteral("kessum_sqlite_post.php");
const QString kLock = QStringLiteral("kessum_sqlite_lock.php");

constexpr int kClients = 6;
constexpr int kStepsEach = 40;
constexpr int kShared = 6; // records every client works on

QString SharedGuid(int n)
{
    return QStringLiteral("{5AAAAAAA-0000-4000-8000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

QString OwnGuid(int client, int n)
{
    return QStringLiteral("{0%1AAAAAA-0000-4000-8000-%2}").arg(client).arg(n, 12, 10, QLatin1Char('0'));
}

// What one client did to one record and was told.
struct Write {
    enum Kind { Save, Lock, LockWithFields, Delete } kind;
    QString money; // unique per write; empty for a bare lock or a delete
    bool acknowledged = false;
};

// A record only one client touches: its writes are in order, so the model is exact.
struct Model {
    bool present = false;
    bool locked = false;
    QString money;

    void apply(const Write &w)
    {
        if (!w.acknowledged)
            return;
        switch (w.kind) {
        case Write::Save:
            present = true;
            money = w.money;
            break;
        case Write::LockWithFields:
            if (!locked)
                money = w.money;
            present = true;
            locked = true;
            break;
        case Write::Lock:
            locked = true;
            break;
        case Write::Delete:
            present = false;
            break;
        }
    }
};

} // namespace

class TestServiceTwoProcesses : public QObject
{
    Q_OBJECT

private slots:
    void everyAcknowledgedWriteIsThereOnce();
};

void TestServiceTwoProcesses::everyAcknowledgedWriteIsThereOnce()
{
    // Given two services on one database and one account
    TestDatabase database;
    QVERIFY2(!database.argument().empty(), database.error().c_str());
    {
        const auto storage = database.open();
        lumora::service::Accounts(*storage, lumora::service::PasswordCost::Minimal).ensure("两处", "pw");
    }
    const QStringList arguments{QStringLiteral("--db"), QString::fromStdString(database.argument()),
                                QStringLiteral("--threads"), QStringLiteral("4")};
    ServiceProcess first(ServiceProcess::NoAccounts, arguments);
    ServiceProcess second(ServiceProcess::NoAccounts, arguments);
    QVERIFY2(first.isRunning(), qPrintable(first.errorString()));
    QVERIFY2(second.isRunning(), qPrintable(second.errorString()));
    const QStringList session = SessionLines(QStringLiteral("两处"), QStringLiteral("pw"));

    // When every client writes through both services in turn, to shared records and to its own
    std::mutex mutex;
    QMap<QString, QList<Write>> writes; // by id_guid, in the order each client sent them
    auto client = [&](int c) {
        std::mt19937 random(20150129u + unsigned(c));
        for (int step = 0; step < kStepsEach; ++step) {
            const ServiceProcess &service = (step + c) % 2 ? first : second;
            const bool shared = random() % 2;
            const QString guid = shared ? SharedGuid(int(random() % kShared)) : OwnGuid(c, int(random() % 4));
            Write write{Write::Save, QString::number(c * 10000 + step + 1)};
            const unsigned roll = random() % 10;
            if (roll == 0)
                write = Write{Write::Lock, QString()};
            else if (roll == 1)
                write.kind = Write::LockWithFields;
            else if (roll <= 3)
                write = Write{Write::Delete, QString()};
            QStringList lines = SaveLines(guid, "记录", write.money, "0", "餐饮", QDate(2015, 1, 1 + step % 28));
            if (write.kind == Write::Lock)
                lines = {"action=lock", "id_guid=" + guid};
            else if (write.kind == Write::LockWithFields)
                lines[0] = QStringLiteral("action=lock");
            else if (write.kind == Write::Delete)
                lines = {"action=del", "id_guid=" + guid};
            const QString script = write.kind == Write::Lock || write.kind == Write::LockWithFields ? kLock : kPost;
            write.acknowledged = PostForm(service.baseUrl() + script, session + lines).ok();
            std::lock_guard lock(mutex);
            writes[guid].append(write);
        }
    };
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back(client, c);
    for (auto &t : clients)
        t.join();

    // Then both services see the same records, each id_guid once
    const QStringList all{"action=data", "bdate1=2015-01-01", "edate1=2015-02-01", "page=0"};
    const auto seenFirst = PostForm(first.baseUrl() + kPost, session + all);
    const auto seenSecond = PostForm(second.baseUrl() + kPost, session + all);
    QVERIFY(seenFirst.ok());
    QCOMPARE(seenSecond.raw, seenFirst.raw);
    QMap<QString, QMap<QString, QString>> stored;
    for (const auto &row : seenFirst.rows) {
        QVERIFY2(!stored.contains(row.value("id_guid")), qPrintable(row.value("id_guid")));
        stored.insert(row.value("id_guid"), row);
    }
    QCOMPARE(seenFirst.recCount, stored.size());

    int acknowledged = 0;
    for (auto it = writes.cbegin(); it != writes.cend(); ++it) {
        const QString &guid = it.key();
        const auto found = stored.constFind(guid);
        QStringList acknowledgedMoney;
        bool lockAcknowledged = false;
        bool deleteAcknowledged = false;
        Model model;
        for (const Write &w : it.value()) {
            model.apply(w);
            acknowledged += w.acknowledged;
            if (w.acknowledged && !w.money.isEmpty())
                acknowledgedMoney << w.money;
            lockAcknowledged = lockAcknowledged || (w.acknowledged && w.kind != Write::Save && w.kind != Write::Delete);
            deleteAcknowledged = deleteAcknowledged || (w.acknowledged && w.kind == Write::Delete);
        }
        if (guid.startsWith(QLatin1String("{5"))) {
            // Shared: whatever is stored came from an acknowledged write; a lock, once taken, held
            if (found != stored.cend())
                QVERIFY2(acknowledgedMoney.contains(found->value("money1")), qPrintable(guid));
            else
                QVERIFY2(deleteAcknowledged || acknowledgedMoney.isEmpty(), qPrintable(guid));
            if (lockAcknowledged) {
                QVERIFY2(found != stored.cend(), qPrintable(guid + " was locked, then deleted"));
                QCOMPARE(found->value("is_lock"), QStringLiteral("1"));
            }
            continue;
        }
        // One client's own: exactly as its acknowledged writes left it
        QVERIFY2((found != stored.cend()) == model.present, qPrintable(guid));
        if (model.present) {
            QCOMPARE(found->value("money1"), model.money);
            QCOMPARE(found->value("is_lock"), model.locked ? QStringLiteral("1") : QStringLiteral("0"));
        }
    }
    qInfo("%d of %d writes acknowledged, %lld records stored", acknowledged, kClients * kStepsEach,
          qlonglong(stored.size()));
    QVERIFY(acknowledged > kClients * kStepsEach / 3);

    // And the month recount and the category totals agree with the records, through either service
    qint64 cents = 0;
    for (const auto &row : stored)
        cents += qRound64(row.value("money1").toDouble() * 100);
    const auto totals =
        PostForm(second.baseUrl() + kPost, session + QStringList{"action=add_sum", "year1=2015", "month1=1", "day1=1"});
    const auto categories =
        PostForm(first.baseUrl() + kPost, session + QStringList{"action=data", "bdate1=2015-01-01", "edate1=2015-02-01",
                                                                "type1=", "in1=0", "sum1=sum1"});
    QVERIFY(totals.ok());
    QCOMPARE(qRound64(totals.rows.value(0).value("money1").toDouble() * 100), cents);
    QVERIFY(categories.ok());
    QCOMPARE(categories.column("type1"), QStringList{"餐饮"});
    QCOMPARE(qRound64(categories.rows.value(0).value("money1").toDouble() * 100), cents);
}

QTEST_GUILESS_MAIN(TestServiceTwoProcesses)
#include "tst_servicetwoprocesses.moc"
