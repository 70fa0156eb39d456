#include "core/Session.h"

#include "util/Gbk.h"
#include "util/IniFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetSession(); }
    void cleanup() { ResetSession(); }
    void emptyBlockHasFiveLines();
    void blockValuesAreRaw();
    void defaultAddresses();
    void addressesFromIni_data();
    void addressesFromIni();
};

void TestSession::emptyBlockHasFiveLines()
{
    QCOMPARE(SessionBlock(), QStringLiteral("user_name=\r\nuser_pass=\r\ninput_user=\r\nclient_type=pc\r\n"
                                            "protocol_version=1.0\r\n"));
}

void TestSession::blockValuesAreRaw()
{
    SessionUser = QStringLiteral("张三&co");
    SessionPassword = QStringLiteral("p w=");
    SessionInputUser = QStringLiteral("192.168.0.2");
    QCOMPARE(SessionBlock(), QStringLiteral("user_name=张三&co\r\nuser_pass=p w=\r\ninput_user=192.168.0.2\r\n"
                                            "client_type=pc\r\nprotocol_version=1.0\r\n"));
}

void TestSession::defaultAddresses()
{
    QCOMPARE(ServiceBaseUrl, QStringLiteral("http://127.0.0.1:8086/ms/kessum/"));
    QCOMPARE(AlternateBaseUrl, QStringLiteral("http://localhost:8086/ms/kessum/"));
    QCOMPARE(ProtocolVersion, QStringLiteral("1.0"));
}

void TestSession::addressesFromIni_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("alternate");

    const QString defMain = DefaultServiceBaseUrl();
    const QString defAlt = DefaultAlternateBaseUrl();
    QTest::newRow("no file content") << QByteArray() << defMain << defAlt;
    QTest::newRow("both keys") << ToGbk(QStringLiteral(
                                      "[设置]\r\n服务地址=http://a:1/x/\r\n备用服务地址=http://b:2/y/\r\n"))

                               << "http://a:1/x/"
                               << "http://b:2/y/";
    QTest::newRow("slash added") << ToGbk(QStringLiteral("[设置]\r\n服务地址=http://a:1/x\r\n")) << "http://a:1/x/"
                                 << defAlt;
    QTest::newRow("empty value keeps default") << ToGbk(QStringLiteral("[设置]\r\n服务地址=\r\n")) << defMain << defAlt;
    QTest::newRow("other section ignored")
        << ToGbk(QStringLiteral("[其他]\r\n服务地址=http://a/\r\n")) << defMain << defAlt;
}

void TestSession::addressesFromIni()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, main);
    QFETCH(QString, alternate);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sis1.ini"));
    IniFile file(path);
    file.parse(ini);
    LoadServiceAddresses(file);

    QCOMPARE(ServiceBaseUrl, main);
    QCOMPARE(AlternateBaseUrl, alternate);
    QVERIFY(!QFile::exists(path)); // read only, never written
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
