#include "reports/QueryPeriod.h"

#include <QTest>

using namespace lumora;

class TestQueryMorePeriod : public QObject
{
    Q_OBJECT
private slots:
    void initialPeriod_data();
    void initialPeriod();
    void monthPeriod_data();
    void monthPeriod();
    void shiftedPeriod_data();
    void shiftedPeriod();
    void shiftedPeriodRefusesNonDates_data();
    void shiftedPeriodRefusesNonDates();
};

void TestQueryMorePeriod::initialPeriod_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::newRow("mid month") << QDate(2015, 6, 15) << "2015-05-15"
                               << "2015-06-16";
    QTest::newRow("31 march") << QDate(2014, 3, 31) << "2014-02-28"
                              << "2014-04-01";
    QTest::newRow("31 march, leap year") << QDate(2016, 3, 31) << "2016-02-29"
                                         << "2016-04-01";
    QTest::newRow("31 may to 30 april") << QDate(2015, 5, 31) << "2015-04-30"
                                        << "2015-06-01";
    QTest::newRow("january goes to last year") << QDate(2015, 1, 10) << "2014-12-10"
                                               << "2015-01-11";
    QTest::newRow("new year's eve") << QDate(2014, 12, 31) << "2014-11-30"
                                    << "2015-01-01";
}

void TestQueryMorePeriod::initialPeriod()
{
    QFETCH(QDate, today);
    QFETCH(QString, begin);
    QFETCH(QString, end);

    const QueryPeriod period = InitialQueryPeriod(today);

    QCOMPARE(period.begin, begin);
    QCOMPARE(period.end, end);
}

void TestQueryMorePeriod::monthPeriod_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::newRow("first day") << QDate(2015, 1, 1) << "2015-01-01"
                               << "2015-02-01";
    QTest::newRow("last day of january") << QDate(2015, 1, 31) << "2015-01-01"
                                         << "2015-02-01";
    QTest::newRow("last day of february") << QDate(2016, 2, 29) << "2016-02-01"
                                          << "2016-03-01";
    QTest::newRow("last day of the year") << QDate(2014, 12, 31) << "2014-12-01"
                                          << "2015-01-01";
}

void TestQueryMorePeriod::monthPeriod()
{
    QFETCH(QDate, today);
    QFETCH(QString, begin);
    QFETCH(QString, end);

    const QueryPeriod period = MonthQueryPeriod(today);

    QCOMPARE(period.begin, begin);
    QCOMPARE(period.end, end);
}

void TestQueryMorePeriod::shiftedPeriod_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("months");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::newRow("back from 31 march") << "2014-03-31" << -1 << "2014-02-01"
                                        << "2014-03-01";
    QTest::newRow("forward from 31 january") << "2014-01-31" << 1 << "2014-02-01"
                                             << "2014-03-01";
    QTest::newRow("back across the year") << "2015-01-15" << -1 << "2014-12-01"
                                          << "2015-01-01";
    QTest::newRow("forward across the year") << "2014-12-31" << 1 << "2015-01-01"
                                             << "2015-02-01";
    QTest::newRow("no leading zeros") << "2014-3-5" << -1 << "2014-02-01"
                                      << "2014-03-01";
    QTest::newRow("blanks around") << " 2014-03-05 " << 1 << "2014-04-01"
                                   << "2014-05-01";
}

void TestQueryMorePeriod::shiftedPeriod()
{
    QFETCH(QString, start);
    QFETCH(int, months);
    QFETCH(QString, begin);
    QFETCH(QString, end);

    const std::optional<QueryPeriod> period = ShiftedQueryPeriod(start, months);

    QVERIFY(period);
    QCOMPARE(period->begin, begin);
    QCOMPARE(period->end, end);
}

void TestQueryMorePeriod::shiftedPeriodRefusesNonDates_data()
{
    QTest::addColumn<QString>("start");
    QTest::newRow("empty") << "";
    QTest::newRow("word") << "abc";
    QTest::newRow("no such day") << "2014-02-30";
    QTest::newRow("month 13") << "2014-13-01";
    QTest::newRow("with a time") << "2014-03-01 12:00:00";
    QTest::newRow("slashes") << "2014/03/01";
}

void TestQueryMorePeriod::shiftedPeriodRefusesNonDates()
{
    QFETCH(QString, start);

    QVERIFY(!ShiftedQueryPeriod(start, -1));
    QVERIFY(!ShiftedQueryPeriod(start, 1));
}

QTEST_APPLESS_MAIN(TestQueryMorePeriod)
#include "tst_querymore_period.moc"
