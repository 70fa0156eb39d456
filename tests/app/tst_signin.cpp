#include "app/TForm_pass.h"
#include "app/TfrmNewUser.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TColorCheckBox.h"
#include "controls/TPNGButtonEx.h"
#include "core/Base64.h"
#include "core/HttpThreadControl.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"
#include "util/Helpers.h"
#include "util/MessageSeam.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lumora;
using lumora::test::CannedResponse;
using lumora::test::LoopbackHttpServer;
using lumora::test::RecordedRequest;

Q_DECLARE_METATYPE(lumora::test::CannedResponse)

namespace
{
const QString kLoginFailed = QStringLiteral("登录失败.[如此信息多次出现请访问我们官网,下载最新的软件版本]");
const QString kNetworkError = QStringLiteral("网络错误.[如此信息多次出现请访问我们官网,下载最新的软件版本]");

QString b64(const QString &text)
{
    return QString::fromLatin1(Base64EncodeLine(ToGbk(text)));
}

QString resultReply(const QString &value)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?><xml><Result Value=\"%1\"/></xml>").arg(value);
}

QString versionReply(const QString &ver, const QString &info)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?><xml><Result Value=\"1\" ver=\"%1\" info=\"%2\"/>"
                          "</xml>")
        .arg(b64(ver), b64(info));
}

// A list encoded twice, as the service sends it.
QString twice(const QString &list)
{
    return QString::fromLatin1(Base64EncodeLine(Base64EncodeLine(ToGbk(list))));
}

bool browserEngineLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

bool endsWith(const RecordedRequest &request, const char *script)
{
    return request.path.endsWith(script);
}
} // namespace

class TestSignIn : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<LoopbackHttpServer> server_;
    std::unique_ptr<ScopedMessageCapture> capture_;
    // What the service answers, by script.
    CannedResponse versionAnswer_;
    CannedResponse loginAnswer_;
    CannedResponse categoryAnswer_;

    QList<RecordedRequest> requestsTo(const char *script) const
    {
        QList<RecordedRequest> out;
        for (const auto &r : server_->requests())
            if (endsWith(r, script))
                out << r;
        return out;
    }

    // A dialog whose version check has been answered, with settings read from the test folder.
    std::unique_ptr<TForm_pass> makeDialog()
    {
        auto dialog = std::make_unique<TForm_pass>();
        dialog->LoadSignInSettings();
        // The version check leaves InFlight once its reply has been handled.
        if (!QTest::qWaitFor([&] { return dialog->httpVer->InFlight.isEmpty(); }, 10000))
            qWarning("version check not answered");
        return dialog;
    }

    void fill(TForm_pass &dialog, const QString &user, const QString &pass, const QString &inputUser, bool remember)
    {
        dialog.txtUser->setText(user);
        dialog.txtPass->setText(pass);
        dialog.txtInputUser->setText(inputUser);
        dialog.chkSavePass->setChecked(remember);
    }

    QByteArray configText() const
    {
        QFile file(dir_->filePath(QStringLiteral("config.xml")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        SetExeFolder(dir_->path());
        ResetSession();
        CategoryListText.clear();
        capture_ = std::make_unique<ScopedMessageCapture>();

        versionAnswer_ = CannedResponse::text(versionReply(TForm_pass::BuiltInVersion, QStringLiteral("已是最新")));
        loginAnswer_ = CannedResponse::text(resultReply(QStringLiteral("1")));
        categoryAnswer_ = CannedResponse::text(resultReply(QStringLiteral("1")));
        server_ = std::make_unique<LoopbackHttpServer>();
        server_->setHandler([this](const RecordedRequest &request) {
            if (endsWith(request, "new_ver.php"))
                return versionAnswer_;
            if (endsWith(request, "kessum_login.php"))
                return loginAnswer_;
            if (endsWith(request, "kessum_sqlite_type.php"))
                return categoryAnswer_;
            return CannedResponse::text(QString(), 404);
        });
        QVERIFY(server_->listen());
        ServiceBaseUrl = server_->url(QStringLiteral("ms/kessum/"));
        AlternateBaseUrl = server_->url(QStringLiteral("alt/kessum/"));
    }

    void cleanup()
    {
        setShellOpenHandler({});
        TfrmNewUser::SetBrowserModulePath(QString());
        capture_.reset();
        server_.reset();
        ResetSession();
    }

    void versionCheck_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("same version") << versionReply(QStringLiteral("2015.01.29.1"), QStringLiteral("新版本"))
                                      << QStringList();
        QTest::newRow("newer version") << versionReply(QStringLiteral("2016.02.01.1"), QStringLiteral("请下载新版本"))
                                       << QStringList{QStringLiteral("请下载新版本")};
        QTest::newRow("older version") << versionReply(QStringLiteral("2014.01.01.1"), QStringLiteral("旧版"))
                                       << QStringList{QStringLiteral("旧版")};
        QTest::newRow("not XML") << QStringLiteral("oops") << QStringList{QStringLiteral("错误: oops ")};
    }
    void versionCheck()
    {
        QFETCH(QString, reply);
        QFETCH(QStringList, messages);
        versionAnswer_ = CannedResponse::text(reply);

        auto dialog = makeDialog();

        QTRY_COMPARE(capture_->texts(), messages);
        const auto sent = requestsTo("new_ver.php");
        QCOMPARE(sent.first().path, QByteArray("/ms/kessum/new_ver.php"));
        // Posted before any settings were read: the session lines are empty.
        QCOMPARE(sent.first().body,
                 QByteArray("user_name=&user_pass=&input_user=&client_type=pc&protocol_version=1%2E0&"));
        QCOMPARE(ServiceBaseUrl, server_->url(QStringLiteral("ms/kessum/")));
    }

    void unreachablePrimaryHostSwitchesToTheAlternate()
    {
        ServiceBaseUrl = QStringLiteral("http://127.0.0.1:%1/ms/kessum/").arg(lumora::test::ClosedLoopbackPort());

        auto dialog = std::make_unique<TForm_pass>();
        QTRY_COMPARE(ServiceBaseUrl, AlternateBaseUrl);
        QVERIFY(capture_->messages.isEmpty());

        fill(*dialog, QStringLiteral("demo"), QStringLiteral("demo"), QStringLiteral("me"), false);
        dialog->btnOKClick();
        QTRY_COMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(requestsTo("kessum_login.php").first().path, QByteArray("/alt/kessum/kessum_login.php"));
        QTRY_COMPARE(requestsTo("kessum_sqlite_type.php").size(), 1);
        QCOMPARE(requestsTo("kessum_sqlite_type.php").first().path, QByteArray("/alt/kessum/kessum_sqlite_type.php"));
    }

    void signInSuccess()
    {
        categoryAnswer_ = CannedResponse::text(
            QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?><xml><Result Value=\"1\"/><Data>"
                           "<Row type1=\"%1\"/><Row id=\"x\"/><Item type1=\"%2\"/><Row/></Data></xml>")
                .arg(twice(QStringLiteral("旧\r\n")), twice(QStringLiteral("餐饮\r\n交通\r\n"))));
        auto dialog = makeDialog();
        QList<QDateTime> recounts;
        dialog->RecountMonth = [&](const QDateTime &when) { recounts << when; };
        fill(*dialog, QStringLiteral(" alice "), QStringLiteral(" pw "), QStringLiteral(" 妻子 "), true);

        const QDateTime before = QDateTime::currentDateTime();
        dialog->btnOKClick();

        QTRY_COMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(SessionUser, QStringLiteral("alice"));
        QCOMPARE(SessionPassword, QStringLiteral("pw"));
        QCOMPARE(SessionInputUser, QStringLiteral("妻子"));
        QCOMPARE(recounts.size(), 1);
        QVERIFY(recounts.first() >= before.addSecs(-1));
        QTRY_COMPARE(CategoryListText, QStringLiteral("餐饮\r\n交通\r\n"));
        QTRY_VERIFY(QFile::exists(dir_->filePath(QStringLiteral("data.xml"))));
        QVERIFY(capture_->messages.isEmpty());

        const QByteArray login = requestsTo("kessum_login.php").first().body;
        QCOMPARE(login, QByteArray("user_name=alice&user_pass=pw&input_user=%C6%DE%D7%D3&client_type=pc&"
                                   "protocol_version=1%2E0&action=login&user_name=alice&user_pass=pw&"));
        QCOMPARE(requestsTo("kessum_sqlite_type.php").first().body,
                 QByteArray("user_name=alice&user_pass=pw&input_user=%C6%DE%D7%D3&client_type=pc&"
                            "protocol_version=1%2E0&action=data&"));
        // The remembered values are the untrimmed boxes.
        QVERIFY(
            FromGbk(configText()).contains(QStringLiteral("<Login Save=\"True\" InputUser=\"妻子\" User=\" alice \"")));
    }

    void signInFailure_data()
    {
        QTest::addColumn<CannedResponse>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("kind");
        QTest::newRow("refused") << CannedResponse::text(resultReply(QStringLiteral("0"))) << QStringList{kLoginFailed}
                                 << int(MessageKind::Plain);
        QTest::newRow("unreadable reply")
            << CannedResponse::text(QStringLiteral("garbage"))
            << QStringList{QStringLiteral("错误: garbage "), kLoginFailed} << int(MessageKind::Plain);
        QTest::newRow("network error") << CannedResponse::text(QStringLiteral("down"), 500)
                                       << QStringList{kNetworkError} << int(MessageKind::Info);
    }
    void signInFailure()
    {
        QFETCH(CannedResponse, answer);
        QFETCH(QStringList, messages);
        QFETCH(int, kind);
        loginAnswer_ = answer;
        auto dialog = makeDialog();
        bool recounted = false;
        dialog->RecountMonth = [&](const QDateTime &) { recounted = true; };
        fill(*dialog, QStringLiteral("alice"), QStringLiteral("bad"), QStringLiteral("me"), true);

        dialog->btnOKClick();

        QTRY_COMPARE(capture_->texts(), messages);
        QCOMPARE(int(capture_->messages.last().kind), kind);
        if (kind == int(MessageKind::Info))
            QCOMPARE(capture_->messages.last().caption, QStringLiteral("Info"));
        QVERIFY(dialog->result() != QDialog::Accepted);
        QVERIFY(dialog->txtUser->isEnabled() && dialog->txtPass->isEnabled() && dialog->btnOK->isEnabled());
        QVERIFY(!recounted);
        QVERIFY(requestsTo("kessum_sqlite_type.php").isEmpty());
        // Stored before the request went out.
        QVERIFY(configText().contains("User=\"alice\""));
    }

    void controlsAreDisabledWhileSigningIn()
    {
        loginAnswer_ = CannedResponse::misbehave(CannedResponse::Mode::NeverAnswer);
        auto dialog = makeDialog();
        fill(*dialog, QStringLiteral("alice"), QStringLiteral("pw"), QStringLiteral("me"), false);

        dialog->btnOKClick();

        QVERIFY(!dialog->txtUser->isEnabled());
        QVERIFY(!dialog->txtPass->isEnabled());
        QVERIFY(!dialog->btnOK->isEnabled());
        QVERIFY(dialog->chkSavePass->isEnabled());
        QVERIFY(dialog->txtInputUser->isEnabled());
    }

    void enterMovesToThePasswordThenSignsIn()
    {
        auto dialog = makeDialog();
        fill(*dialog, QStringLiteral("alice"), QStringLiteral("pw"), QStringLiteral("me"), false);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        dialog->txtUser->setFocus();

        QTest::keyClick(dialog->txtUser, Qt::Key_Return);
        QTRY_VERIFY(dialog->txtPass->hasFocus());
        QVERIFY(requestsTo("kessum_login.php").isEmpty());

        QTest::keyClick(dialog->txtPass, Qt::Key_Enter);
        QTRY_COMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(requestsTo("kessum_login.php").size(), 1);
    }

    void closeButtonSavesAndRejects()
    {
        auto dialog = makeDialog();
        fill(*dialog, QStringLiteral("bob"), QStringLiteral("pw"), QStringLiteral("me"), true);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        QTest::mouseClick(dialog->btnClose, Qt::LeftButton);

        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(configText().contains("User=\"bob\""));
        QVERIFY(requestsTo("kessum_login.php").isEmpty());
    }

    void rememberedSignInFillsTheBoxes()
    {
        {
            auto first = makeDialog();
            fill(*first, QStringLiteral("carol"), QStringLiteral("secret"), QStringLiteral("丈夫"), true);
            first->SaveSignInSettings();
        }
        auto dialog = makeDialog();
        QCOMPARE(dialog->txtUser->text(), QStringLiteral("carol"));
        QCOMPARE(dialog->txtPass->text(), QStringLiteral("secret"));
        QCOMPARE(dialog->txtInputUser->text(), QStringLiteral("丈夫"));
        QVERIFY(dialog->chkSavePass->isChecked());
    }

    void unreadableCategoryReplyIsSilent()
    {
        CategoryListText = QStringLiteral("本地\r\n");
        categoryAnswer_ = CannedResponse::text(QStringLiteral("<broken"));
        auto dialog = makeDialog();
        fill(*dialog, QStringLiteral("alice"), QStringLiteral("pw"), QStringLiteral("me"), false);

        dialog->btnOKClick();

        QTRY_COMPARE(requestsTo("kessum_sqlite_type.php").size(), 1);
        QTRY_VERIFY(dialog->httpAllData->InFlight.isEmpty());
        QCOMPARE(CategoryListText, QStringLiteral("本地\r\n"));
        QVERIFY(capture_->messages.isEmpty());
        QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("data.xml"))));
    }

    void passwordRecoveryOpensTheBrowser()
    {
        QStringList opened;
        setShellOpenHandler([&](const QString &target) { opened << target; });
        auto dialog = makeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        QTest::mouseClick(dialog->Label5, Qt::LeftButton);

        QCOMPARE(opened, QStringList{TForm_pass::PasswordRecoveryUrl()});
    }

    void newAccountPageOpens_data()
    {
        QTest::addColumn<QString>("modulePath");
        QTest::addColumn<bool>("embedded");
#ifdef LUMORA_BROWSER_MODULE
        QTest::newRow("module installed") << QStringLiteral(LUMORA_BROWSER_MODULE) << true;
#endif
        QTest::newRow("no module") << QCoreApplication::applicationDirPath() + QStringLiteral("/no-such-folder/lumora-newuser")
                                    << false;
    }

    void newAccountPageOpens()
    {
        QFETCH(QString, modulePath);
        QFETCH(bool, embedded);
        TfrmNewUser::SetBrowserModulePath(modulePath);
        QStringList opened;
        setShellOpenHandler([&](const QString &target) { opened << target; });
        auto dialog = makeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QString expected = ServiceBaseUrl + QStringLiteral("new_user.php?vtype=app");
        // Nothing of the browser engine is loaded before the click.
        if (embedded)
            QVERIFY(!browserEngineLoaded());
        QString shownCaption;
        QTimer::singleShot(0, [&] {
            if (auto *window = qobject_cast<TfrmNewUser *>(QApplication::activeModalWidget())) {
                shownCaption = window->windowTitle();
                window->reject();
            }
        });

        QTest::mouseClick(dialog->Label4, Qt::LeftButton);

        QCOMPARE(TfrmNewUser::HasEmbeddedBrowser(), embedded);
        if (embedded) {
            QVERIFY(dialog->newUserWindow());
            QVERIFY(dialog->newUserWindow()->WebBrowser1);
            QCOMPARE(dialog->newUserWindow()->WebBrowser1->metaObject()->className(), "QWebEngineView");
            QCOMPARE(dialog->newUserWindow()->url().toString(), expected);
            QCOMPARE(shownCaption, QStringLiteral("新用户注册"));
            QVERIFY(opened.isEmpty());
            QVERIFY(browserEngineLoaded());
        } else {
            QVERIFY(!dialog->newUserWindow());
            QCOMPARE(opened, QStringList{expected});
        }
    }
};

QTEST_MAIN(TestSignIn)
#include "tst_signin.moc"
