#include "lists/CategoryList.h"
#include "lists/TForm_nb.h"

#include "support/LoopbackHttpServer.h"

#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Session.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lumora;
using lumora::test::CannedResponse;
using lumora::test::LoopbackHttpServer;

namespace
{

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Replaces the editor's text the way a user does: select all, then type line by line.
void TypeList(QPlainTextEdit *memo, const QStringList &lines)
{
    memo->setFocus();
    memo->selectAll();
    QTest::keyClick(memo, Qt::Key_Delete);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(memo, Qt::Key_Return);
        // Chinese arrives through the input method, not as key presses.
        QInputMethodEvent commit;
        commit.setCommitString(lines.at(i));
        QApplication::sendEvent(memo, &commit);
    }
}

QString Nb1()
{
    return ExeFolder() + QStringLiteral("nb1.txt");
}

} // namespace

class TestFormNb : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fillsFromTheListText();
    void fillsFromTheFileWhenTheListIsEmpty();
    void missingOrUnwritableFileStaysSilent_data();
    void missingOrUnwritableFileStaysSilent();
    void cancelAfterEditKeepsTheListButWritesTheFile();
    void closeBoxWritesTheFile();
    void uploadBodyOnTheWire();
    void replyOutcomes_data();
    void replyOutcomes();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestFormNb::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    SetExeFolder(dir_->path());
    CategoryListText.clear();
    ResetSession();
}

void TestFormNb::cleanup()
{
    HideBusy();
    CategoryListText.clear();
    ResetSession();
    dir_.reset();
}

void TestFormNb::fillsFromTheListText()
{
    WriteFile(Nb1(), ToGbk("文件\r\n"));
    CategoryListText = QStringLiteral("餐饮\r\n\r\n交通");

    TForm_nb form;
    form.show();

    QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("餐饮\n\n交通"));
    QCOMPARE(form.editorText(), CategoryListText);
    QCOMPARE(form.windowTitle(), QStringLiteral("增加新的类型"));
}

void TestFormNb::fillsFromTheFileWhenTheListIsEmpty()
{
    WriteFile(Nb1(), ToGbk("餐饮\r\n交通\r\n"));

    TForm_nb form;

    QCOMPARE(CategoryListText, QStringLiteral("餐饮\r\n交通\r\n"));
    QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("餐饮\n交通\n"));

    // A list that arrives later wins over the file at the next showing.
    CategoryListText = QStringLiteral("服务\r\n");
    form.show();
    QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("服务\n"));
}

void TestFormNb::missingOrUnwritableFileStaysSilent_data()
{
    QTest::addColumn<bool>("folderInPlace");
    QTest::newRow("missing file") << false;
    QTest::newRow("a folder named nb1.txt") << true;
}

void TestFormNb::missingOrUnwritableFileStaysSilent()
{
    QFETCH(bool, folderInPlace);
    if (folderInPlace)
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("nb1.txt")));
    ScopedMessageCapture capture;

    TForm_nb form;
    form.show();
    QCOMPARE(form.Memo1->toPlainText(), QString());
    QCOMPARE(CategoryListText, QString());
    TypeList(form.Memo1, {QStringLiteral("新")});
    QTest::mouseClick(form.Button2, Qt::LeftButton);

    QVERIFY(!form.isVisible());
    QVERIFY(capture.messages.isEmpty());
    QCOMPARE(QFileInfo(Nb1()).isDir(), folderInPlace);
    if (!folderInPlace)
        QCOMPARE(FileBytes(Nb1()), ToGbk("新\r\n"));
}

void TestFormNb::cancelAfterEditKeepsTheListButWritesTheFile()
{
    CategoryListText = QStringLiteral("餐饮\r\n交通\r\n");
    TForm_nb form;
    QString typed;
    QTimer::singleShot(0, &form, [&] {
        TypeList(form.Memo1, {QStringLiteral("餐饮"), QString(), QStringLiteral("服装")});
        typed = form.editorText();
        QTest::mouseClick(form.Button2, Qt::LeftButton);
    });

    QCOMPARE(form.exec(), int(QDialog::Rejected));

    QCOMPARE(typed, QStringLiteral("餐饮\r\n\r\n服装"));
    QCOMPARE(FileBytes(Nb1()), ToGbk("餐饮\r\n\r\n服装\r\n"));
    QCOMPARE(CategoryListText, QStringLiteral("餐饮\r\n交通\r\n"));
    form.show();
    QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("餐饮\n交通\n"));
}

void TestFormNb::closeBoxWritesTheFile()
{
    CategoryListText = QStringLiteral("a\r\nb");
    TForm_nb form;
    form.show();
    TypeList(form.Memo1, {QStringLiteral("c")});

    form.close();

    QCOMPARE(FileBytes(Nb1()), QByteArray("c\r\n"));
    QCOMPARE(CategoryListText, QStringLiteral("a\r\nb"));
}

void TestFormNb::uploadBodyOnTheWire()
{
    LoopbackHttpServer server;
    QVERIFY(server.listen());
    server.enqueue(CannedResponse::text(QStringLiteral("<root><Result Value=\"true\"/></root>")));
    ServiceBaseUrl = server.baseUrl();
    SessionUser = QStringLiteral("张三");
    SessionPassword = QStringLiteral("p w");
    SessionInputUser = QStringLiteral("192.168.1.5");
    CategoryListText = QStringLiteral("旧\r\n");
    ScopedMessageCapture capture;
    TForm_nb form;
    form.show();
    TypeList(form.Memo1, {QStringLiteral("餐饮"), QStringLiteral("交通")});

    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QTRY_COMPARE(server.requestCount(), 1);

    const auto request = server.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QByteArray("/kessum_sqlite_type.php"));
    QStringList expected = SessionBlock().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    expected << QStringLiteral("action=add") << QStringLiteral("user_name=张三") << QStringLiteral("user_pass=p w")
             << QStringLiteral("input_user=192.168.1.5")
             << QStringLiteral("type1=") + QString::fromLatin1(ToGbk("餐饮\r\n交通").toBase64());
    QCOMPARE(expected.size(), 10);
    QCOMPARE(request.body, THttpThreadControl::EncodeFormBody(expected));
    // "保存" first shows the list as it was before the edit.
    QCOMPARE(capture.messages.first().text, QString::fromLatin1(ToGbk("旧\r\n").toBase64()));
    QTRY_VERIFY(!form.isVisible());
}

void TestFormNb::replyOutcomes_data()
{
    QTest::addColumn<QString>("reply"); // empty: the service cannot be reached
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("closes");

    QTest::newRow("saved") << "<root><Result Value=\"1\"/></root>" << QStringList{"保存类型列表完毕."} << true;
    QTest::newRow("refused") << "<root><Result Value=\"false\"/></root>" << QStringList{"未能保存类型列表."} << false;
    QTest::newRow("unreadable") << "<root><Result" << QStringList{"错误: <root><Result ", "未能保存类型列表."} << false;
    QTest::newRow("network failure") << "" << QStringList{"未能保存类型列表,请择时再行保存."} << false;
}

void TestFormNb::replyOutcomes()
{
    QFETCH(QString, reply);
    QFETCH(QStringList, messages);
    QFETCH(bool, closes);

    LoopbackHttpServer server;
    QVERIFY(server.listen());
    if (reply.isEmpty()) {
        // A port that was just free and is closed again: the connection is refused.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        ServiceBaseUrl = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();
    } else {
        server.enqueue(CannedResponse::text(reply));
        ServiceBaseUrl = server.baseUrl();
    }
    CategoryListText = QStringLiteral("旧");
    ScopedMessageCapture capture;
    TForm_nb form;
    form.show();
    TypeList(form.Memo1, {QStringLiteral("新")});

    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(BusyVisible());
    QTRY_COMPARE(capture.messages.size(), 1 + messages.size());

    for (int i = 0; i < messages.size(); ++i) {
        const QString text = capture.messages.at(i + 1).text;
        QVERIFY2(text.startsWith(messages.at(i).trimmed()), qPrintable(text));
    }
    QVERIFY(!BusyVisible());
    QCOMPARE(form.isVisible(), !closes);
    // Whatever the service said, the new list is the one every box reads now.
    QCOMPARE(CategoryListText, QStringLiteral("新"));
    form.close();
    QCOMPARE(FileBytes(Nb1()), ToGbk("新\r\n"));
}

QTEST_MAIN(TestFormNb)
#include "tst_form_nb.moc"
