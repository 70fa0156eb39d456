#include "core/Session.h"
#include "reports/QueryRequest.h"

#include <QTest>

using namespace lumora;

namespace
{

const QString kSession = QStringLiteral("user_name=u1\r\nuser_pass=p1\r\ninput_user=me\r\nclient_type=pc\r\n"
                                        "protocol_version=1.0\r\n");

QueryStrip Strip(const QString &category, bool minimum = false, const QString &minimumText = QStringLiteral("50"))
{
    QueryStrip strip;
    strip.minimumChecked = minimum;
    strip.minimumText = minimumText;
    strip.beginText = QStringLiteral("2014-02-01");
    strip.endText = QStringLiteral("2014-03-01");
    strip.categoryText = category;
    return strip;
}

} // namespace

class TestQueryMoreLines : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { ResetSession(); }
    void categoryFilter_data();
    void categoryFilter();
    void recordsAndTotalsLines();
    void minimumAmountAndTrimming_data();
    void minimumAmountAndTrimming();
    void detailLines_data();
    void detailLines();
    void valuesNeverBreakTheLine();
};

void TestQueryMoreLines::init()
{
    ResetSession();
    SessionUser = QStringLiteral("u1");
    SessionPassword = QStringLiteral("p1");
    SessionInputUser = QStringLiteral("me");
}

void TestQueryMoreLines::categoryFilter_data()
{
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("type1");
    QTest::addColumn<QString>("in1");
    QTest::newRow("all expenses") << "<全部支出>"
                                  << ""
                                  << "0";
    QTest::newRow("all income") << "<全部收入>"
                                << ""
                                << "1";
    QTest::newRow("all income with blanks") << " <全部收入> "
                                            << ""
                                            << "1";
    QTest::newRow("listed category") << "餐饮"
                                     << "餐饮"
                                     << "0";
    QTest::newRow("typed category, trimmed") << "  打车 费 \t"
                                             << "打车 费"
                                             << "0";
    QTest::newRow("empty box") << ""
                               << ""
                               << "0";
}

void TestQueryMoreLines::categoryFilter()
{
    QFETCH(QString, boxText);
    QFETCH(QString, type1);
    QFETCH(QString, in1);

    const CategoryFilter filter = CategoryFilterFor(boxText);

    QCOMPARE(filter.type1, type1);
    QCOMPARE(filter.in1, in1);
}

void TestQueryMoreLines::recordsAndTotalsLines()
{
    const QueryStrip strip = Strip(QStringLiteral("<全部收入>"));

    const QString records = QueryRequestLines(strip, false);
    const QString totals = QueryRequestLines(strip, true);

    const QString expected = kSession + QStringLiteral("action=data\r\nmini_money=\r\nbdate1=2014-02-01\r\n"
                                                       "edate1=2014-03-01\r\ntype1=\r\nin1=1\r\n");
    QCOMPARE(records, expected);
    QCOMPARE(totals, expected + QStringLiteral("sum1=sum1\r\n"));
}

void TestQueryMoreLines::minimumAmountAndTrimming_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("minimumText");
    QTest::addColumn<QString>("line");
    QTest::newRow("unchecked sends nothing") << false << "50"
                                             << "mini_money=\r\n";
    QTest::newRow("checked sends the amount") << true << "50"
                                              << "mini_money=50\r\n";
    QTest::newRow("checked, trimmed") << true << " 12.5 "
                                      << "mini_money=12.5\r\n";
}

void TestQueryMoreLines::minimumAmountAndTrimming()
{
    QFETCH(bool, checked);
    QFETCH(QString, minimumText);
    QFETCH(QString, line);
    QueryStrip strip = Strip(QStringLiteral(" 打车 "), checked, minimumText);
    strip.beginText = QStringLiteral(" 2014-2-1 ");
    strip.endText = QStringLiteral("not a date ");

    const QString lines = QueryRequestLines(strip, false);

    QVERIFY2(lines.contains(QStringLiteral("\r\n") + line), qPrintable(lines));
    // Dates go out as typed, only trimmed; the service reads the range.
    QVERIFY(lines.contains(QStringLiteral("\r\nbdate1=2014-2-1\r\nedate1=not a date\r\ntype1=打车\r\nin1=0\r\n")));
}

void TestQueryMoreLines::detailLines_data()
{
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("tail");
    QTest::newRow("expenses") << "<全部支出>"
                              << "餐饮"
                              << "type1=餐饮\r\nin1=0\r\n";
    QTest::newRow("income box keeps in1") << "<全部收入>"
                                          << "工资"
                                          << "type1=工资\r\nin1=1\r\n";
    QTest::newRow("typed box, tree category wins") << "打车"
                                                   << " 餐饮 "
                                                   << "type1=餐饮\r\nin1=0\r\n";
}

void TestQueryMoreLines::detailLines()
{
    QFETCH(QString, boxText);
    QFETCH(QString, category);
    QFETCH(QString, tail);

    const QString lines = DetailRequestLines(Strip(boxText, true), category);

    QCOMPARE(lines, kSession +
                        QStringLiteral("action=data\r\nmini_money=50\r\nbdate1=2014-02-01\r\nedate1=2014-03-01\r\n") +
                        tail);
    QVERIFY(!lines.contains(QStringLiteral("sum1")));
}

void TestQueryMoreLines::valuesNeverBreakTheLine()
{
    const QString lines = DetailRequestLines(Strip(QStringLiteral("<全部支出>")), QStringLiteral("a\r\nuser_name=x"));

    QVERIFY(lines.contains(QStringLiteral("\r\ntype1=auser_name=x\r\n")));
    QCOMPARE(lines.count(QStringLiteral("user_name=")), 2);
    QCOMPARE(lines.count(QStringLiteral("\r\n")), 11);
}

QTEST_APPLESS_MAIN(TestQueryMoreLines)
#include "tst_querymore_lines.moc"
