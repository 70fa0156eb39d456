#include "LumoraApplication.h"
#include "SingleInstanceGuard.h"
#include "StartupFiles.h"
#include "TForm_pass.h"

#include "ledger/TForm1.h"

#include "core/DateText.h"
#include "core/Session.h"
#include "util/ExeFolder.h"
#include "util/HeapTuning.h"
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

    KeepFreedHeapForReuse();
    SetProcessDateFormats();

    // A second start of the same executable ends here, silently; a copy in another folder runs.
    SingleInstanceGuard guard(SingleInstanceGuard::executablePath(argv[0]));
    if (guard.anotherCopyRuns())
        return 0;

    LumoraApplication app(argc, argv);
    app.setStyle(new HintStyle);

    LoadServiceAddresses(IniFile(ExeFolder() + QStringLiteral("sis1.ini")));

    // Its creation posts the version check.
    TForm_pass signIn;

    // Its creation builds the record grid; the settings are read into the sign-in dialog before it is shown.
    TForm1 mainWindow;
    signIn.LoadSignInSettings();
    OpenIniSettings();
    signIn.RecountMonth = [&mainWindow](const QDateTime &date) { mainWindow.RecountMonth(date); };
    // The record lines are built while the sign-in waits for the user, not between its reply and the first page.
    mainWindow.parts()->BuildLinesWhileIdle(&signIn);

    if (signIn.exec() != QDialog::Accepted) {
        CloseIniSettings();
        return 0;
    }

    mainWindow.SignedIn();
    mainWindow.show();
    // Where no window manager hands the focus over once the sign-in closes, the record line would hold the cursor
    // without ever being entered, and so without its active look.
    mainWindow.raise();
    mainWindow.activateWindow();
    const int result = app.exec();
    CloseIniSettings();
    return result;
}
