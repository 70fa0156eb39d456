#pragma once

#include "SettingsDocument.h"
#include "controls/TFormVSkin.h"

#include <QDateTime>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;

namespace lumora
{

class TColorBorderEdit;
class TColorCheckBox;
class THttpThreadControl;
class TImagePanel;
class TPNGButtonEx;
class TfrmNewUser;

// The sign-in dialog shown modally at start-up: the version check, the sign-in, the remembered sign-in in
// config.xml and, after signing in, the category download. Accepted means signed in.
class TForm_pass : public TFormVSkin
{
    Q_OBJECT
public:
    // Posts the version check at once, to ServiceBaseUrl as it is now.
    explicit TForm_pass(QWidget *parent = nullptr);
    ~TForm_pass() override;

    static const QString BuiltInVersion; // "2015.01.29.1"

    // Reads config.xml into the boxes (the main window's creation calls it once, before the dialog is shown).
    void LoadSignInSettings();
    // Writes the boxes into config.xml; nothing while the file is unreadable.
    void SaveSignInSettings();
    const SettingsDocument &settings() const { return settings_; }

    // The main window's month recount, called with the current date and time after a successful sign-in; start-up
    // sets it once the main window exists.
    std::function<void(const QDateTime &)> RecountMonth;

    // The password-recovery page opened by "找回密码".
    static QString PasswordRecoveryUrl();

    QLabel *Label1 = nullptr; // "输入者标识"
    QLabel *Label2 = nullptr; // "用户名:"
    QLabel *Label3 = nullptr; // "密  码:"
    QLabel *Label4 = nullptr; // "注册新账号"
    QLabel *Label5 = nullptr; // "找回密码"
    TColorBorderEdit *txtUser = nullptr;
    TColorBorderEdit *txtPass = nullptr;
    QLineEdit *txtInputUser = nullptr;
    TColorCheckBox *chkSavePass = nullptr;
    TImagePanel *pnlLine = nullptr;
    TImagePanel *pnlOK = nullptr;
    TPNGButtonEx *btnOK = nullptr;
    THttpThreadControl *httpLogin = nullptr;
    THttpThreadControl *httpAllData = nullptr;
    THttpThreadControl *httpVer = nullptr;

    TfrmNewUser *newUserWindow() const { return frmNewUser_; }

    void btnOKClick();
    void httpLoginHttpData(THttpThreadControl *httpThread);
    void httpLoginHttpError(THttpThreadControl *httpThread, const QString &err);
    void httpAllDataHttpData(THttpThreadControl *httpThread);
    void httpVerHttpData(THttpThreadControl *httpThread);
    void httpVerHttpError(THttpThreadControl *httpThread, const QString &err);
    void Label4Click();
    void Label5Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    SignInFields fields() const;
    void setFields(const SignInFields &fields);
    void takeSessionValues();
    void setSignInEnabled(bool enabled);

    SettingsDocument settings_;
    TfrmNewUser *frmNewUser_ = nullptr;
};

} // namespace lumora
