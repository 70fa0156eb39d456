#pragma once

#include <QDialog>
#include <QUrl>

class QPushButton;
class QWidget;
#ifdef LUMORA_HAVE_WEBENGINE
class QWebEngineView;
#endif

namespace lumora
{

// The service's new-account page in a window of its own. Built without Qt WebEngine, the program opens the page in
// the desktop's browser instead (see HasEmbeddedBrowser).
class TfrmNewUser : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmNewUser(QWidget *parent = nullptr);

    static bool HasEmbeddedBrowser();

    void Navigate(const QUrl &url);
    QUrl url() const { return url_; }

#ifdef LUMORA_HAVE_WEBENGINE
    QWebEngineView *WebBrowser1 = nullptr;
#endif
    QWidget *Panel1 = nullptr;      // hidden
    QPushButton *Button1 = nullptr; // "关闭", does nothing

private:
    QUrl url_;
};

} // namespace lumora
