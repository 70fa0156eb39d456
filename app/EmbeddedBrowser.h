#pragma once

#include <QtPlugin>

class QUrl;
class QWidget;

namespace lumora
{

// The web view of the new-account page. It lives in a module of its own (the only code that links Qt WebEngine),
// loaded on the first click on "注册新账号", so that starting the program loads no browser engine.
class EmbeddedBrowser
{
public:
    virtual ~EmbeddedBrowser() = default;
    virtual QWidget *createView(QWidget *parent) = 0;
    virtual void navigate(QWidget *view, const QUrl &url) = 0;
};

} // namespace lumora

#define LumoraEmbeddedBrowser_iid "lumora.EmbeddedBrowser/1"
Q_DECLARE_INTERFACE(lumora::EmbeddedBrowser, LumoraEmbeddedBrowser_iid)
