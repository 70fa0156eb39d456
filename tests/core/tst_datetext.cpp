#include "core/DateText.h"

#include <QTest>

using namespace lumora;

class TestDateText : public QObject
{
    Q_OBJECT
private slots:
    void textToDate_data();
    void textToDate();
    void textToDateTime_data();
    void textToDateTime();
    void write_data();
    void write();
    void roundTrip();
};

void TestDateText::textToDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: the conversion fails

    QTest::newRow("leading zeros") << "2009-01-05" << QDate(2009, 1, 5);
    QTest::newRow("no leading zeros") << "2009-1-5" << QDate(2009, 1, 5);
    QTest::newRow("mixed") << "2009-12-5" << QDate(2009, 12, 5);
    QTest::newRow("surrounding blanks") << " 2009-1-5 " << QDate(2009, 1, 5);
    QTest::newRow("leap day") << "2008-2-29" << QDate(2008, 2, 29);
    QTest::newRow("no leap day") << "2009-02-29" << QDate();
    QTest::newRow("April 31") << "2009-4-31" << QDate();
    QTest::newRow("month 13") << "2009-13-1" << QDate();
    QTest::newRow("day 0") << "2009-1-0" << QDate();
    QTest::newRow("slashes") << "2009/1/5" << QDate();
    QTest::newRow("day first") << "05-01-2009" << QDate();
    QTest::newRow("with a time") << "2009-1-5 8:00" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("trailing text") << "2009-1-5x" << QDate();
}

void TestDateText::textToDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const auto result = TextToDate(text);
    QCOMPARE(result.has_value(), date.isValid());
    if (date.isValid())
        QCOMPARE(*result, date);
}

void TestDateText::textToDateTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("dateTime");

    QTest::newRow("date only is midnight") << "2009-1-5" << QDateTime(QDate(2009, 1, 5), QTime(0, 0));
    QTest::newRow("hours and minutes") << "2009-1-5 8:05" << QDateTime(QDate(2009, 1, 5), QTime(8, 5));
    QTest::newRow("with seconds") << "2009-01-05 18:05:09" << QDateTime(QDate(2009, 1, 5), QTime(18, 5, 9));
    QTest::newRow("hour 24") << "2009-1-5 24:00" << QDateTime();
    QTest::newRow("minute 60") << "2009-1-5 8:60" << QDateTime();
    QTest::newRow("bad date") << "2009-2-30 8:00" << QDateTime();
    QTest::newRow("time without minutes") << "2009-1-5 8" << QDateTime();
}

void TestDateText::textToDateTime()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, dateTime);
    const auto result = TextToDateTime(text);
    QCOMPARE(result.has_value(), dateTime.isValid());
    if (dateTime.isValid())
        QCOMPARE(*result, dateTime);
}

void TestDateText::write_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QString>("dateText");
    QTest::addColumn<QString>("dateTimeText");

    QTest::newRow("midnight") << QDateTime(QDate(2009, 1, 31), QTime(0, 0)) << "2009-01-31"
                              << "2009-01-31";
    QTest::newRow("morning") << QDateTime(QDate(2009, 1, 31), QTime(8, 5, 9)) << "2009-01-31"
                             << "2009-01-31 8:05:09";
    QTest::newRow("one second past midnight") << QDateTime(QDate(2015, 12, 1), QTime(0, 0, 1)) << "2015-12-01"
                                              << "2015-12-01 0:00:01";
    QTest::newRow("invalid") << QDateTime() << ""
                             << "";
}

void TestDateText::write()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(QString, dateText);
    QFETCH(QString, dateTimeText);
    QCOMPARE(DateToText(dateTime.date()), dateText);
    QCOMPARE(DateTimeToText(dateTime), dateTimeText);
}

void TestDateText::roundTrip()
{
    SetProcessDateFormats();
    for (QDate d(2008, 1, 1); d.year() == 2008; d = d.addDays(1))
        QCOMPARE(TextToDate(DateToText(d)).value_or(QDate()), d);
    const QDateTime dt(QDate(2008, 2, 29), QTime(23, 59, 59));
    QCOMPARE(TextToDateTime(DateTimeToText(dt)).value_or(QDateTime()), dt);
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
    QCOMPARE(QLocale().toString(1234.5), QStringLiteral("1234.5"));
}

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
