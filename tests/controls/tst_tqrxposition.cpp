#include "controls/Align.h"
#include "controls/DockSplitter.h"
#include "controls/TFormVSkin.h"
#include "controls/TImagePanel.h"
#include "controls/TQRXPosition.h"
#include "util/ExeFolder.h"
#include "util/IniFile.h"

#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

// A main window in miniature: a record area, a splitter and the summary grid at the right.
class TForm1 : public TFormVSkin
{
    Q_OBJECT
public:
    explicit TForm1(bool gridVisible = true, bool gridEnabled = true)
    {
        setWindowTitle(QStringLiteral("Lumora"));
        move(50, 60);
        resize(500, 400);
        PanelM = new TImagePanel(pnlClient);
        PanelM->setObjectName(QStringLiteral("PanelM"));
        setAlign(PanelM, Align::Client);
        gridHj1 = new TImagePanel(PanelM);
        gridHj1->setObjectName(QStringLiteral("gridHj1"));
        gridHj1->resize(286, 100);
        gridHj1->setVisible(gridVisible);
        gridHj1->setEnabled(gridEnabled);
        setAlign(gridHj1, Align::Right);
        Splitter1 = new DockSplitter(PanelM);
        Splitter1->setObjectName(QStringLiteral("Splitter1"));
        Splitter1->resize(3, 100);
        setAlign(Splitter1, Align::Right);
        pnlMainGrid = new TImagePanel(PanelM);
        pnlMainGrid->setObjectName(QStringLiteral("pnlMainGrid"));
        setAlign(pnlMainGrid, Align::Client);
        QRXPosition1 = new TQRXPosition(this);
        QRXPosition1->Loaded();
        FormCreate();
    }

    TImagePanel *gridHj1;
    DockSplitter *Splitter1;
    TImagePanel *PanelM;
    TImagePanel *pnlMainGrid;
    TQRXPosition *QRXPosition1;
};

class TstTQRXPosition : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

    QString iniPath() const { return TQRXPosition::PositionFilePath(); }
    IniFile ini() const { return IniFile(iniPath()); }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        SetExeFolder(dir_->path());
    }

    void fileBesideTheExecutable() { QCOMPARE(iniPath(), dir_->path() + QStringLiteral("/tst_tqrxposition.ini")); }

    void firstRunWritesDesignValues()
    {
        // Given no position file
        QVERIFY(!QFile::exists(iniPath()));
        {
            // When the window is made, it stands at its design place
            TForm1 w;
            QCOMPARE(w.geometry(), QRect(50, 60, 500, 400));
            QCOMPARE(w.QRXPosition1->ownerClassName(), QStringLiteral("TForm1"));
            QVERIFY(!QFile::exists(iniPath())); // the file is not created before anything is saved
        }
        // Then, once destroyed, the file holds its section and the splitter's neighbour
        const IniFile f = ini();
        QCOMPARE(f.readString(QStringLiteral("TForm1 Position"), QStringLiteral("WindowState")), QStringLiteral("0"));
        QCOMPARE(f.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Left"), -1), 50);
        QCOMPARE(f.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Top"), -1), 60);
        QCOMPARE(f.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Width"), -1), 500);
        QCOMPARE(f.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Height"), -1), 400);
        QCOMPARE(f.readInteger(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Width"), -1), 286);
        QVERIFY(f.valueExists(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Left")));
        QVERIFY(f.valueExists(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Height")));
        // Sections are written literally
        QFile raw(iniPath());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray text = raw.readAll();
        QVERIFY(text.contains("[TForm1 Position]"));
        QVERIFY(text.contains("[TForm1.gridHj1 Position]"));
    }

    void restoresPlaceSizeAndSplitter()
    {
        // Given a file from a previous run
        {
            IniFile f(iniPath());
            f.writeInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Left"), 11);
            f.writeInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Top"), -5);
            f.writeInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Width"), 640);
            f.writeInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Height"), 480);
            f.writeInteger(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Width"), 200);
            f.writeInteger(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Height"), 5);
        }
        // When the window is made
        TForm1 w;
        // Then it stands where it was (off screen too) and the splitter's neighbour has its width back;
        // for a right-aligned control the stored height is not used
        QCOMPARE(w.geometry(), QRect(11, -5, 640, 480));
        QCOMPARE(w.gridHj1->width(), 200);
        QVERIFY(w.gridHj1->height() != 5);
        QVERIFY(!w.isMaximized());
    }

    void missingKeysKeepDesignValues()
    {
        {
            IniFile f(iniPath());
            f.writeInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Width"), 700);
        }
        TForm1 w;
        QCOMPARE(w.geometry(), QRect(50, 60, 700, 400));
        QCOMPARE(w.gridHj1->width(), 286);
    }

    void closingMaximised()
    {
        // Given a normal run and a run that ends maximised
        {
            TForm1 w;
        }
        {
            TForm1 w;
            w.move(70, 80);
            w.setWindowState(Qt::WindowMaximized);
        }
        // Then only WindowState changed
        IniFile f = ini();
        QCOMPARE(f.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("WindowState"), -1), 2);
        QCOMPARE(f.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Left"), -1), 50);
        QCOMPARE(f.readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Top"), -1), 60);
        // And the next run opens maximised over the work area, at the stored place when restored
        TForm1 w;
        QVERIFY(w.isMaximized());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.geometry(), w.screen()->availableGeometry());
        w.showNormal();
        QTRY_COMPARE(w.geometry(), QRect(50, 60, 500, 400));
    }

    void closingMinimised()
    {
        {
            TForm1 w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            TFormVSkin::MinimizeApplication();
        }
        QCOMPARE(ini().readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("WindowState"), -1), 1);
        TForm1 w;
        QVERIFY(w.isMinimized());
    }

    void unknownStateOpensNormal()
    {
        {
            IniFile f(iniPath());
            f.writeInteger(QStringLiteral("TForm1 Position"), QStringLiteral("WindowState"), 7);
        }
        TForm1 w;
        QCOMPARE(w.windowState(), Qt::WindowNoState);
    }

    void splitterWithoutNeighbour_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("hidden") << false << true;
        QTest::newRow("disabled") << true << false;
    }
    void splitterWithoutNeighbour()
    {
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        {
            IniFile f(iniPath());
            f.writeInteger(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Width"), 100);
        }
        {
            TForm1 w(visible, enabled);
            QCOMPARE(w.Splitter1->neighbour(), nullptr);
            QCOMPARE(w.gridHj1->width(), 286); // nothing read
            w.gridHj1->resize(150, 10);
        }
        // Nothing written: the section still holds what was there
        QCOMPARE(ini().keys(QStringLiteral("TForm1.gridHj1 Position")), QStringList{QStringLiteral("Width")});
        QCOMPARE(ini().readInteger(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Width"), -1), 100);
    }

    void splitterDragIsRemembered()
    {
        {
            TForm1 w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.Splitter1->neighbour(), w.gridHj1);
            const QPoint start = w.Splitter1->mapToGlobal(QPoint(1, 10));
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 10), QPointF(start), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(w.Splitter1, &press);
            QMouseEvent move(QEvent::MouseMove, QPointF(-39, 10), QPointF(start - QPoint(40, 0)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w.Splitter1, &move);
            QCOMPARE(w.gridHj1->width(), 326);
        }
        QCOMPARE(ini().readInteger(QStringLiteral("TForm1.gridHj1 Position"), QStringLiteral("Width"), -1), 326);
        TForm1 w;
        QCOMPARE(w.gridHj1->width(), 326);
    }

    void readOnlyFileIsMadeWritable()
    {
        {
            IniFile f(iniPath());
            f.writeInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Left"), 5);
        }
        QVERIFY(QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        {
            TForm1 w;
            QVERIFY(QFile::permissions(iniPath()) & QFileDevice::WriteOwner);
            w.move(33, 44);
        }
        QCOMPARE(ini().readInteger(QStringLiteral("TForm1 Position"), QStringLiteral("Left"), -1), 33);
    }

    void restoresOnFirstShowWithoutLoaded()
    {
        {
            IniFile f(iniPath());
            f.writeInteger(QStringLiteral("QWidget Position"), QStringLiteral("Width"), 321);
        }
        QWidget plain;
        plain.resize(100, 100);
        auto *position = new TQRXPosition(&plain);
        plain.show();
        QCOMPARE(plain.width(), 321);
        position->Save();
        QCOMPARE(ini().readInteger(QStringLiteral("QWidget Position"), QStringLiteral("Height"), -1), 100);
    }
};

QTEST_MAIN(TstTQRXPosition)
#include "tst_tqrxposition.moc"
