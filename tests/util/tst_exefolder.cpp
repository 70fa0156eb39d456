#include "util/ExeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

// Where the local files go: beside a writable executable folder, else in the user's data folder.
class TestExeFolder : public QObject
{
    Q_OBJECT

private slots:
    void decides_data()
    {
        QTest::addColumn<bool>("exeWritable");
        QTest::addColumn<bool>("exeExists");
        QTest::addColumn<QString>("expected"); // "exe", "data" or ""
        QTest::newRow("portable copy") << true << true << QStringLiteral("exe");
        QTest::newRow("installed copy") << false << true << QStringLiteral("data");
        QTest::newRow("executable folder gone") << false << false << QStringLiteral("data");
    }

    void decides()
    {
        QFETCH(bool, exeWritable);
        QFETCH(bool, exeExists);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString exeDir = root.filePath(QStringLiteral("bin"));
        const QString dataDir = root.filePath(QStringLiteral("home/.local/share/lumora"));
        if (exeExists)
            QVERIFY(QDir().mkpath(exeDir));
        if (!exeWritable && exeExists) {
            QFile::setPermissions(exeDir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
            if (QFileInfo(exeDir).isWritable())
                QSKIP("this user can write a read-only folder (root); the install check runs it as another user");
        }

        const QString folder = LocalFilesFolder(exeDir, dataDir);

        if (expected == QLatin1String("exe")) {
            QCOMPARE(folder, exeDir + QLatin1Char('/'));
            QVERIFY(!QFileInfo::exists(dataDir));
        } else {
            QCOMPARE(folder, dataDir + QLatin1Char('/'));
            QVERIFY(QFileInfo(dataDir).isDir());
        }
        QFile::setPermissions(exeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void neitherUsableGivesEmpty()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        // The data folder cannot be made: a file stands where its parent should be.
        QFile blocker(root.filePath(QStringLiteral("home")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(LocalFilesFolder(root.filePath(QStringLiteral("no-bin")), root.filePath(QStringLiteral("home/lumora"))),
                 QString());
    }
};

QTEST_MAIN(TestExeFolder)
#include "tst_exefolder.moc"
