#include "lists/CategoryList.h"

#include "core/Session.h"
#include "util/Gbk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

class TestCategoryList : public QObject
{
    Q_OBJECT
private slots:
    void linesAndFirstCategory_data();
    void linesAndFirstCategory();
    void fileRoundTripInGbk();
    void fileReadNormalisesBreaks();
    void unreadableFileReadsEmpty_data();
    void unreadableFileReadsEmpty();
    void unwritableFileFails();
    void uploadLines();
};

void TestCategoryList::linesAndFirstCategory_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("first");

    QTest::newRow("empty line kept, last break adds nothing") << "餐饮\r\n\r\n交通\r\n"
                                                              << QStringList{"餐饮", "", "交通"} << "餐饮";
    QTest::newRow("no break at all") << "餐饮" << QStringList{"餐饮"} << "餐饮";
    QTest::newRow("empty list") << "" << QStringList{} << "";
    QTest::newRow("lone CR") << "a\rb" << QStringList{"a", "b"} << "a";
    QTest::newRow("lone LF") << "a\nb\n" << QStringList{"a", "b"} << "a";
    QTest::newRow("LF then CR are two breaks") << "a\n\rb" << QStringList{"a", "", "b"} << "a";
    QTest::newRow("leading empty line") << "\r\nx" << QStringList{"", "x"} << "";
    QTest::newRow("two breaks at the end") << "a\r\n\r\n" << QStringList{"a", ""} << "a";
    QTest::newRow("only a break") << "\r\n" << QStringList{""} << "";
    QTest::newRow("blanks are kept") << " a \r\nb" << QStringList{" a ", "b"} << " a ";
    QTest::newRow("duplicates are kept") << "a\r\na" << QStringList{"a", "a"} << "a";
}

void TestCategoryList::linesAndFirstCategory()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(QString, first);
    QCOMPARE(SplitCategoryLines(text), lines);
    QCOMPARE(FirstCategory(text), first);
}

void TestCategoryList::fileRoundTripInGbk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nb1.txt");
    const QStringList lines{"餐饮", "", "交通"};

    QVERIFY(WriteCategoryFile(path, lines));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), ToGbk("餐饮\r\n\r\n交通\r\n"));
    QString text;
    QVERIFY(ReadCategoryFile(path, text));
    QCOMPARE(text, QStringLiteral("餐饮\r\n\r\n交通\r\n"));

    QVERIFY(WriteCategoryFile(path, {}));
    QVERIFY(ReadCategoryFile(path, text));
    QCOMPARE(text, QString());
}

void TestCategoryList::fileReadNormalisesBreaks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nb1.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ToGbk("餐饮\n交通\r服装"));
    file.close();

    QString text;
    QVERIFY(ReadCategoryFile(path, text));
    QCOMPARE(text, QStringLiteral("餐饮\r\n交通\r\n服装\r\n"));
}

void TestCategoryList::unreadableFileReadsEmpty_data()
{
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("missing") << false;
    QTest::newRow("a folder in its place") << true;
}

void TestCategoryList::unreadableFileReadsEmpty()
{
    QFETCH(bool, asFolder);
    QTemporaryDir dir;
    const QString path = dir.filePath("nb1.txt");
    if (asFolder)
        QVERIFY(QDir(dir.path()).mkdir("nb1.txt"));

    QString text = QStringLiteral("old");
    QVERIFY(!ReadCategoryFile(path, text));
    QCOMPARE(text, QString());
}

void TestCategoryList::unwritableFileFails()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("nb1.txt"));
    QVERIFY(!WriteCategoryFile(dir.filePath("nb1.txt"), {"a"}));
    QVERIFY(!WriteCategoryFile(dir.filePath("no/such/folder/nb1.txt"), {"a"}));
}

void TestCategoryList::uploadLines()
{
    ResetSession();
    SessionUser = QStringLiteral("张三");
    SessionPassword = QStringLiteral("pw");
    SessionInputUser = QStringLiteral("10.0.0.2");

    const QString head = CategoryUploadHead();
    QVERIFY(head.startsWith(SessionBlock()));
    QCOMPARE(head.mid(SessionBlock().size()),
             QStringLiteral("action=add\r\nuser_name=张三\r\nuser_pass=pw\r\ninput_user=10.0.0.2\r\n"));
    QCOMPARE(CategoryUploadTypeLine(QStringLiteral("餐饮\r\n交通")),
             QStringLiteral("type1=") + QString::fromLatin1(ToGbk("餐饮\r\n交通").toBase64()));
    QCOMPARE(CategoryUploadTypeLine(QString()), QStringLiteral("type1="));
    ResetSession();
}

QTEST_GUILESS_MAIN(TestCategoryList)
#include "tst_category_list.moc"
