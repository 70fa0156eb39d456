// The windows of a start, made as the program makes them.
#include "app/StartupWindows.h"
#include "controls/TColorBorderEdit.h"
#include "core/Session.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace lumora;
using lumora::test::ClosedLoopbackPort;

namespace
{
// Keys as the window system hands them to a window, not to a chosen widget.
void typeInto(QWindow *window, const char *text)
{
    for (; *text; ++text)
        QTest::keyClick(window, *text);
}
} // namespace

class TestStartupWindows : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ResetSession();
        // The version check finds nobody; that is silent.
        const QString nobody = QStringLiteral("http://127.0.0.1:%1/ms/kessum/").arg(ClosedLoopbackPort());
        ServiceBaseUrl = nobody;
        AlternateBaseUrl = nobody;
    }

    void keysTypedAsTheSignInAppearsAreKept()
    {
        // Given the windows of a start in an empty folder
        QTemporaryDir dir;
        SetExeFolder(dir.path());
        ScopedMessageCapture capture;
        StartupWindows windows;

        // When the sign-in shows and the keys come at once, before the window has been activated
        windows.signIn.show();
        QWindow *window = windows.signIn.windowHandle();
        QVERIFY(window);
        QVERIFY(!windows.signIn.isActiveWindow());
        typeInto(window, "demo");
        QTest::keyClick(window, Qt::Key_Return);
        typeInto(window, "pw");

        // Then every key reached the boxes it was typed for
        QCOMPARE(windows.signIn.txtUser->text(), QStringLiteral("demo"));
        QCOMPARE(windows.signIn.txtPass->text(), QStringLiteral("pw"));
        QVERIFY(capture.messages.isEmpty());
    }
};

QTEST_MAIN(TestStartupWindows)
#include "tst_startup_windows.moc"
