#pragma once

#include <QDialog>
#include <QUrl>

class QPushButton;
class QWidget;

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

    // A QWebEngineView when the program has Qt WebEngine, else nullptr. (No #ifdef here: the define is private to
    // the app library, and the class must look the same to every file that includes this header.)
    QWidget *WebBrowser1 = nullptr;
    QWidget *Panel1 = nullptr;      // hidden
    QPushButton *Button1 = nullptr; // "关闭", does nothing

private:
    QUrl url_;
};

} // namespace lumora
