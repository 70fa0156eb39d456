// The sign-in dialog against the real reference service.
#include "app/TForm_pass.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TColorCheckBox.h"
#include "core/HttpThreadControl.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "servicefixture/ServiceProcess.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace lumora;
using lumora::testing::ServiceProcess;

class TestSignInService : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ServiceProcess> service_;
    QTemporaryDir dir_;

    std::unique_ptr<TForm_pass> dialogFor(const QString &user, const QString &pass)
    {
        auto dialog = std::make_unique<TForm_pass>();
        dialog->LoadSignInSettings();
        dialog->txtUser->setText(user);
        dialog->txtPass->setText(pass);
        dialog->txtInputUser->setText(QStringLiteral("丈夫"));
        return dialog;
    }

private slots:
    void initTestCase()
    {
        SetExeFolder(dir_.path());
        service_ = std::make_unique<ServiceProcess>(ServiceProcess::Demo);
        QVERIFY2(service_->isRunning(), qPrintable(service_->errorString()));
    }
    void init()
    {
        ResetSession();
        ServiceBaseUrl = service_->baseUrl();
        AlternateBaseUrl = service_->baseUrl();
        CategoryListText.clear();
    }
    void cleanupTestCase() { service_.reset(); }

    void demoSignsInAndGetsItsCategories()
    {
        ScopedMessageCapture capture;
        auto dialog = dialogFor(QStringLiteral("demo"), QStringLiteral("demo"));
        int recounts = 0;
        dialog->RecountMonth = [&](const QDateTime &) { ++recounts; };

        dialog->btnOKClick();

        QTRY_COMPARE_WITH_TIMEOUT(dialog->result(), int(QDialog::Accepted), 20000);
        QCOMPARE(recounts, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!CategoryListText.isEmpty(), 20000);
        QVERIFY2(CategoryListText.contains(QStringLiteral("\r\n")), qPrintable(CategoryListText));
        QTRY_VERIFY(dialog->httpVer->InFlight.isEmpty());
        QVERIFY2(capture.messages.isEmpty(), qPrintable(capture.texts().join('|')));
    }

    void wrongPasswordIsRefused()
    {
        ScopedMessageCapture capture;
        auto dialog = dialogFor(QStringLiteral("demo"), QStringLiteral("wrong"));

        dialog->btnOKClick();

        QTRY_VERIFY_WITH_TIMEOUT(
            capture.texts().contains(QStringLiteral("登录失败.[如此信息多次出现请访问我们官网,下载最新的软件版本]")),
            20000);
        QVERIFY(dialog->result() != QDialog::Accepted);
        QVERIFY(dialog->txtUser->isEnabled());
    }
};

QTEST_MAIN(TestSignInService)
#include "tst_signin_service.moc"
