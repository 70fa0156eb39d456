#include "app/StartupFiles.h"
#include "core/Session.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"
#include "util/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace lumora;

class TestStartup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;

    QString iniPath() const { return dir_->filePath(QStringLiteral("sis1.ini")); }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        SetExeFolder(dir_->path());
    }
    void cleanup()
    {
        CloseIniSettings();
        LedgerPath.clear();
    }

    void firstStartInAnEmptyFolder()
    {
        OpenIniSettings();

        const QString expected = dir_->path() + QStringLiteral("/账本/账本1.dbc");
        QCOMPARE(LedgerPath, expected);
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = FromGbk(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("[设置]\r\n数据库表名=") + expected + QStringLiteral("\r\n")),
                 qPrintable(text));
        QVERIFY(IniSettings());
    }

    void storedLedgerPathIsKept()
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ToGbk(QStringLiteral("[设置]\r\n数据库表名=D:/账/家.dbc\r\n服务地址=http://127.0.0.1:1/x\r\n")));
        file.close();

        OpenIniSettings();

        QCOMPARE(LedgerPath, QStringLiteral("D:/账/家.dbc"));
        QCOMPARE(IniSettings()->readString(QStringLiteral("设置"), QStringLiteral("服务地址")),
                 QStringLiteral("http://127.0.0.1:1/x"));
    }

    void writeBackKeepsTheRestOfTheFile()
    {
        // Given a file kept by hand, with comments and keys of its own
        const QByteArray original = ToGbk(QStringLiteral("; 家里的账本\r\n[设置]\r\n; 本地账本文件\r\n数据库表名 = "
                                                         "D:/账/家.dbc\r\n服务地址=http://127.0.0.1:1/x\r\n"));
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(original);
        file.close();
        // When the program starts
        OpenIniSettings();
        // Then the file is as it was
        QCOMPARE(LedgerPath, QStringLiteral("D:/账/家.dbc"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), original);
        file.close();

        // And without the key, the key is added and nothing else changes
        CloseIniSettings();
        const QByteArray withoutKey = ToGbk(QStringLiteral("; 家里的账本\r\n[设置]\r\n; 说明\r\n服务地址=x\r\n"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(withoutKey);
        file.close();
        OpenIniSettings();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 withoutKey + ToGbk(QStringLiteral("数据库表名=") + DefaultLedgerPath() + QStringLiteral("\r\n")));
    }

    void closingFreesTheSettings()
    {
        OpenIniSettings();
        CloseIniSettings();
        QVERIFY(!IniSettings());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
