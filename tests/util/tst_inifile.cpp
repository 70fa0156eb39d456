#include "util/Gbk.h"
#include "util/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

namespace
{
// Comments, blank lines, a line before any section, odd spacing, a bare LF and a last line without a line end.
QByteArray sampleIni()
{
    return ToGbk(QStringLiteral("; 账本设置\r\nstray=1\r\n\r\n[设置]\r\n  ; 表名见下\r\n"
                                "数据库表名 = D:\\账本\\家.dbc\r\n服务地址=http://127.0.0.1:1/\n"
                                "\r\n[其他]\r\nx=1"));
}
} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void literalGbkSectionsRoundTrip();
    void firstKeyWins();
    void namesIgnoreAsciiCase();
    void missingFileReadsEmptyAndIsCreatedOnWrite();
    void unwritableFileKeepsValueInMemory();
    void writeKeepsEveryOtherLine_data();
    void writeKeepsEveryOtherLine();
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

void TestIniFile::writeKeepsEveryOtherLine_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray original = sampleIni();
    const auto replaced = [&](const QString &from, const QString &to) {
        QByteArray out = original;
        return out.replace(ToGbk(from), ToGbk(to));
    };
    QTest::newRow("same value written back") << "设置"
                                             << "数据库表名"
                                             << "D:\\账本\\家.dbc" << original;
    QTest::newRow("value changed in its line")
        << "设置"
        << "服务地址"
        << "http://127.0.0.1:2/" << replaced("服务地址=http://127.0.0.1:1/\n", "服务地址=http://127.0.0.1:2/\n");
    QTest::newRow("new key after the section's last line")
        << "设置"
        << "备用服务地址"
        << "b" << replaced("服务地址=http://127.0.0.1:1/\n", "服务地址=http://127.0.0.1:1/\n备用服务地址=b\r\n");
    QTest::newRow("new key at the end of a file without a last line end") << "其他"
                                                                          << "y"
                                                                          << "2" << original + "\r\ny=2\r\n";
    QTest::newRow("new section at the end") << "新"
                                            << "k"
                                            << "v" << original + "\r\n\r\n" + ToGbk(QStringLiteral("[新]\r\nk=v\r\n"));
}

void TestIniFile::writeKeepsEveryOtherLine()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    const QByteArray original = sampleIni();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sis1.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();
    IniFile ini(path);
    QVERIFY(ini.writeString(section, key, value));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QCOMPARE(IniFile(path).readString(section, key), value);
    QCOMPARE(IniFile(path).readString(QStringLiteral("其他"), QStringLiteral("x")), QStringLiteral("1"));
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
