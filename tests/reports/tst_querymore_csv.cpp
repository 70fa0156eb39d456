#include "reports/RecordsCsv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

namespace
{

QueryRecordRow Row(const QString &name, const QString &money, const QString &inOut, const QString &type,
                   const QString &date, const QString &user)
{
    QueryRecordRow row;
    row.name1 = name;
    row.money1 = money;
    row.inOut = inOut;
    row.type1 = type;
    row.create_time = date;
    row.input_user = user;
    return row;
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestQueryMoreCsv : public QObject
{
    Q_OBJECT
private slots:
    void bytes();
    void fileName_data();
    void fileName();
    void writeReplacesTheFile();
    void failedWriteLeavesNoFile_data();
    void failedWriteLeavesNoFile();
};

void TestQueryMoreCsv::bytes()
{
    // Given rows whose texts hold commas, quotes, line breaks and Chinese
    const QList<QueryRecordRow> rows = {
        Row(QStringLiteral("饭,\"好吃\""), QStringLiteral("12.50"), QStringLiteral("支出"), QStringLiteral("餐饮"),
            QStringLiteral("2014-03-02"), QStringLiteral("张三")),
        Row(QStringLiteral("两行\n文字"), QStringLiteral("5000.00"), QStringLiteral("收入"), QStringLiteral("工资"),
            QStringLiteral("2014-03-05 10:20:00"), QString()),
        Row(QStringLiteral(" plain "), QStringLiteral("-3.00"), QStringLiteral("支出"), QStringLiteral("a\"b"),
            QStringLiteral("2014-03-06"), QStringLiteral("x,y\r\n")),
    };

    // When they are written as CSV
    const QByteArray csv = RecordsCsv(rows);

    // Then a byte-order mark, the header and one line per row come out, quoted where a field needs it
    const QByteArray expected =
        QByteArray("\xEF\xBB\xBF") + QStringLiteral("名称,金额,收入/支出,类型,日期,输入者\r\n"
                                                    "\"饭,\"\"好吃\"\"\",12.50,支出,餐饮,2014-03-02,张三\r\n"
                                                    "\"两行\n文字\",5000.00,收入,工资,2014-03-05 10:20:00,\r\n"
                                                    " plain ,-3.00,支出,\"a\"\"b\",2014-03-06,\"x,y\r\n\"\r\n")
                                         .toUtf8();
    QCOMPARE(csv, expected);
    QCOMPARE(RecordsCsv({}),
             QByteArray("\xEF\xBB\xBF") + QStringLiteral("名称,金额,收入/支出,类型,日期,输入者\r\n").toUtf8());
}

void TestQueryMoreCsv::fileName_data()
{
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("name");
    QTest::newRow("dates") << "2014-02-15"
                           << "2014-03-16"
                           << "费用_2014-02-15_2014-03-16.csv";
    QTest::newRow("blanks around") << " 2014-3-1 "
                                   << "2014-4-1\t"
                                   << "费用_2014-3-1_2014-4-1.csv";
    QTest::newRow("slashes and colons") << "2014/03/01"
                                        << "a:b*?"
                                        << "费用_2014-03-01_a-b--.csv";
}

void TestQueryMoreCsv::fileName()
{
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, name);

    QCOMPARE(ExportFileName(begin, end), name);
}

void TestQueryMoreCsv::writeReplacesTheFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("费用.csv"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older and longer export");
    }

    QString reason;
    QVERIFY(WriteWholeFile(path, "new", &reason));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("new"));
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("费用.csv")});
}

void TestQueryMoreCsv::failedWriteLeavesNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folderInTheWay");
    QTest::newRow("folder missing") << "missing/x.csv" << false;
    QTest::newRow("name taken by a folder") << "x.csv" << true;
}

void TestQueryMoreCsv::failedWriteLeavesNoFile()
{
    QFETCH(QString, name);
    QFETCH(bool, folderInTheWay);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (folderInTheWay)
        QVERIFY(QDir(dir.path()).mkdir(name));
    const QStringList before = Entries(dir.path());

    QString reason;
    const bool written = WriteWholeFile(dir.filePath(name), QByteArray(100000, 'x'), &reason);

    QVERIFY(!written);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(Entries(dir.path()), before); // neither the file nor a temporary one is left
}

QTEST_APPLESS_MAIN(TestQueryMoreCsv)
#include "tst_querymore_csv.moc"
