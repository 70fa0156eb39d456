// Runs the seed corpus and every kept crash input of one fuzz target through its entry function, so the ordinary
// suite (and its sanitizer build) keeps replaying them.
#include <QDir>
#include <QFile>
#include <QTest>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        int rows = 0;
        for (const QString &folder : {QStringLiteral(LUMORA_FUZZ_CORPUS), QStringLiteral(LUMORA_FUZZ_REGRESSIONS)}) {
            const QDir dir(folder);
            for (const QFileInfo &file : dir.entryInfoList(QDir::Files, QDir::Name)) {
                QTest::newRow(qPrintable(dir.dirName() + QLatin1Char('/') + file.fileName()))
                    << file.absoluteFilePath();
                ++rows;
            }
        }
        QVERIFY2(rows > 0, "no inputs to replay");
    }

    void replay()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "ReplayMain.moc"
