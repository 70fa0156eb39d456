#include "tst_querymore_replies.h"

#include "core/Reply.h"
#include "reports/QueryReply.h"

#include <QTest>

using namespace lumora;
using namespace lumora::test;

class TestQueryMoreReply : public QObject
{
    Q_OBJECT
private slots:
    void amounts_data();
    void amounts();
    void recordsAndExpenseTotal();
    void incomeOnlyTotalsZero();
    void rowsWithoutData();
    void categoryTotals();
    void categoryOfNode_data();
    void categoryOfNode();
};

void TestQueryMoreReply::amounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole") << "12"
                           << "12.00";
    QTest::newRow("rounded") << "3.456"
                             << "3.46";
    QTest::newRow("blanks around") << " 7.5 "
                                   << "7.50";
    QTest::newRow("negative") << "-4.1"
                              << "-4.10";
    QTest::newRow("empty") << ""
                           << "0.00";
    QTest::newRow("word") << "abc"
                          << "0.00";
    QTest::newRow("comma decimal") << "1,5"
                                   << "0.00";
    QTest::newRow("infinity") << "inf"
                              << "0.00";
    QTest::newRow("not a number") << "nan"
                                  << "0.00";
    QTest::newRow("negative zero") << "-0"
                                   << "0.00";
}

void TestQueryMoreReply::amounts()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);

    QCOMPARE(AmountText(AmountValue(text)), shown);
}

void TestQueryMoreReply::recordsAndExpenseTotal()
{
    const Reply reply = ParseReply(ReplyWithRows({
        RecordRow(QStringLiteral("午饭"), QStringLiteral("12.5"), QStringLiteral("0"), QStringLiteral("餐饮"),
                  QStringLiteral("2014-03-02")),
        RecordRow(QStringLiteral("工资"), QStringLiteral("5000"), QStringLiteral("1"), QStringLiteral("工资"),
                  QStringLiteral("2014-03-05")),
        RecordRow(QStringLiteral("打车"), QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("交通"),
                  QStringLiteral("2014-03-06")),
        RecordRow(QStringLiteral("书"), QStringLiteral(" 30 "), QStringLiteral("FALSE"), QStringLiteral("文化"),
                  QStringLiteral("2014-03-07")),
    }));

    const QueryRecords records = ReadQueryRecords(reply);

    QCOMPARE(records.rows.size(), 4);
    const QueryRecordRow &first = records.rows.at(0);
    QCOMPARE(first.name1, QStringLiteral("午饭"));
    QCOMPARE(first.money1, QStringLiteral("12.50"));
    QCOMPARE(first.inOut, QStringLiteral("支出"));
    QCOMPARE(first.type1, QStringLiteral("餐饮"));
    QCOMPARE(first.create_time, QStringLiteral("2014-03-02"));
    QCOMPARE(records.rows.at(1).inOut, QStringLiteral("收入"));
    QCOMPARE(records.rows.at(2).money1, QStringLiteral("0.00"));
    QCOMPARE(records.rows.at(3).inOut, QStringLiteral("支出"));
    // Income never counts; a non-number counts zero.
    QCOMPARE(AmountText(records.expenseTotal), QStringLiteral("42.50"));
}

void TestQueryMoreReply::incomeOnlyTotalsZero()
{
    const Reply reply = ParseReply(ReplyWithRows({
        RecordRow(QStringLiteral("工资"), QStringLiteral("5000"), QStringLiteral("1"), QStringLiteral("工资"),
                  QStringLiteral("2014-03-05")),
        RecordRow(QStringLiteral("奖金"), QStringLiteral("800"), QStringLiteral("1"), QStringLiteral("工资"),
                  QStringLiteral("2014-03-09")),
    }));

    const QueryRecords records = ReadQueryRecords(reply);

    QCOMPARE(records.rows.size(), 2);
    QCOMPARE(AmountText(records.expenseTotal), QStringLiteral("0.00"));
}

void TestQueryMoreReply::rowsWithoutData()
{
    const Reply empty = ParseReply(QStringLiteral("<Root><Data/></Root>"));
    const Reply none = ParseReply(QStringLiteral("<Root><Result Value=\"1\"/></Root>"));

    QVERIFY(ReadQueryRecords(empty).rows.isEmpty());
    QVERIFY(ReadQueryRecords(none).rows.isEmpty());
    QVERIFY(ReadCategoryTotals(none).isEmpty());
}

void TestQueryMoreReply::categoryTotals()
{
    const Reply reply = ParseReply(ReplyWithRows({
        TotalRow(QStringLiteral("餐饮"), QStringLiteral("120.456")),
        TotalRow(QStringLiteral("餐饮(外卖)"), QStringLiteral("35")),
        TotalRow(QStringLiteral("杂项"), QStringLiteral("x")),
    }));

    const QList<CategoryTotal> totals = ReadCategoryTotals(reply);

    QCOMPARE(totals.size(), 3);
    QCOMPARE(CategoryNodeText(totals.at(0)), QStringLiteral("餐饮(120.46)"));
    QCOMPARE(CategoryNodeText(totals.at(1)), QStringLiteral("餐饮(外卖)(35.00)"));
    QCOMPARE(CategoryNodeText(totals.at(2)), QStringLiteral("杂项(0.00)"));
}

void TestQueryMoreReply::categoryOfNode_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("category");
    QTest::newRow("plain") << "餐饮(120.46)"
                           << "餐饮";
    QTest::newRow("bracket in the name") << "餐饮(外卖)(35.00)"
                                         << "餐饮(外卖)";
    QTest::newRow("open bracket in the name") << "a(b(1.00)"
                                              << "a(b";
    QTest::newRow("empty category") << "(5.00)"
                                    << "";
    QTest::newRow("no bracket") << "餐饮"
                                << "餐饮";
}

void TestQueryMoreReply::categoryOfNode()
{
    QFETCH(QString, node);
    QFETCH(QString, category);

    QCOMPARE(CategoryOfNodeText(node), category);
}

QTEST_APPLESS_MAIN(TestQueryMoreReply)
#include "tst_querymore_reply.moc"
