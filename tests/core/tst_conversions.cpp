#include "core/Conversions.h"
#include "core/HttpThreadControl.h"
#include "core/ItemInfo.h"
#include "core/NetSta.h"

#include "util/MessageSeam.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QTest>

using namespace lumora;

class TestConversions : public QObject
{
    Q_OBJECT
private slots:
    void isReplyOk_data();
    void isReplyOk();
    void isReplyOkCutsLongReplies();
    void isReplyOkHidesBusy();
    void toHalfWidth_data();
    void toHalfWidth();
    void inOutToCode_data();
    void inOutToCode();
    void codeToInOut_data();
    void codeToInOut();
    void newRecordId();
    void clearRecordId();
    void pickLocalIpv4_data();
    void pickLocalIpv4();
    void localIpAddress();
};

void TestConversions::isReplyOk_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("message");

    QTest::newRow("1") << "<r><Result Value=\"1\"/></r> " << true << false;
    QTest::newRow("True") << "<r><Result Value=\"True\"/></r>" << true << false;
    QTest::newRow("TRUE") << "<r><Result Value=\"TRUE\"/></r>" << true << false;
    QTest::newRow("0") << "<r><Result Value=\"0\"/></r>" << false << false;
    QTest::newRow("false") << "<r><Result Value=\"false\"/></r>" << false << false;
    QTest::newRow("other number") << "<r><Result Value=\"-2\"/></r>" << true << false;
    QTest::newRow("yes is an error") << "<r><Result Value=\"yes\"/></r>" << false << true;
    QTest::newRow("empty value is an error") << "<r><Result Value=\"\"/></r>" << false << true;
    QTest::newRow("no Result") << "<r><Data/></r>" << false << false;
    QTest::newRow("Result without Value") << "<r><Result x=\"1\"/></r>" << false << false;
    QTest::newRow("first Result counts") << "<r><Result Value=\"0\"/><Result Value=\"1\"/></r>" << false << false;
    QTest::newRow("nested Result ignored") << "<r><a><Result Value=\"1\"/></a></r>" << false << false;
    QTest::newRow("not XML") << "<html>oops" << false << true;
    QTest::newRow("empty reply") << " " << false << true;
}

void TestConversions::isReplyOk()
{
    QFETCH(QString, reply);
    QFETCH(bool, ok);
    QFETCH(bool, message);
    ScopedMessageCapture capture;
    THttpThreadControl http;
    http.ResponseText = reply;

    QCOMPARE(IsReplyOk(&http), ok);

    QCOMPARE(capture.messages.size(), message ? 1 : 0);
    if (message)
        QCOMPARE(capture.lastText(), QStringLiteral("错误: ") + reply);
}

void TestConversions::isReplyOkCutsLongReplies()
{
    ScopedMessageCapture capture;
    const QString reply = QStringLiteral("<html>") + QString(5000, QLatin1Char('x'));

    QVERIFY(!IsReplyOk(reply));

    QCOMPARE(capture.messages.size(), 1);
    QCOMPARE(capture.lastText(), QStringLiteral("错误: ") + reply.left(300) + QStringLiteral("..."));
}

void TestConversions::isReplyOkHidesBusy()
{
    ShowBusy();
    QVERIFY(BusyVisible());
    IsReplyOk(QStringLiteral("<r><Result Value=\"1\"/></r>"));
    QVERIFY(!BusyVisible());
}

void TestConversions::toHalfWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("full-width date") << "２０１５－０１－０２"
                                     << "2015－01－02";
    QTest::newRow("ideographic stop") << "１２。５"
                                      << "12.5";
    QTest::newRow("colon and blanks") << " \t８：３０　 "
                                      << "8:30　";
    QTest::newRow("ascii unchanged") << "12.50"
                                     << "12.50";
    QTest::newRow("full-width stop stays") << "１２．５"
                                           << "12．5";
    QTest::newRow("control characters trimmed") << "\r\n5\x01"
                                                << "5";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("Chinese kept") << "午饭１０"
                                  << "午饭10";
}

void TestConversions::toHalfWidth()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ToHalfWidth(text), expected);
}

void TestConversions::inOutToCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::newRow("expense") << "支出"
                             << "0";
    QTest::newRow("income") << "收入"
                            << "1";
    QTest::newRow("empty") << ""
                           << "1";
    QTest::newRow("expense with blank") << "支出 "
                                        << "1";
}

void TestConversions::inOutToCode()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(InOutToCode(text), code);
}

void TestConversions::codeToInOut_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << "0"
                       << "支出";
    QTest::newRow("FALSE") << "FALSE"
                           << "支出";
    QTest::newRow("false") << "false"
                           << "支出";
    QTest::newRow("1") << "1"
                       << "收入";
    QTest::newRow("2") << "2"
                       << "收入";
    QTest::newRow("empty") << ""
                           << "收入";
    QTest::newRow("00") << "00"
                        << "收入";
}

void TestConversions::codeToInOut()
{
    QFETCH(QString, code);
    QFETCH(QString, text);
    QCOMPARE(CodeToInOut(code), text);
}

void TestConversions::newRecordId()
{
    static const QRegularExpression form(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    const QString a = NewRecordId();
    const QString b = NewRecordId();
    QVERIFY2(form.match(a).hasMatch(), qPrintable(a));
    QCOMPARE(a.size(), 38);
    QVERIFY(a != b);
}

void TestConversions::clearRecordId()
{
    TItemInfo info;
    info.IsNew = true;
    info.id = QStringLiteral("7");
    info.id_guid = NewRecordId();
    info.name1 = QStringLiteral("午饭");

    ClearRecordId(info);

    QVERIFY(info.id_guid.isEmpty());
    QVERIFY(info.IsNew);
    QCOMPARE(info.id, QStringLiteral("7"));
    QCOMPARE(info.name1, QStringLiteral("午饭"));
}

void TestConversions::pickLocalIpv4_data()
{
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("label");
    QTest::newRow("host name on loopback, interface beside it")
        << QStringList{"127.0.1.1", "127.0.0.1", "::1", "192.168.1.20"} << "192.168.1.20";
    QTest::newRow("first of several") << QStringList{"10.0.0.7", "192.168.1.20"} << "10.0.0.7";
    QTest::newRow("IPv6 passed over") << QStringList{"fe80::1", "2001:db8::5", "172.16.3.4"} << "172.16.3.4";
    QTest::newRow("only loopback") << QStringList{"::1", "127.0.1.1", "127.0.0.1"} << "127.0.1.1";
    QTest::newRow("no IPv4") << QStringList{"::1"} << "";
    QTest::newRow("nothing") << QStringList{} << "";
}

void TestConversions::pickLocalIpv4()
{
    QFETCH(QStringList, found);
    QFETCH(QString, label);
    QList<QHostAddress> addresses;
    for (const QString &text : found)
        addresses << QHostAddress(text);
    QCOMPARE(PickLocalIpv4(addresses), label);
}

void TestConversions::localIpAddress()
{
    // Whatever the machine's name resolves to: a dotted IPv4 address or nothing.
    const QString ip = LocalIpAddress();
    if (!ip.isEmpty()) {
        QHostAddress address;
        QVERIFY2(address.setAddress(ip), qPrintable(ip));
        QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
    }
    // A machine with a network address of its own never gets the loopback label.
    for (const QHostAddress &address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            QVERIFY2(!QHostAddress(ip).isLoopback(), qPrintable(ip));
}

QTEST_MAIN(TestConversions)
#include "tst_conversions.moc"
