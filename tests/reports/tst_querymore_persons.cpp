#include "tst_querymore_replies.h"

#include "core/Reply.h"
#include "reports/PersonTotals.h"
#include "reports/QueryChartData.h"

#include <QTest>

using namespace lumora;
using namespace lumora::test;

namespace
{

QStringList NodeTexts(const QList<PersonTotal> &totals)
{
    QStringList texts;
    for (const PersonTotal &total : totals)
        texts << PersonNodeText(total);
    return texts;
}

// "user:amount" an expense, "user:+amount" an income.
QList<QueryRecordRow> Rows(const QStringList &entries)
{
    QList<QueryRecordRow> rows;
    for (const QString &entry : entries) {
        const qsizetype colon = entry.lastIndexOf(QLatin1Char(':'));
        QueryRecordRow row;
        row.input_user = entry.left(colon);
        QString amount = entry.mid(colon + 1);
        row.expense = !amount.startsWith(QLatin1Char('+'));
        row.amount = AmountValue(amount.remove(QLatin1Char('+')));
        rows.append(row);
    }
    return rows;
}

} // namespace

class TestQueryMorePersons : public QObject
{
    Q_OBJECT
private slots:
    void householdReply();
    void order_data();
    void order();
    void rowsOfOnePerson();
    void tabCaption_data();
    void tabCaption();
    void pieSlices();
    void personBars_data();
    void personBars();
};

void TestQueryMorePersons::householdReply()
{
    // Given a records reply of four users, one unlabelled
    const QueryRecords records = ReadQueryRecords(ParseReply(ReplyWithRows(HouseholdRows())));

    // When they are totalled by user
    const QList<PersonTotal> totals = ReadPersonTotals(records.rows);

    // Then each user has the expense total of his rows, largest first, income counting nothing
    QCOMPARE(NodeTexts(totals), QStringList({"张三(52.50)", "李四(45.00)", "(未标识)(30.00)", "王五(0.00)"}));
    QCOMPARE(AllPersonsNodeText(records.expenseTotal), QStringLiteral("全部(127.50)"));
    QCOMPARE(totals.at(2).person, QString());
}

void TestQueryMorePersons::order_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("nodes");
    QTest::newRow("equal totals in order of appearance")
        << QStringList{"b:10", "a:10", "c:20", "a:0"} << QStringList{"c(20.00)", "b(10.00)", "a(10.00)"};
    QTest::newRow("blanks are no label") << QStringList{"  :5", ":7", "x:1"}
                                         << QStringList{"(未标识)(12.00)", "x(1.00)"};
    QTest::newRow("income only and a refund")
        << QStringList{"in:+100", "back:-3", "out:4"} << QStringList{"out(4.00)", "in(0.00)", "back(-3.00)"};
    QTest::newRow("no rows") << QStringList{} << QStringList{};
}

void TestQueryMorePersons::order()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, nodes);

    QCOMPARE(NodeTexts(ReadPersonTotals(Rows(rows))), nodes);
}

void TestQueryMorePersons::rowsOfOnePerson()
{
    const QueryRecords records = ReadQueryRecords(ParseReply(ReplyWithRows(HouseholdRows())));

    const QueryRecords zhang = RowsOfPerson(records, QStringLiteral("张三"));
    const QueryRecords unlabelled = RowsOfPerson(records, QString());

    QCOMPARE(zhang.rows.size(), 3);
    QCOMPARE(zhang.rows.at(0).name1, QStringLiteral("午饭"));
    QCOMPARE(zhang.rows.at(1).name1, QStringLiteral("工资"));
    QCOMPARE(zhang.rows.at(2).name1, QStringLiteral("电影"));
    QCOMPARE(AmountText(zhang.expenseTotal), QStringLiteral("52.50"));
    QCOMPARE(unlabelled.rows.size(), 1);
    QCOMPARE(unlabelled.rows.at(0).name1, QStringLiteral("打车"));
    QCOMPARE(AmountText(unlabelled.expenseTotal), QStringLiteral("30.00"));
}

void TestQueryMorePersons::tabCaption_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("caption");
    QTest::newRow("all came back") << "<Info RecCount=\"2\" RecCountInPage=\"1000\" CurPage=\"0\"/>"
                                   << "按输入者分";
    QTest::newRow("more found than sent") << "<Info RecCount=\"1500\" RecCountInPage=\"1000\" CurPage=\"0\"/>"
                                          << "按输入者分(前1000条)";
    QTest::newRow("fewer found than sent") << "<Info RecCount=\"1\"/>"
                                           << "按输入者分";
    QTest::newRow("no count") << "<Info CurPage=\"0\"/>"
                              << "按输入者分";
    QTest::newRow("no Info") << ""
                             << "按输入者分";
    QTest::newRow("count not a number") << "<Info RecCount=\"many\"/>"
                                        << "按输入者分";
}

void TestQueryMorePersons::tabCaption()
{
    QFETCH(QString, info);
    QFETCH(QString, caption);
    const QString reply = QStringLiteral("<Root><Data>") + HouseholdRows().at(0) + HouseholdRows().at(1) +
                          QStringLiteral("</Data>") + info + QStringLiteral("</Root>");

    const QueryRecords records = ReadQueryRecords(ParseReply(reply));

    QCOMPARE(records.rows.size(), 2); // a count that does not read never costs the rows
    QCOMPARE(PersonTabCaption(records), caption);
}

void TestQueryMorePersons::pieSlices()
{
    const QList<CategoryTotal> totals = {{QStringLiteral("餐饮"), QStringLiteral("30.00")},
                                         {QStringLiteral("交通"), QStringLiteral("10.00")},
                                         {QStringLiteral("退款"), QStringLiteral("-5.00")},
                                         {QStringLiteral("文化(书)"), QStringLiteral("0.00")}};

    const QList<PieSliceData> slices = CategorySlices(totals);

    QCOMPARE(slices.size(), 4);
    QCOMPARE(slices.at(0).label, QStringLiteral("餐饮 30.00 (75.0%)"));
    QCOMPARE(slices.at(0).value, 30.0);
    QCOMPARE(slices.at(1).label, QStringLiteral("交通 10.00 (25.0%)"));
    QCOMPARE(slices.at(2).label, QStringLiteral("退款 -5.00 (0.0%)"));
    QCOMPARE(slices.at(2).value, 0.0);
    QCOMPARE(slices.at(3).label, QStringLiteral("文化(书) 0.00 (0.0%)"));
    QVERIFY(CategorySlices({{QStringLiteral("a"), QStringLiteral("0.00")}}).at(0).label.endsWith(u"(0.0%)"));
}

void TestQueryMorePersons::personBars_data()
{
    QTest::addColumn<QList<PersonTotal>>("totals");
    QTest::addColumn<QStringList>("people");
    QTest::addColumn<QList<double>>("amounts");
    QTest::addColumn<double>("axisMin");
    QTest::addColumn<double>("axisMax");

    QTest::newRow("nobody") << QList<PersonTotal>{} << QStringList{} << QList<double>{} << 0.0 << 1.0;
    QTest::newRow("largest on top, no label named")
        << QList<PersonTotal>{{QStringLiteral("张三"), 52.5}, {QString(), 30}, {QStringLiteral("王五"), 0}}
        << QStringList{"王五", "(未标识)", "张三"} << QList<double>{0, 30, 52.5} << 0.0 << 52.5;
    QTest::newRow("only nothing spent") << QList<PersonTotal>{{QStringLiteral("李四"), 0}} << QStringList{"李四"}
                                        << QList<double>{0} << 0.0 << 1.0;
    QTest::newRow("a refund below zero") << QList<PersonTotal>{{QStringLiteral("李四"), 20},
                                                               {QStringLiteral("张三"), -5}}
                                         << QStringList{"张三", "李四"} << QList<double>{-5, 20} << -5.0 << 20.0;
}

void TestQueryMorePersons::personBars()
{
    QFETCH(QList<PersonTotal>, totals);

    const PersonBarsData bars = PersonBars(totals);

    QTEST(bars.people, "people");
    QTEST(bars.amounts, "amounts");
    QTEST(bars.axisMin, "axisMin");
    QTEST(bars.axisMax, "axisMax");
}

QTEST_APPLESS_MAIN(TestQueryMorePersons)
#include "tst_querymore_persons.moc"
