#include "LumoraApplication.h"
#include "SingleInstanceGuard.h"
#include "StartupFiles.h"
#include "TForm_pass.h"

#include "core/DateText.h"
#include "core/Session.h"
#include "util/ExeFolder.h"
#include "util/IniFile.h"

#include <QProxyStyle>

namespace
{
// Hints show at once and stay ten seconds.
class HintStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 0;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return 10000;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

int main(int argc, char *argv[])
{
    using namespace lumora;

    SetProcessDateFormats();

    // A second start of the same executable ends here, silently; a copy in another folder runs.
    SingleInstanceGuard guard(SingleInstanceGuard::executablePath(argv[0]));
    if (!guard.tryAcquire())
        return 0;

    // The embedded browser of the new-account page shares its GL contexts; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    LumoraApplication app(argc, argv);
    app.setStyle(new HintStyle);

    LoadServiceAddresses(IniFile(ExeFolder() + QStringLiteral("sis1.ini")));

    // Its creation posts the version check.
    TForm_pass signIn;

    // ---- Main window (TForm1) goes here. Its creation reads config.xml into the sign-in dialog, opens sis1.ini
    // and sets signIn.RecountMonth to its own RecountMonth; until it exists, start-up does the first two itself.
    signIn.LoadSignInSettings();
    OpenIniSettings();

    if (signIn.exec() != QDialog::Accepted)
        return 0;

    // ---- After the sign-in: the main window's QueryLast50(0), creation of TForm_nb, then the event loop that
    // runs until the main window closes:
    //     return app.exec();
    // Until the main window exists the program ends here.
    CloseIniSettings();
    return 0;
}
