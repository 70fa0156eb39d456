#include "core/Base64.h"

#include <QTest>

using namespace lumora;

class TestBase64 : public QObject
{
    Q_OBJECT
private slots:
    void rfc4648_data();
    void rfc4648();
    void decodeSkipsForeignCharacters_data();
    void decodeSkipsForeignCharacters();
    void allBytesRoundTrip();
};

void TestBase64::rfc4648_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("f") << QByteArray("f") << QByteArray("Zg==");
    QTest::newRow("fo") << QByteArray("fo") << QByteArray("Zm8=");
    QTest::newRow("foo") << QByteArray("foo") << QByteArray("Zm9v");
    QTest::newRow("foob") << QByteArray("foob") << QByteArray("Zm9vYg==");
    QTest::newRow("fooba") << QByteArray("fooba") << QByteArray("Zm9vYmE=");
    QTest::newRow("foobar") << QByteArray("foobar") << QByteArray("Zm9vYmFy");
    QTest::newRow("high bytes") << QByteArray("\xfb\xff\x00", 3) << QByteArray("+/8A");
}

void TestBase64::rfc4648()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    QCOMPARE(Base64EncodeLine(bytes), text);
    QCOMPARE(Base64Decode(text), bytes);
}

void TestBase64::decodeSkipsForeignCharacters_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF every four") << QByteArray("Zm9v\r\nYmFy\r\n") << QByteArray("foobar");
    QTest::newRow("CR LF inside a group") << QByteArray("Zm\r\n9vYg\r\n==") << QByteArray("foob");
    QTest::newRow("blanks and tabs") << QByteArray(" Zm9v\tYmE= ") << QByteArray("fooba");
    QTest::newRow("junk only") << QByteArray("!@#$ \r\n") << QByteArray();
    QTest::newRow("incomplete group") << QByteArray("Zm9vYm") << QByteArray("foob");
}

void TestBase64::decodeSkipsForeignCharacters()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Base64Decode(text), bytes);
}

void TestBase64::allBytesRoundTrip()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    for (int n = 0; n <= all.size(); n += 37) {
        const QByteArray part = all.left(n);
        const QByteArray line = Base64EncodeLine(part);
        QVERIFY(!line.contains('\n'));
        QCOMPARE(Base64Decode(line), part);
    }
}

QTEST_GUILESS_MAIN(TestBase64)
#include "tst_base64.moc"
