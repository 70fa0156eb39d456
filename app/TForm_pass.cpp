#include "TForm_pass.h"

#include "TfrmNewUser.h"

#include "controls/Align.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TColorCheckBox.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "core/Base64.h"
#include "core/Conversions.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Reply.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "util/DialogParts.h"
#include "util/Gbk.h"
#include "util/Helpers.h"
#include "util/MessageSeam.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace lumora
{

const QString TForm_pass::BuiltInVersion = QStringLiteral("2015.01.29.1");

namespace
{
const QString kLoginFailed = QStringLiteral("登录失败.[如此信息多次出现请访问我们官网,下载最新的软件版本]");
const QString kNetworkError = QStringLiteral("网络错误.[如此信息多次出现请访问我们官网,下载最新的软件版本]");
const QColor kGreyBorder(0xCC, 0xCC, 0xCC);
constexpr int kClientWidth = 367;
constexpr int kClientHeight = 275;
constexpr int kCaptionHeight = 35;

// A reply the size of a web page would make a screen-sized message box.
QString shownReply(const QString &text)
{
    constexpr int kShownChars = 300;
    return text.size() > kShownChars ? text.left(kShownChars) + QStringLiteral("...") : text;
}

bool isEnter(const QEvent *event)
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QPoint at)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(at);
    l->adjustSize();
    return l;
}
} // namespace

TForm_pass::TForm_pass(QWidget *parent) : TFormVSkin(parent)
{
    setWindowTitle(QStringLiteral("请输入口令"));
    QFont type = font();
    type.setPixelSize(14);
    setFont(type);
    resize(kClientWidth, kClientHeight);
    CentreOnScreen(this);

    // The dialog's own creation: only the caption goes into the frame.
    LabelCaption->setText(windowTitle());
    LabelCaption->adjustSize();
    UsePlainCaption(false);

    buildControls();
    // Keys typed as soon as the window appears come before its activation, which is what would give the first box
    // the focus; until then they would reach the dialog itself and be dropped.
    txtUser->setFocus();

    httpLogin = new THttpThreadControl(this);
    httpLogin->OnHttpData = [this](THttpThreadControl *http) { httpLoginHttpData(http); };
    httpLogin->OnHttpError = [this](THttpThreadControl *http, const QString &err) { httpLoginHttpError(http, err); };
    httpAllData = new THttpThreadControl(this);
    // No error handler: a failed category download stays silent.
    httpAllData->OnHttpData = [this](THttpThreadControl *http) { httpAllDataHttpData(http); };
    httpVer = new THttpThreadControl(this);
    httpVer->OnHttpData = [this](THttpThreadControl *http) { httpVerHttpData(http); };
    httpVer->OnHttpError = [this](THttpThreadControl *http, const QString &err) { httpVerHttpError(http, err); };
    for (THttpThreadControl *http : {httpLogin, httpAllData, httpVer})
        http->ReadTimeout = 20000;

    // Before the settings are read, so the session lines are still empty.
    httpVer->Post(ServiceBaseUrl + protocol::ScriptVersion, SessionBlock());
}

TForm_pass::~TForm_pass() = default;

void TForm_pass::buildControls()
{
    pnlClient->setColor(Qt::white);
    Panel_SizeTop->setColor(kGreyBorder);
    Panel_SizeLeft->setColor(kGreyBorder);
    Panel_SizeRight->setColor(kGreyBorder);
    Panel_SizeBottom->setColor(kGreyBorder);

    const QPalette white = [] {
        QPalette p;
        p.setColor(QPalette::Window, Qt::white);
        p.setColor(QPalette::Base, Qt::white);
        return p;
    }();

    Label2 = label(pnlClient, "Label2", QStringLiteral("用户名:"), {60, 27});
    txtUser = new TColorBorderEdit(pnlClient);
    txtUser->setObjectName(QStringLiteral("txtUser"));
    txtUser->setGeometry(120, 24, 169, 22);
    txtUser->setBorderColor(kGreyBorder);

    Label3 = label(pnlClient, "Label3", QStringLiteral("密  码:"), {60, 63});
    txtPass = new TColorBorderEdit(pnlClient);
    txtPass->setObjectName(QStringLiteral("txtPass"));
    txtPass->setGeometry(120, 60, 169, 22);
    txtPass->setBorderColor(kGreyBorder);
    txtPass->setPasswordChar(QLatin1Char('*'));
    Label5 = label(pnlClient, "Label5", QStringLiteral("找回密码"), {296, 63});
    Label5->setCursor(Qt::PointingHandCursor);

    Label1 = label(pnlClient, "Label1", QStringLiteral("输入者标识"), {60, 99});
    QFont small = font();
    small.setPixelSize(12);
    Label1->setFont(small);
    Label1->setStyleSheet(QStringLiteral("color: grey;"));
    Label1->adjustSize();
    txtInputUser = new QLineEdit(pnlClient);
    txtInputUser->setObjectName(QStringLiteral("txtInputUser"));
    txtInputUser->setGeometry(130, 96, 159, 20);
    txtInputUser->setFrame(false);
    txtInputUser->setPalette(white);
    txtInputUser->setToolTip(QStringLiteral("\"输入者标识\"用于区分数据是谁输入的,例如小两口中丈夫还是妻子...\n"
                                            "可自行修改为自己喜欢名称"));

    chkSavePass = new TColorCheckBox(QStringLiteral("记住密码"), pnlClient);
    chkSavePass->setObjectName(QStringLiteral("chkSavePass"));
    chkSavePass->setGeometry(120, 130, 89, 17);
    chkSavePass->setColor(Qt::white);
    Label4 = label(pnlClient, "Label4", QStringLiteral("注册新账号"), {220, 130});
    QFont bold = font();
    bold.setBold(true);
    Label4->setFont(bold);
    Label4->adjustSize();
    Label4->setCursor(Qt::PointingHandCursor);

    pnlLine = new TImagePanel(pnlClient);
    pnlLine->setObjectName(QStringLiteral("pnlLine"));
    pnlLine->setBevelOuter(TImagePanel::bvNone);
    pnlLine->setColor(Qt::white);
    pnlLine->setBorderColor(kGreyBorder);
    pnlLine->setBorderBrawKinds(TImagePanel::bbkTop);
    pnlLine->setBorderWidth_v(1);
    pnlLine->setGeometry(1, 163, kClientWidth - 2, 8);

    pnlOK = new TImagePanel(pnlClient);
    pnlOK->setObjectName(QStringLiteral("pnlOK"));
    pnlOK->setBevelOuter(TImagePanel::bvNone);
    pnlOK->setColor(QColor(0xFF, 0x80, 0x40));
    // A two-pixel light grey frame round the orange button; the button sits inside it.
    pnlOK->setBorderWidth(2);
    pnlOK->setBorderColor(kGreyBorder);
    pnlOK->setGeometry(120, 185, 169, 32);
    btnOK = new TPNGButtonEx(pnlOK);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setCaption(QStringLiteral("登录"));
    btnOK->setButtonLayout(TPNGButtonEx::pbsImageBackground);
    QPalette whiteText = btnOK->palette();
    whiteText.setColor(QPalette::WindowText, Qt::white);
    whiteText.setColor(QPalette::ButtonText, Qt::white);
    btnOK->setPalette(whiteText);
    btnOK->setCursor(Qt::PointingHandCursor);
    setAlign(btnOK, Align::Client);

    setTabOrder(txtUser, txtPass);
    setTabOrder(txtPass, chkSavePass);
    setTabOrder(chkSavePass, txtInputUser);

    connect(btnOK, &TPNGButtonEx::OnClick, this, &TForm_pass::btnOKClick);
    for (QWidget *w : {static_cast<QWidget *>(txtUser), static_cast<QWidget *>(txtPass), static_cast<QWidget *>(Label4),
                       static_cast<QWidget *>(Label5)})
        w->installEventFilter(this);
}

bool TForm_pass::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease && isEnter(event)) {
        if (watched == txtUser) {
            txtPass->setFocus();
            return true;
        }
        if (watched == txtPass) {
            btnOKClick();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        auto *w = static_cast<QWidget *>(watched);
        if (w->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            if (watched == Label4) {
                Label4Click();
                return true;
            }
            if (watched == Label5) {
                Label5Click();
                return true;
            }
        }
    }
    return TFormVSkin::eventFilter(watched, event);
}

SignInFields TForm_pass::fields() const
{
    return SignInFields{chkSavePass->isChecked(), txtUser->text(), txtPass->text(), txtInputUser->text()};
}

void TForm_pass::setFields(const SignInFields &fields)
{
    chkSavePass->setChecked(fields.savePass);
    txtUser->setText(fields.user);
    txtPass->setText(fields.pass);
    txtInputUser->setText(fields.inputUser);
}

void TForm_pass::LoadSignInSettings()
{
    SignInFields read = fields();
    settings_.LoadSignInSettings(read);
    setFields(read);
}

void TForm_pass::SaveSignInSettings()
{
    // A settings file that cannot be written must not stop the sign-in; the values are simply not remembered.
    settings_.SaveSignInSettings(fields());
}

void TForm_pass::takeSessionValues()
{
    SessionUser = TrimBlanks(txtUser->text());
    SessionPassword = TrimBlanks(txtPass->text());
    SessionInputUser = TrimBlanks(txtInputUser->text());
}

void TForm_pass::setSignInEnabled(bool enabled)
{
    txtUser->setEnabled(enabled);
    txtPass->setEnabled(enabled);
    btnOK->setEnabled(enabled);
}

void TForm_pass::btnOKClick()
{
    takeSessionValues();
    SaveSignInSettings();
    setSignInEnabled(false);
    const QString lines = SessionBlock() + protocol::ActionLogin + QStringLiteral("\r\n") +
                          QStringLiteral("user_name=") + SessionUser + QStringLiteral("\r\n") +
                          QStringLiteral("user_pass=") + SessionPassword + QStringLiteral("\r\n");
    httpLogin->Post(ServiceBaseUrl + protocol::ScriptLogin, lines);
}

void TForm_pass::httpLoginHttpData(THttpThreadControl *httpThread)
{
    setSignInEnabled(true);
    if (!IsReplyOk(httpThread)) {
        ShowMessage(kLoginFailed);
        return;
    }
    // Like a modal result: the dialog closes once this handler has returned.
    accept();
    takeSessionValues();
    SaveSignInSettings();
    setSignInEnabled(false);
    httpAllData->Post(ServiceBaseUrl + protocol::ScriptType,
                      SessionBlock() + protocol::ActionData + QStringLiteral("\r\n"));
    if (RecountMonth)
        RecountMonth(QDateTime::currentDateTime());
}

void TForm_pass::httpLoginHttpError(THttpThreadControl *, const QString &)
{
    setSignInEnabled(true);
    ShowInfo(kNetworkError, QStringLiteral("Info"));
}

void TForm_pass::httpAllDataHttpData(THttpThreadControl *httpThread)
{
    HideBusy();
    // An unreadable reply throws here and ends silently: httpAllData has no error handler.
    const Reply reply = ParseReply(httpThread->ResponseText);
    for (const pugi::xml_node &row : ReplyRows(reply)) {
        bool present = false;
        const QString once = RowText(row, "type1", &present);
        if (present)
            CategoryListText = FromGbk(Base64Decode(once.toLatin1()));
    }
    WriteDataDump(reply);
}

void TForm_pass::httpVerHttpData(THttpThreadControl *httpThread)
{
    Reply reply;
    try {
        reply = ParseReply(httpThread->ResponseText);
    } catch (const LumoraError &) {
        ShowMessage(QStringLiteral("错误: ") + shownReply(httpThread->ResponseText));
        return;
    }
    if (!reply.result)
        return;
    const QString ver = RowText(reply.result, "ver");
    const QString info = RowText(reply.result, "info");
    // Any other version, older or newer, is worth a word; an empty notice is not worth an empty box.
    if (ver != BuiltInVersion && !info.isEmpty())
        ShowMessage(info);
}

void TForm_pass::httpVerHttpError(THttpThreadControl *, const QString &)
{
    ServiceBaseUrl = AlternateBaseUrl;
}

QString TForm_pass::PasswordRecoveryUrl()
{
    return ServiceBaseUrl + QStringLiteral("find_pass.php");
}

void TForm_pass::Label4Click()
{
    const QString url = ServiceBaseUrl + protocol::PageNewUser;
    if (!TfrmNewUser::HasEmbeddedBrowser()) {
        ShellOpen(url);
        return;
    }
    if (!frmNewUser_)
        frmNewUser_ = new TfrmNewUser(this);
    frmNewUser_->Navigate(QUrl(url));
    frmNewUser_->exec();
}

void TForm_pass::Label5Click()
{
    ShellOpen(PasswordRecoveryUrl());
}

void TForm_pass::closeEvent(QCloseEvent *event)
{
    SaveSignInSettings();
    TFormVSkin::closeEvent(event);
}

} // namespace lumora
