#include "server/CalendarDate.h"
#include "server/FormBody.h"
#include "server/GbkText.h"
#include "server/Money.h"

#include <QTest>

using namespace lumora::service;

class TestServiceParsing : public QObject
{
    Q_OBJECT

private slots:
    void formBody_data();
    void formBody();
    void formBodyRefusesBrokenEscapes_data();
    void formBodyRefusesBrokenEscapes();
    void formBodyGbk();
    void cents_data();
    void cents();
    void formatCents_data();
    void formatCents();
    void dates_data();
    void dates();
    void dateArithmetic();
};

void TestServiceParsing::formBody_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("trailing ampersand") << QByteArray("action=data&page=0&") << QByteArray("page") << QByteArray("0");
    QTest::newRow("plus is a blank") << QByteArray("a=x+y") << QByteArray("a") << QByteArray("x y");
    QTest::newRow("escaped plus") << QByteArray("a=1%2B1") << QByteArray("a") << QByteArray("1+1");
    QTest::newRow("escaped separators") << QByteArray("a=%26%3D%25") << QByteArray("a") << QByteArray("&=%");
    QTest::newRow("first line wins") << QByteArray("user_name=a&user_name=b&") << QByteArray("user_name")
                                     << QByteArray("a");
    QTest::newRow("names are case-sensitive") << QByteArray("Page=1&page=2") << QByteArray("page") << QByteArray("2");
    QTest::newRow("empty value") << QByteArray("type1=&in1=0&") << QByteArray("type1") << QByteArray("");
    QTest::newRow("lower-case hex") << QByteArray("a=%d6%d0") << QByteArray("a") << QByteArray("\xd6\xd0");
    QTest::newRow("blanks around the body") << QByteArray("  a=1&b=2&\r\n") << QByteArray("b") << QByteArray("2");
}

void TestServiceParsing::formBody()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, value);

    const auto form = FormBody::Parse(body.toStdString());

    QVERIFY(form);
    QVERIFY(form->has(name.toStdString()));
    QCOMPARE(QByteArray::fromStdString(form->value(name.toStdString())), value);
}

void TestServiceParsing::formBodyRefusesBrokenEscapes_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("cut at the end") << QByteArray("a=1&b=%4");
    QTest::newRow("percent alone") << QByteArray("a=%");
    QTest::newRow("not hex") << QByteArray("a=%zz&");
}

void TestServiceParsing::formBodyRefusesBrokenEscapes()
{
    QFETCH(QByteArray, body);
    QVERIFY(!FormBody::Parse(body.toStdString()));
}

void TestServiceParsing::formBodyGbk()
{
    // 中文 in GBK, then a byte pair that is no GBK character
    auto good = FormBody::Parse("name1=%D6%D0%CE%C4&");
    auto bad = FormBody::Parse("name1=%D6%D0&x=%FF%FF");

    QVERIFY(good && good->convertFromGbk());
    QCOMPARE(QString::fromStdString(good->value("name1")), QStringLiteral("中文"));
    QVERIFY(bad);
    QVERIFY(!bad->convertFromGbk());
    QCOMPARE(bad->value("name1"), std::string("\xD6\xD0")); // unchanged
    QVERIFY(!GbkToUtf8("\xD6"));                            // cut inside a character
}

void TestServiceParsing::cents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("whole") << "12" << true << qint64(1200);
    QTest::newRow("one decimal") << "12.5" << true << qint64(1250);
    QTest::newRow("two decimals") << "0.07" << true << qint64(7);
    QTest::newRow("blanks") << " 3.10 " << true << qint64(310);
    QTest::newRow("negative") << "-4.2" << true << qint64(-420);
    QTest::newRow("leading point") << ".5" << true << qint64(50);
    QTest::newRow("trailing point") << "5." << true << qint64(500);
    QTest::newRow("third decimal rounds up") << "1.005" << true << qint64(101);
    QTest::newRow("third decimal rounds down") << "1.004" << true << qint64(100);
    QTest::newRow("empty is zero") << "" << true << qint64(0);
    QTest::newRow("letters") << "12元" << false << qint64(0);
    QTest::newRow("exponent") << "1e5" << false << qint64(0);
    QTest::newRow("thousands separator") << "1,000" << false << qint64(0);
    QTest::newRow("two points") << "1.2.3" << false << qint64(0);
    QTest::newRow("sign only") << "-" << false << qint64(0);
    QTest::newRow("point only") << "." << false << qint64(0);
    QTest::newRow("huge") << "12345678901234567" << false << qint64(0);
}

void TestServiceParsing::cents()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, cents);

    const auto parsed = ParseCents(text.toStdString());

    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(qint64(*parsed), cents);
}

void TestServiceParsing::formatCents_data()
{
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0.00";
    QTest::newRow("cents only") << qint64(7) << "0.07";
    QTest::newRow("negative cents") << qint64(-5) << "-0.05";
    QTest::newRow("large") << qint64(123456789) << "1234567.89";
}

void TestServiceParsing::formatCents()
{
    QFETCH(qint64, cents);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatCents(cents)), text);
}

void TestServiceParsing::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("iso"); // empty: refused
    QTest::newRow("padded") << "2015-01-13"
                            << "2015-01-13";
    QTest::newRow("unpadded") << "2009-3-7"
                              << "2009-03-07";
    QTest::newRow("with time") << "2015-01-13 10:20:30"
                               << "2015-01-13";
    QTest::newRow("chosen month") << "2015-1-01 12:00:00"
                                  << "2015-01-01";
    QTest::newRow("leap day") << "2016-2-29"
                              << "2016-02-29";
    QTest::newRow("no leap day") << "2015-2-29"
                                 << "";
    QTest::newRow("century not leap") << "1900-02-29"
                                      << "";
    QTest::newRow("thirty-first of April") << "2015-04-31"
                                           << "";
    QTest::newRow("month 13") << "2015-13-01"
                              << "";
    QTest::newRow("day zero") << "2015-01-00"
                              << "";
    QTest::newRow("slashes") << "2015/01/13"
                             << "";
    QTest::newRow("words") << "today"
                           << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestServiceParsing::dates()
{
    QFETCH(QString, text);
    QFETCH(QString, iso);

    const auto date = CalendarDate::Parse(text.toStdString());

    QCOMPARE(date.has_value(), !iso.isEmpty());
    if (date)
        QCOMPARE(QString::fromStdString(date->iso()), iso);
}

void TestServiceParsing::dateArithmetic()
{
    const CalendarDate newYear{2015, 1, 1};
    QCOMPARE(QString::fromStdString(newYear.addDays(-1).iso()), QStringLiteral("2014-12-31"));
    QCOMPARE(QString::fromStdString(CalendarDate{2016, 2, 28}.addDays(1).iso()), QStringLiteral("2016-02-29"));
    QCOMPARE(QString::fromStdString(CalendarDate{2014, 12, 31}.addMonths(1).iso()), QStringLiteral("2015-01-01"));
    QCOMPARE(QString::fromStdString(newYear.addMonths(-11).iso()), QStringLiteral("2014-02-01"));
    QVERIFY(!CalendarDate::FromFields("2015", "2", "30"));
    QVERIFY(CalendarDate::FromFields("2015", "02", "28"));
}

QTEST_GUILESS_MAIN(TestServiceParsing)
#include "tst_serviceparsing.moc"
