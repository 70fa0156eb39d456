#include "app/DesCipher.h"

#include "core/Base64.h"
#include "core/Reply.h"

#include "util/Gbk.h"

#include <QTest>

using namespace lumora;

class TestDesCipher : public QObject
{
    Q_OBJECT
private slots:
    void knownAnswers_data();
    void knownAnswers();
    void multiBlockEcb();
    void parityBitsDoNotCount();
    void keyRules_data();
    void keyRules();
    void padding_data();
    void padding();
    void roundTrip_data();
    void roundTrip();
    void trailingNulIsRefused();
    void decryptIgnoresIncompleteBlockAndTrailingNuls();
};

void TestDesCipher::knownAnswers_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");

    // The FIPS 46 worked example and entries of the NBS SP 500-20 validation tables.
    QTest::newRow("worked example") << QByteArray("133457799BBCDFF1") << QByteArray("0123456789ABCDEF")
                                    << QByteArray("85E813540F0AB405");
    QTest::newRow("weak-key plaintext") << QByteArray("0E329232EA6D0D73") << QByteArray("8787878787878787")
                                        << QByteArray("0000000000000000");
    QTest::newRow("variable plaintext 1")
        << QByteArray("0101010101010101") << QByteArray("95F8A5E5DD31D900") << QByteArray("8000000000000000");
    QTest::newRow("variable plaintext 2")
        << QByteArray("0101010101010101") << QByteArray("DD7F121CA5015619") << QByteArray("4000000000000000");
    QTest::newRow("variable key 1") << QByteArray("8001010101010101") << QByteArray("0000000000000000")
                                    << QByteArray("95A8D72813DAA94D");
    QTest::newRow("variable key 2") << QByteArray("4001010101010101") << QByteArray("0000000000000000")
                                    << QByteArray("0EEC1487DD8C26D5");
    QTest::newRow("S-box test") << QByteArray("7CA110454A1A6E57") << QByteArray("01A1D6D039776742")
                                << QByteArray("690F5B0D9A26939B");
}

void TestDesCipher::knownAnswers()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    const QByteArray k = QByteArray::fromHex(key);
    const QByteArray p = QByteArray::fromHex(plain);
    const QByteArray c = QByteArray::fromHex(cipher);

    // A plaintext ending in 0x00 cannot be enciphered through the string interface; its decipherment comes
    // back without the trailing zeros.
    if (!p.endsWith('\0'))
        QCOMPARE(DesEncryptString(p, k).toHex().toUpper(), cipher);
    QByteArray expected = p;
    while (expected.endsWith('\0'))
        expected.chop(1);
    QCOMPARE(DesDecryptString(c, k), expected);
}

void TestDesCipher::multiBlockEcb()
{
    // FIPS 81's ECB sample: every block by itself.
    const QByteArray key = QByteArray::fromHex("0123456789ABCDEF");
    const QByteArray cipher = DesEncryptString("Now is the time for all ", key);
    QCOMPARE(cipher.toHex().toUpper(), QByteArray("3FA40E8A984D48156A271787AB8883F9893D51EC4B563B53"));
    QCOMPARE(DesEncryptString("he time ", key), cipher.mid(8, 8));
}

void TestDesCipher::parityBitsDoNotCount()
{
    const QByteArray plain("password");
    QCOMPARE(DesEncryptString(plain, QByteArray::fromHex("0000000000000000")),
             DesEncryptString(plain, QByteArray::fromHex("0101010101010101")));
    QCOMPARE(DesEncryptString(plain, QByteArray("abcdefgh")), DesEncryptString(plain, QByteArray("`bbdefgi")));
}

void TestDesCipher::keyRules_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("same");

    QTest::newRow("only the first 8 bytes") << QByteArray("username1") << QByteArray("username2") << true;
    QTest::newRow("short key padded with zeros") << QByteArray("abc") << QByteArray("abc\0\0\0\0\0", 8) << true;
    QTest::newRow("empty key is eight zeros") << QByteArray() << QByteArray(8, '\0') << true;
    QTest::newRow("GBK character straddling byte 8")
        << ToGbk(QStringLiteral("abcdefg张")) << ToGbk(QStringLiteral("abcdefg章")) << true; // same first byte
    QTest::newRow("different keys") << QByteArray("user_a") << QByteArray("user_b") << false;
}

void TestDesCipher::keyRules()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, same);
    const QByteArray plain("secret pass");
    QCOMPARE(DesEncryptString(plain, a) == DesEncryptString(plain, b), same);
}

void TestDesCipher::padding_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("cipherLength");
    QTest::addColumn<int>("base64Length");
    QTest::newRow("empty") << 0 << 0 << 0;
    QTest::newRow("one byte") << 1 << 8 << 12;
    QTest::newRow("eight bytes") << 8 << 8 << 12;
    QTest::newRow("nine bytes") << 9 << 16 << 24;
    QTest::newRow("sixteen bytes") << 16 << 16 << 24;
}

void TestDesCipher::padding()
{
    QFETCH(int, length);
    QFETCH(int, cipherLength);
    QFETCH(int, base64Length);
    const QByteArray plain(length, 'p');
    const QByteArray cipher = DesEncryptString(plain, "user");
    QCOMPARE(cipher.size(), cipherLength);
    QCOMPARE(Base64EncodeLine(cipher).size(), base64Length);
    QCOMPARE(DesDecryptString(Base64Decode(Base64EncodeLine(cipher)), "user"), plain);
}

void TestDesCipher::roundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("ascii") << QByteArray("hunter2") << QByteArray("alice");
    QTest::newRow("GBK password and user") << ToGbk(QStringLiteral("密码123")) << ToGbk(QStringLiteral("张三丰"));
    QTest::newRow("zero inside") << QByteArray("a\0b", 3) << QByteArray("k");
    QTest::newRow("all high bytes") << QByteArray(20, char(0xFF)) << QByteArray(12, char(0x80));
    QTest::newRow("empty key") << QByteArray("x") << QByteArray();
}

void TestDesCipher::roundTrip()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, key);
    QCOMPARE(DesDecryptString(DesEncryptString(plain, key), key), plain);
}

void TestDesCipher::trailingNulIsRefused()
{
    try {
        DesEncryptString(QByteArray("abc\0", 4), "key");
        QFAIL("no error");
    } catch (const LumoraError &e) {
        QCOMPARE(e.message(), QStringLiteral("Error: the last char is NULL char."));
    }
    QCOMPARE(DesEncryptString(QByteArray(), "key"), QByteArray());
}

void TestDesCipher::decryptIgnoresIncompleteBlockAndTrailingNuls()
{
    const QByteArray cipher = DesEncryptString("12345678abc", "k");
    QCOMPARE(DesDecryptString(cipher + "xyz", "k"), QByteArray("12345678abc"));
    QCOMPARE(DesDecryptString(cipher.left(5), "k"), QByteArray());
    QCOMPARE(DesDecryptString(QByteArray(), "k"), QByteArray());
}

QTEST_GUILESS_MAIN(TestDesCipher)
#include "tst_descipher.moc"
