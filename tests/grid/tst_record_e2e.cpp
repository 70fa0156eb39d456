#include "tst_grid_support.h"

#include "ledger/RecordPageLoader.h"

#include "core/NetSta.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "servicefixture/ServiceProcess.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;
using namespace lumora::test;
using lumora::testing::ServiceProcess;

// A record typed into the grid, saved, found again after a reload and deleted, against the reference service.
class TestRecordEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void enterSaveReloadDelete();

private:
    static QString NewestLines()
    {
        return QStringLiteral("action=data\r\ninput_user=%1\r\nmini_money=\r\npage=0\r\n").arg(SessionInputUser);
    }
};

void TestRecordEndToEnd::enterSaveReloadDelete()
{
    ServiceProcess service;
    QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
    QVERIFY(service.createAccount(QStringLiteral("e2e"), QStringLiteral("pw")));
    QTemporaryDir folder;
    SetExeFolder(folder.path() + QLatin1Char('/'));
    ResetSession();
    ServiceBaseUrl = service.baseUrl();
    SessionUser = QStringLiteral("e2e");
    SessionPassword = QStringLiteral("pw");
    SessionInputUser = QStringLiteral("10.0.0.2");
    CategoryListText = QStringLiteral("餐饮\r\n交通\r\n");
    ScopedMessageCapture messages;
    GridHost host;
    QVERIFY(host.activated);
    RecordPageLoader loader(host.grid);
    QStringList pageLines;
    loader.OnPageInfoText = [&pageLines](const QString &text) { pageLines << text; };

    // An empty ledger: only the blank record, with the cursor in it.
    loader.SendDataQuery(0, NewestLines());
    QTRY_COMPARE_WITH_TIMEOUT(pageLines.size(), 1, 10000);
    QCOMPARE(host.grid->RecordCount(), 1);
    QCOMPARE(host.focused(), host.line(0)->name1);

    // Typed as a user does: name, amount, then Enter through the rest.
    host.type(QStringLiteral("午饭"));
    host.key(Qt::Key_Return);
    host.type(QStringLiteral("23.5"));
    for (int i = 0; i < 4; ++i)
        host.key(Qt::Key_Return);
    QCOMPARE(host.grid->RecordCount(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(host.grid->RecordList[0].StatusText, QStringLiteral("保存完毕"), 10000);
    const QString id = host.grid->RecordList[0].id_guid;
    QVERIFY(!id.isEmpty());

    loader.SendDataQuery(0, NewestLines());
    QTRY_COMPARE_WITH_TIMEOUT(pageLines.size(), 2, 10000);
    QCOMPARE(host.grid->RecordCount(), 2);
    const TItemInfo saved = host.grid->RecordList[0];
    QCOMPARE(saved.id_guid, id);
    QCOMPARE(saved.name1, QStringLiteral("午饭"));
    QCOMPARE(saved.money1, QStringLiteral("23.50"));
    QCOMPARE(saved.in1, QStringLiteral("0"));
    QCOMPARE(saved.type1, QStringLiteral("餐饮"));
    QCOMPARE(saved.input_user, QStringLiteral("10.0.0.2"));
    QVERIFY(!saved.IsNew);
    QCOMPARE(pageLines.last().left(6), QStringLiteral("总数: 1 "));

    TfrmTCLine *line = host.grid->FindLineById(id);
    QVERIFY(line);
    line->name1->setFocus();
    host.grid->DeleteActiveRecord();
    QTRY_COMPARE_WITH_TIMEOUT(host.grid->RecordCount(), 1, 10000);
    QCOMPARE(messages.texts(), QStringList({QStringLiteral("确实要删除此记录吗? [名称:午饭]")}));

    loader.SendDataQuery(0, NewestLines());
    QTRY_COMPARE_WITH_TIMEOUT(pageLines.size(), 3, 10000);
    QCOMPARE(host.grid->RecordCount(), 1);
    QVERIFY(host.grid->RecordList[0].IsNew);
    QTRY_VERIFY(!BusyVisible());
    ResetSession();
}

QTEST_MAIN(TestRecordEndToEnd)
#include "tst_record_e2e.moc"
