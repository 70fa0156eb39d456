// The service against hostile input: metacharacters and overlong values, one account reaching for another's
// records, wrong passwords, oversized bodies and requests without an action. Each is refused or stored verbatim,
// and nothing else changes.
#include "InProcessService.h"

#include "servicefixture/ServiceReply.h"
#include "util/Gbk.h"

#include <QTest>

using namespace lumora::testing;
using lumora::FromGbk;
using lumora::ToGbk;

namespace
{

const QString kPost = QStringLiteral("kessum_sqlite_post.php");
const QString kType = QStringLiteral("kessum_sqlite_type.php");
const QString kLock = QStringLiteral("kessum_sqlite_lock.php");
const QString kLogin = QStringLiteral("kessum_login.php");

const QString kVictimGuid = QStringLiteral("{11111111-2222-4333-8444-555555555555}");

// Every record of the account, keyed by id_guid, with every attribute the service returns.
using Snapshot = QMap<QString, QMap<QString, QString>>;

} // namespace

class TestServiceSecurity : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void metacharactersAreStoredVerbatim_data();
    void metacharactersAreStoredVerbatim();
    void overlongValuesAreStoredVerbatim();
    void anotherAccountCannotReachTheRecord_data();
    void anotherAccountCannotReachTheRecord();
    void wrongCredentialsAreRefusedOnEveryAction_data();
    void wrongCredentialsAreRefusedOnEveryAction();
    void oversizedBodiesAreRefused_data();
    void oversizedBodiesAreRefused();
    void requestsWithoutAnActionAreRefused_data();
    void requestsWithoutAnActionAreRefused();

private:
    ServiceReply post(const QString &script, const QStringList &lines, const QStringList &session)
    {
        return PostForm(service_->url(script), session + lines);
    }
    Snapshot snapshot(const QStringList &session)
    {
        const auto page = post(kPost, {"action=data", "page=0"}, session);
        Snapshot records;
        for (const auto &row : page.rows)
            records.insert(row.value("id_guid"), row);
        return records;
    }
    QString categories(const QStringList &session)
    {
        const auto reply = post(kType, {"action=data"}, session);
        return reply.raw;
    }
    // The victim's whole visible state; compared before and after each attack.
    QString state()
    {
        QString text;
        const Snapshot records = snapshot(victim_);
        for (auto it = records.begin(); it != records.end(); ++it) {
            text += it.key() + QLatin1Char(':');
            for (auto field = it->begin(); field != it->end(); ++field)
                text += field.key() + QLatin1Char('=') + field.value() + QLatin1Char(';');
            text += QLatin1Char('\n');
        }
        return text + categories(victim_) + QString::number(records.size());
    }
    static void verifyRefused(const ServiceReply &reply)
    {
        QVERIFY2(!reply.ok(), reply.raw.left(300).constData());
        // Refused cleanly: a client error or a well-formed reply saying no, never a server fault.
        QVERIFY2(reply.status == 200 ? reply.wellFormed : reply.status >= 400 && reply.status < 500,
                 QByteArray::number(reply.status).constData());
    }

    std::unique_ptr<InProcessService> service_;
    QStringList victim_;
    QStringList intruder_;
};

void TestServiceSecurity::init()
{
    service_ = std::make_unique<InProcessService>();
    QVERIFY(service_->isRunning());
    victim_ = service_->signUp(QStringLiteral("家庭"), QStringLiteral("pw"), QStringLiteral("妻子"));
    intruder_ = service_->signUp(QStringLiteral("邻居"), QStringLiteral("pw2"), QStringLiteral("邻居"));
    const auto saved = post(kPost, SaveLines(kVictimGuid, "房租", "1500", "0", "住房", QDate(2015, 1, 5)), victim_);
    QVERIFY2(saved.ok(), saved.raw.constData());
}

void TestServiceSecurity::cleanup()
{
    service_.reset();
}

void TestServiceSecurity::metacharactersAreStoredVerbatim_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");

    const QStringList fields{"name1", "type1", "in1", "input_user", "id_guid"};
    const QList<QPair<const char *, QString>> values{
        {"sql quote", "x'); DROP TABLE records; --"},
        {"sql or", "\" OR 1=1 --"},
        {"like wildcards", "%_\\%"},
        {"xml markup", "<Data><Row id=\"1\"/></Data>&amp;]]>"},
        {"form separators", "a=b&c=d+e%20f"},
        {"chinese and blanks", "  午饭 ; 咖啡  "},
        {"semicolon comment", "1;--/*"},
    };
    for (const QString &field : fields)
        for (const auto &[name, value] : values)
            QTest::newRow(qPrintable(field + QLatin1Char(' ') + QLatin1String(name))) << field << value;
}

void TestServiceSecurity::metacharactersAreStoredVerbatim()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    const QString before = state();

    // Given a save whose one field holds the hostile text (input_user comes from the session lines)
    const QString guid = field == "id_guid" ? value : QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001}");
    QStringList lines = SaveLines(guid, field == "name1" ? value : "午饭", "12.5", field == "in1" ? value : "0",
                                  field == "type1" ? value : "餐饮", QDate(2015, 1, 13));
    QStringList session = intruder_;
    if (field == "input_user")
        session[2] = QStringLiteral("input_user=") + value;

    // When it is saved and read back
    const auto saved = post(kPost, lines, session);
    QVERIFY2(saved.ok(), saved.raw.constData());
    const Snapshot records = snapshot(intruder_);

    // Then the value comes back byte for byte, and no other account's data moved
    QVERIFY2(records.contains(guid), qPrintable(records.keys().join(',')));
    QCOMPARE(records.value(guid).value(field), value);
    QCOMPARE(records.size(), 1);
    QCOMPARE(state(), before);
}

void TestServiceSecurity::overlongValuesAreStoredVerbatim()
{
    // Given text fields of 40 000 Chinese characters each (80 000 GBK bytes, near a quarter of the body limit)
    const QString longText = QString(QStringLiteral("账")).repeated(40000);
    const QString guid = QStringLiteral("{BBBBBBBB-0000-4000-8000-000000000002}");
    QStringList session = intruder_;
    session[2] = QStringLiteral("input_user=") + QString(QStringLiteral("人")).repeated(20000);

    const auto saved =
        post(kPost, SaveLines(guid, longText, "1", "0", longText.left(30000), QDate(2015, 1, 13)), session);
    QVERIFY2(saved.ok(), qPrintable(QString::number(saved.status) + QLatin1Char(' ') + saved.raw.left(300)));
    const Snapshot records = snapshot(intruder_);

    QCOMPARE(records.value(guid).value("name1"), longText);
    QCOMPARE(records.value(guid).value("type1"), longText.left(30000));
    QCOMPARE(records.value(guid).value("input_user"), QString(QStringLiteral("人")).repeated(20000));

    // A category list far past a few kilobytes is kept whole as well
    QStringList list;
    for (int i = 0; i < 3000; ++i)
        list << QStringLiteral("类别%1'; --").arg(i);
    const QString listText = list.join(QStringLiteral("\r\n"));
    const auto uploaded =
        post(kType, {"action=add", "type1=" + QString::fromLatin1(ToGbk(listText).toBase64())}, intruder_);
    QVERIFY2(uploaded.ok(), qPrintable(QString::number(uploaded.status)));
    const auto downloaded = post(kType, {"action=data"}, intruder_);
    QCOMPARE(downloaded.rows.size(), 1);
    QCOMPARE(FromGbk(QByteArray::fromBase64(downloaded.rows.first().value("type1").toLatin1())), listText);

    // An id_guid longer than the key limit is refused, not cut
    const auto overlongKey =
        post(kPost, SaveLines("{" + QString(200, 'A') + "}", "x", "1", "0", "餐饮", QDate(2015, 1, 13)), intruder_);
    verifyRefused(overlongKey);
    QCOMPARE(snapshot(intruder_).size(), 1);
}

void TestServiceSecurity::anotherAccountCannotReachTheRecord_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lines");

    const QStringList save = SaveLines(kVictimGuid, "别人的", "99", "1", "偷", QDate(2015, 1, 6));
    QTest::newRow("read newest") << kPost << QStringList{"action=data", "page=0"};
    QTest::newRow("read month") << kPost << QStringList{"action=data", "page=0", "month1=2015-01-05"};
    QTest::newRow("read day") << kPost << QStringList{"action=data", "page=0", "day1=2015-01-05"};
    QTest::newRow("read sums") << kPost
                               << QStringList{"action=data", "bdate1=2015-01-01", "edate1=2015-02-01", "sum1=sum1"};
    QTest::newRow("month totals") << kPost << QStringList{"action=add_sum", "year1=2015", "month1=1"};
    QTest::newRow("save over") << kPost << save;
    QTest::newRow("delete") << kPost << QStringList{"action=del", "id_guid=" + kVictimGuid};
    QTest::newRow("lock") << kLock << QStringList{"action=lock", "id_guid=" + kVictimGuid};
    QStringList lockWithFields = save;
    lockWithFields[0] = QStringLiteral("action=lock");
    QTest::newRow("lock with fields") << kLock << lockWithFields;
    QTest::newRow("categories") << kType << QStringList{"action=add", "type1=" + QString("5Z2P")};
}

void TestServiceSecurity::anotherAccountCannotReachTheRecord()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lines);
    const QString before = state();

    // When the other account acts on the same id_guid
    const auto reply = post(script, lines, intruder_);

    // Then it sees none of the victim's records, and the victim's record, lock and categories are as they were
    QVERIFY(reply.status == 200);
    for (const auto &row : reply.rows) {
        QVERIFY2(row.value("name1") != QStringLiteral("房租"), "another account's record was returned");
        QVERIFY(row.value("money1") != QStringLiteral("1500"));
    }
    QCOMPARE(state(), before);
    const Snapshot mine = snapshot(victim_);
    QCOMPARE(mine.value(kVictimGuid).value("is_lock"), QStringLiteral("0"));
    // The victim can still change the record, so no lock of the intruder reached it
    const auto update = post(kPost, SaveLines(kVictimGuid, "房租", "1600", "0", "住房", QDate(2015, 1, 5)), victim_);
    QVERIFY2(update.ok(), update.raw.constData());
}

void TestServiceSecurity::wrongCredentialsAreRefusedOnEveryAction_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("session");

    const QList<QPair<const char *, QStringList>> sessions{
        {"wrong password", SessionLines("家庭", "pw-wrong")},
        {"empty password", SessionLines("家庭", "")},
        {"password case", SessionLines("家庭", "PW")},
        {"sql password", SessionLines("家庭", "' OR '1'='1")},
        {"unknown user", SessionLines("没有的人", "pw")},
        {"sql user", SessionLines("家庭' --", "pw")},
        {"no session", QStringList{}},
    };
    const QList<QPair<QString, QStringList>> actions{
        {kLogin, {"action=login"}},
        {kType, {"action=data"}},
        {kType, {"action=add", "type1=5Z2P"}},
        {kPost, {"action=data", "page=0"}},
        {kPost, SaveLines(kVictimGuid, "改", "1", "0", "餐饮", QDate(2015, 1, 5))},
        {kPost, SaveLines("{CCCCCCCC-0000-4000-8000-000000000003}", "新", "1", "0", "餐饮", QDate(2015, 1, 5))},
        {kPost, {"action=del", "id_guid=" + kVictimGuid}},
        {kPost, {"action=add_sum", "year1=2015", "month1=1"}},
        {kLock, {"action=lock", "id_guid=" + kVictimGuid}},
    };
    for (const auto &[sessionName, session] : sessions)
        for (const auto &[script, lines] : actions)
            QTest::newRow(
                qPrintable(QStringLiteral("%1 %2 %3 %4").arg(sessionName, script, lines.first(), lines.last())))
                << script << lines << session;
}

void TestServiceSecurity::wrongCredentialsAreRefusedOnEveryAction()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, session);
    const QString before = state();

    const auto reply = post(script, lines, session);

    verifyRefused(reply);
    QVERIFY(reply.rows.isEmpty());
    QCOMPARE(state(), before);
}

void TestServiceSecurity::oversizedBodiesAreRefused_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("bytes");

    for (const QString &script : {kPost, kType, kLock, kLogin})
        for (const int bytes : {1024 * 1024 + 1, 8 * 1024 * 1024})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(script).arg(bytes))) << script << bytes;
}

void TestServiceSecurity::oversizedBodiesAreRefused()
{
    QFETCH(QString, script);
    QFETCH(int, bytes);
    const QString before = state();

    // Given a well-formed request of the victim whose name alone passes the body limit
    QStringList lines = SaveLines(kVictimGuid, QString(bytes, QLatin1Char('a')), "1", "0", "餐饮", QDate(2015, 1, 5));
    if (script == kType)
        lines = QStringList{"action=add", "type1=" + QString(bytes, QLatin1Char('A'))};
    else if (script == kLock)
        lines[0] = QStringLiteral("action=lock");
    const auto reply = post(script, lines, victim_);

    // Then it is refused as too large, and the service goes on answering with nothing changed
    QCOMPARE(reply.status, 413);
    QCOMPARE(state(), before);
}

void TestServiceSecurity::requestsWithoutAnActionAreRefused_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lines");

    for (const QString &script : {kPost, kType, kLock, kLogin}) {
        QTest::newRow(qPrintable(script + " none")) << script << QStringList{"id_guid=" + kVictimGuid};
        QTest::newRow(qPrintable(script + " empty")) << script << QStringList{"action=", "id_guid=" + kVictimGuid};
        QTest::newRow(qPrintable(script + " unknown"))
            << script << QStringList{"action=drop", "id_guid=" + kVictimGuid};
        QTest::newRow(qPrintable(script + " case")) << script << QStringList{"action=DEL", "id_guid=" + kVictimGuid};
        QTest::newRow(qPrintable(script + " sql"))
            << script << QStringList{"action=del' OR '1'='1", "id_guid=" + kVictimGuid};
    }
    QTest::newRow("unknown script") << QStringLiteral("kessum_sqlite_drop.php")
                                    << QStringList{"action=del", "id_guid=" + kVictimGuid};
}

void TestServiceSecurity::requestsWithoutAnActionAreRefused()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lines);
    const QString before = state();

    const auto reply = post(script, lines, victim_);

    verifyRefused(reply);
    QCOMPARE(state(), before);
}

QTEST_GUILESS_MAIN(TestServiceSecurity)
#include "tst_service_security.moc"
