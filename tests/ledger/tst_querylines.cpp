#include "core/Reply.h"
#include "ledger/QueryLines.h"

#include <QTest>

using namespace lumora;
using namespace lumora::query;

class TestQueryLines : public QObject
{
    Q_OBJECT
private slots:
    void linesOfEachQuery_data();
    void linesOfEachQuery();
    void captions();
    void shiftMonth_data();
    void shiftMonth();
    void monthStartRefusesBadText_data();
    void monthStartRefusesBadText();
    void fillMonthListAround();
};

void TestQueryLines::linesOfEachQuery_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    const QDateTime now(QDate(2015, 1, 13), QTime(8, 5, 9));
    QTest::newRow("newest page 2 with minimum")
        << Last50Lines(QStringLiteral("10.0.0.5"), QStringLiteral("100"), 2)
        << QStringList{"action=data", "input_user=10.0.0.5", "mini_money=100", "page=2"};
    QTest::newRow("this month") << ThisMonthLines(QString(), now)
                                << QStringList{"action=data", "page=0", "mini_money=", "month1=2015-01-13 8:05:09",
                                               "create_time=2015-01-13 8:05:09"};
    QTest::newRow("chosen month, trimmed, not padded")
        << ChosenMonthLines(QStringLiteral("100"), QStringLiteral(" 2014 "), QStringLiteral("3 "))
        << QStringList{"action=data", "page=0", "mini_money=100", "month1=2014-3-01 12:00:00",
                       "create_time=2014-3-01 12:00:00"};
    QTest::newRow("day, no minimum") << DayLines(QDate(2014, 12, 31))
                                     << QStringList{"action=data", "page=0", "day1=2014-12-31",
                                                    "create_time=2014-12-31"};
    QTest::newRow("month range trimmed") << MonthRangeLines(QStringLiteral("me"), QString(),
                                                            QStringLiteral(" 2015-02-01"),
                                                            QStringLiteral("2015-03-01 "))
                                         << QStringList{"action=data", "input_user=me",     "mini_money=",
                                                        "page=0",      "bdate1=2015-02-01", "edate1=2015-03-01"};
}

void TestQueryLines::linesOfEachQuery()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(text.chopped(2).split(QStringLiteral("\r\n")), expected);
}

void TestQueryLines::captions()
{
    QCOMPARE(ThisMonthCaption(QDate(2015, 1, 13)), QStringLiteral("2015年01月13日 月支出合计："));
    QCOMPARE(DayCaption(QDate(2015, 1, 3)), QStringLiteral("2015年01月03日 支出合计："));
    QCOMPARE(MonthCaption(QStringLiteral("201501")), QStringLiteral("201501 月支出合计："));
}

void TestQueryLines::shiftMonth_data()
{
    QTest::addColumn<QString>("month");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("back over the year") << "201501" << -1 << "201412";
    QTest::newRow("on over the year") << "201412" << 1 << "201501";
    QTest::newRow("a year back") << "201506" << -12 << "201406";
    QTest::newRow("trailing text ignored") << "201502xyz" << 0 << "201502";
}

void TestQueryLines::shiftMonth()
{
    QFETCH(QString, month);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(ShiftMonth(month, n), expected);
}

void TestQueryLines::monthStartRefusesBadText_data()
{
    QTest::addColumn<QString>("month");
    QTest::newRow("empty") << "";
    QTest::newRow("partly typed") << "2015";
    QTest::newRow("month 13") << "201513";
    QTest::newRow("month 0") << "201500";
    QTest::newRow("letters") << "abcdef";
}

void TestQueryLines::monthStartRefusesBadText()
{
    QFETCH(QString, month);
    QVERIFY_THROWS_EXCEPTION(LumoraError, MonthStart(month));
}

void TestQueryLines::fillMonthListAround()
{
    // Given a list that already holds some months
    const QStringList start{QStringLiteral("201501"), QStringLiteral("209912")};
    // When filled twice around 201501
    const QStringList once = FillMonthList(start, QStringLiteral("201501"));
    const QStringList twice = FillMonthList(once, QStringLiteral("201501"));
    // Then it holds 201401..201601 once each, ascending, plus the month that was there
    QCOMPARE(once.size(), 26);
    QCOMPARE(once.first(), QStringLiteral("201401"));
    QCOMPARE(once.at(24), QStringLiteral("201601"));
    QCOMPARE(once.last(), QStringLiteral("209912"));
    QCOMPARE(twice, once);
    QStringList sorted = once;
    sorted.sort();
    QCOMPARE(once, sorted);
}

QTEST_APPLESS_MAIN(TestQueryLines)
#include "tst_querylines.moc"
