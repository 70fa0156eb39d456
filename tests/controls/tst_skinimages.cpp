#include "controls/SkinImages.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace lumora;

// Every window and record line asks for the same pictures; one that paints into its copy must not change them for
// the others.
class TstSkinImages : public QObject
{
    Q_OBJECT
private slots:
    void copyPaintedByOneCallerLeavesOthersAlone()
    {
        const QImage first = SkinImage(QStringLiteral("text_button_normal"));
        QVERIFY(!first.isNull());
        const QRgb corner = first.pixel(0, 0);
        QImage painted = SkinImage(QStringLiteral("text_button_normal"));
        painted.fill(Qt::red);
        const QImage again = SkinImage(QStringLiteral("text_button_normal"));
        QCOMPARE(again.pixel(0, 0), corner);
        QCOMPARE(again, first);
        QVERIFY(again != painted);
    }

    // The compiled-in pixels are made at build time; they must be the pictures under resources/skin, every one.
    void everyPictureIsItsFilePixelForPixel()
    {
        const QDir skin(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../resources/skin"));
        const QFileInfoList files = skin.entryInfoList({QStringLiteral("*.png")});
        QVERIFY(files.size() > 20);
        for (const QFileInfo &file : files) {
            const QImage fromFile(file.filePath());
            const QImage compiledIn = SkinImage(file.completeBaseName());
            QVERIFY2(!fromFile.isNull(), qPrintable(file.fileName()));
            QVERIFY2(compiledIn == fromFile, qPrintable(file.fileName()));
            QCOMPARE(compiledIn.format(), fromFile.format());
        }
    }

    void unknownNameGivesEmptyImageEachTime()
    {
        QVERIFY(SkinImage(QStringLiteral("no_such_picture")).isNull());
        QVERIFY(SkinImage(QStringLiteral("no_such_picture")).isNull());
    }
};

QTEST_MAIN(TstSkinImages)
#include "tst_skinimages.moc"
