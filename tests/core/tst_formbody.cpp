#include "core/HttpThreadControl.h"

#include <QTest>

using lumora::THttpThreadControl;

class TestFormBody : public QObject
{
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
};

void TestFormBody::encode_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("two lines end with an ampersand")
        << QStringList{"action=data", "page=0"} << QByteArray("action=data&page=0&");
    QTest::newRow("one line has no ampersand") << QStringList{"a=1"} << QByteArray("a=1");
    QTest::newRow("empty value stays") << QStringList{"a=1", "b="} << QByteArray("a=1&b=&");
    QTest::newRow("reserved characters") << QStringList{"v=&=+%"} << QByteArray("v=%26%3D%2B%25");
    QTest::newRow("blank becomes plus") << QStringList{"v=a b"} << QByteArray("v=a+b");
    QTest::newRow("Chinese in GBK, upper-case hex") << QStringList{"type1=餐饮"} << QByteArray("type1=%B2%CD%D2%FB");
    QTest::newRow("names are never encoded") << QStringList{"a b&=x y"} << QByteArray("a b&=x+y");
    QTest::newRow("only the first = splits") << QStringList{"k=a=b"} << QByteArray("k=a%3Db");
    QTest::newRow("line without = stays") << QStringList{"plain text", "x=1"} << QByteArray("plain text&x=1&");
    QTest::newRow("punctuation and dot") << QStringList{"m=12.50-_~"} << QByteArray("m=12%2E50%2D%5F%7E");
    QTest::newRow("repeated names each encoded") << QStringList{"u=a b", "u=a b"} << QByteArray("u=a+b&u=a+b&");
    QTest::newRow("leading blanks trimmed, value blanks encoded") << QStringList{"  a=1  "} << QByteArray("a=1++");
    QTest::newRow("no lines") << QStringList{} << QByteArray();
    QTest::newRow("empty line in the middle") << QStringList{"a=1", "", "b=2"} << QByteArray("a=1&&b=2&");
}

void TestFormBody::encode()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, body);
    QCOMPARE(THttpThreadControl::EncodeFormBody(lines), body);
}

QTEST_GUILESS_MAIN(TestFormBody)
#include "tst_formbody.moc"
