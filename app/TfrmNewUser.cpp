#include "TfrmNewUser.h"

#include "EmbeddedBrowser.h"

#include "util/DialogParts.h"

#include <QCoreApplication>
#include <QPluginLoader>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora
{

namespace
{
QString g_modulePath;

QStringList ModuleCandidates()
{
    if (!g_modulePath.isEmpty())
        return {g_modulePath};
    const QString exeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    return {exeDir + QStringLiteral("lumora-newuser"),
            exeDir + QStringLiteral(LUMORA_MODULE_DIR "/lumora-newuser")};
}

EmbeddedBrowser *LoadEmbeddedBrowser()
{
    static EmbeddedBrowser *browser = nullptr;
    static QString loadedFrom;
    const QStringList candidates = ModuleCandidates();
    if (browser && candidates.contains(loadedFrom))
        return browser;
    for (const QString &candidate : candidates) {
        QPluginLoader loader(candidate);
        if (auto *found = qobject_cast<EmbeddedBrowser *>(loader.instance())) {
            browser = found;
            loadedFrom = candidate;
            return browser;
        }
    }
    return nullptr;
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
    g_modulePath = path;
}

void TfrmNewUser::Navigate(const QUrl &url)
{
    url_ = url;
    if (browser_)
        browser_->navigate(WebBrowser1, url);
}

} // namespace lumora
