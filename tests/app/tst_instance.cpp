#include "app/SingleInstanceGuard.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace lumora;

class TestInstance : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;

    // A copy of the probe at folder/name, so every test has executables of its own.
    QString probeCopy(const QString &folder)
    {
        const QString path = dir_.filePath(folder + QStringLiteral("/probe"));
        if (!QFile::exists(path)) {
            QDir().mkpath(dir_.filePath(folder));
            if (!QFile::copy(QStringLiteral(LUMORA_INSTANCE_PROBE), path))
                return {};
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        }
        return path;
    }

    std::unique_ptr<QProcess> start(const QString &program)
    {
        auto process = std::make_unique<QProcess>();
        process->setProgram(program);
        process->start();
        return process;
    }

    static bool acquired(QProcess &process)
    {
        return QTest::qWaitFor([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; },
                               20000) &&
               process.readLine().trimmed() == "acquired";
    }

    static void finish(QProcess &process)
    {
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 0);
    }

private slots:
    void guardsInOneProcess()
    {
        const QString a = dir_.filePath(QStringLiteral("one/lumora"));
        const QString b = dir_.filePath(QStringLiteral("two/lumora"));
        auto first = std::make_unique<SingleInstanceGuard>(a);
        SingleInstanceGuard second(a);
        SingleInstanceGuard elsewhere(b);

        QVERIFY(first->tryAcquire());
        QVERIFY(!second.tryAcquire());
        QVERIFY(elsewhere.tryAcquire());

        first.reset();
        QVERIFY(second.tryAcquire());
    }

    void lockNameFollowsTheFullPath()
    {
        const QString a = dir_.filePath(QStringLiteral("one/lumora"));
        QCOMPARE(SingleInstanceGuard::lockPathFor(a), SingleInstanceGuard::lockPathFor(a));
        QVERIFY(SingleInstanceGuard::lockPathFor(a) !=
                SingleInstanceGuard::lockPathFor(dir_.filePath(QStringLiteral("two/lumora"))));
    }

    void secondCopyOfTheSameExecutableExits()
    {
        const QString here = probeCopy(QStringLiteral("a"));
        const QString there = probeCopy(QStringLiteral("b"));
        QVERIFY(!here.isEmpty() && !there.isEmpty());

        auto first = start(here);
        QVERIFY(acquired(*first));

        auto second = start(here);
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitCode(), 3);
        QVERIFY(second->readAllStandardOutput().isEmpty());

        auto otherFolder = start(there);
        QVERIFY(acquired(*otherFolder));

        finish(*first);
        finish(*otherFolder);
    }

    void unwritableTemporaryFolderStartsNormally()
    {
        // A temporary folder below a plain file cannot be written, not even by root.
        const QString blocker = dir_.filePath(QStringLiteral("plainfile"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString here = probeCopy(QStringLiteral("d"));
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), blocker + QStringLiteral("/tmp"));
        process->setProcessEnvironment(env);
        process->setProgram(here);
        process->start();
        QVERIFY(acquired(*process));
        finish(*process);
    }

    void lockOfACrashedCopyDoesNotBlock()
    {
        const QString here = probeCopy(QStringLiteral("c"));
        auto crashed = start(here);
        QVERIFY(acquired(*crashed));
        crashed->kill();
        QVERIFY(crashed->waitForFinished(20000));

        auto next = start(here);
        QVERIFY(acquired(*next));
        finish(*next);
    }
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
