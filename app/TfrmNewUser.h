#pragma once

#include <QDialog>
#include <QUrl>

class QPushButton;
class QWidget;

namespace lumora
{

class EmbeddedBrowser;

// The service's new-account page in a window of its own. The web view comes from the browser module, loaded on
// first use; without the module the program opens the page in the desktop's browser instead (HasEmbeddedBrowser).
class TfrmNewUser : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmNewUser(QWidget *parent = nullptr);

    // Loads the browser module the first time; false when it is not installed or does not load.
    static bool HasEmbeddedBrowser();
    // Where the module is looked for: by default beside the executable, then in the installed module folder.
    // Tests point it at the built module or at a file that is not there.
    static void SetBrowserModulePath(const QString &path);

    void Navigate(const QUrl &url);
    QUrl url() const { return url_; }

    QWidget *WebBrowser1 = nullptr; // the module's web view; nullptr without the module
    QWidget *Panel1 = nullptr;      // hidden
    QPushButton *Button1 = nullptr; // "关闭", does nothing

private:
    EmbeddedBrowser *browser_ = nullptr;
    QUrl url_;
};

} // namespace lumora
