#include "TfrmNewUser.h"

#include "EmbeddedBrowser.h"

#include "util/DialogParts.h"
#include "util/ModuleLoader.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace lumora
{

namespace
{
const QString kModule = QStringLiteral("lumora-newuser");

EmbeddedBrowser *LoadEmbeddedBrowser()
{
    return qobject_cast<EmbeddedBrowser *>(LoadModule(kModule));
}
} // namespace

TfrmNewUser::TfrmNewUser(QWidget *parent) : QDialog(parent), browser_(LoadEmbeddedBrowser())
{
    setWindowTitle(QStringLiteral("新用户注册"));
    resize(547, 394);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (browser_) {
        WebBrowser1 = browser_->createView(this);
        layout->addWidget(WebBrowser1, 1);
    } else {
        layout->addStretch(1);
    }
    Panel1 = new QWidget(this);
    Button1 = new QPushButton(QStringLiteral("关闭"), Panel1);
    Panel1->setVisible(false);
    layout->addWidget(Panel1);
    CentreOnScreen(this);
}

bool TfrmNewUser::HasEmbeddedBrowser()
{
    return LoadEmbeddedBrowser() != nullptr;
}

void TfrmNewUser::SetBrowserModulePath(const QString &path)
{
    SetModulePath(kModule, path);
}

void TfrmNewUser::Navigate(const QUrl &url)
{
    url_ = url;
    if (browser_)
        browser_->navigate(WebBrowser1, url);
}

} // namespace lumora
