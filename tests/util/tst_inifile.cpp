#include "util/Gbk.h"
#include "util/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void literalGbkSectionsRoundTrip();
    void firstKeyWins();
    void namesIgnoreAsciiCase();
    void missingFileReadsEmptyAndIsCreatedOnWrite();
    void unwritableFileKeepsValueInMemory();
    void numbers_data();
    void numbers();
};

void TestIniFile::literalGbkSectionsRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sis1.ini");
    {
        IniFile ini(path);
        QVERIFY(ini.writeString(QStringLiteral("设置"), QStringLiteral("数据库表名"),
                                QStringLiteral("D:\\账本\\账本1.dbc")));
        QVERIFY(ini.writeString(QStringLiteral("TForm1 Position"), QStringLiteral("Left"), QStringLiteral("10")));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains(ToGbk(QStringLiteral("[设置]\r\n数据库表名=D:\\账本\\账本1.dbc\r\n"))));
    QVERIFY(bytes.contains("[TForm1 Position]\r\nLeft=10\r\n"));

    IniFile again(path);
    QCOMPARE(again.sections(), QStringList({QStringLiteral("设置"), QStringLiteral("TForm1 Position")}));
    QCOMPARE(again.readString(QStringLiteral("设置"), QStringLiteral("数据库表名")),
             QStringLiteral("D:\\账本\\账本1.dbc"));
}

void TestIniFile::firstKeyWins()
{
    IniFile ini(QString{});
    ini.parse(ToGbk(QStringLiteral("[设置]\r\n服务地址=first\r\n服务地址=second\r\n[设置]\r\n服务地址=third\r\n")));
    QCOMPARE(ini.readString(QStringLiteral("设置"), QStringLiteral("服务地址")), QStringLiteral("first"));
    QCOMPARE(ini.keys(QStringLiteral("设置")).size(), 1);
    QCOMPARE(ini.sections().size(), 1);
}

void TestIniFile::namesIgnoreAsciiCase()
{
    IniFile ini(QString{});
    ini.parse("[Form Position]\r\nLEFT=5\r\n; comment=1\r\nnoequals\r\n");
    QCOMPARE(ini.readInteger("form position", "left", -1), 5);
    QVERIFY(!ini.valueExists("Form Position", "; comment"));
    QVERIFY(!ini.valueExists("Form Position", "noequals"));
}

void TestIniFile::missingFileReadsEmptyAndIsCreatedOnWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing.ini");
    IniFile ini(path);
    QVERIFY(ini.sections().isEmpty());
    QCOMPARE(ini.readString("a", "b", "default"), QStringLiteral("default"));
    QVERIFY(!QFile::exists(path));

    QVERIFY(ini.writeInteger("a", "b", 7));
    QVERIFY(QFile::exists(path));
    QCOMPARE(IniFile(path).readInteger("a", "b", 0), 7);
}

void TestIniFile::unwritableFileKeepsValueInMemory()
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("no/such/folder/x.ini"));
    QVERIFY(!ini.writeString("a", "b", "c"));
    QCOMPARE(ini.readString("a", "b"), QStringLiteral("c"));
}

void TestIniFile::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "42" << 42;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("hex") << "0x1F" << 31;
    QTest::newRow("not a number") << "abc" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestIniFile::numbers()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    IniFile ini(QString{});
    ini.parse(ToGbk(QStringLiteral("[s]\r\nk=") + text + QStringLiteral("\r\n")));
    QCOMPARE(ini.readInteger("s", "k", -1), value);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
