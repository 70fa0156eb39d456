#include "app/EmbeddedBrowser.h"

#include <QCoreApplication>
#include <QObject>
#include <QOpenGLContext>
#include <QUrl>
#include <QWebEngineView>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace lumora
{

class WebEngineBrowser : public QObject, public EmbeddedBrowser
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LumoraEmbeddedBrowser_iid)
    Q_INTERFACES(lumora::EmbeddedBrowser)
public:
    QWidget *createView(QWidget *parent) override
    {
        shareContexts();
        return new QWebEngineView(parent);
    }

    void navigate(QWidget *view, const QUrl &url) override { static_cast<QWebEngineView *>(view)->setUrl(url); }

private:
    // The engine renders through a context shared with Qt's; a program that links the engine gets one when the
    // application starts. Loaded late, the module makes it itself, once, before the first view.
    static void shareContexts()
    {
        if (qt_gl_global_share_context())
            return;
        auto *context = new QOpenGLContext(qApp);
        context->create();
        qt_gl_set_global_share_context(context);
    }
};

} // namespace lumora

#include "WebEngineBrowser.moc"
