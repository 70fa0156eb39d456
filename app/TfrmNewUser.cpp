#include "TfrmNewUser.h"

#include "util/DialogParts.h"

#include <QPushButton>
#include <QVBoxLayout>

#ifdef LUMORA_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

namespace lumora
{

TfrmNewUser::TfrmNewUser(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("新用户注册"));
    resize(547, 394);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#ifdef LUMORA_HAVE_WEBENGINE
    auto *view = new QWebEngineView(this);
    WebBrowser1 = view;
    layout->addWidget(view, 1);
#else
    layout->addStretch(1);
#endif
    Panel1 = new QWidget(this);
    Button1 = new QPushButton(QStringLiteral("关闭"), Panel1);
    Panel1->setVisible(false);
    layout->addWidget(Panel1);
    CentreOnScreen(this);
}

bool TfrmNewUser::HasEmbeddedBrowser()
{
#ifdef LUMORA_HAVE_WEBENGINE
    return true;
#else
    return false;
#endif
}

void TfrmNewUser::Navigate(const QUrl &url)
{
    url_ = url;
#ifdef LUMORA_HAVE_WEBENGINE
    static_cast<QWebEngineView *>(WebBrowser1)->setUrl(url);
#endif
}

} // namespace lumora
