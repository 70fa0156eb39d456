#include "LumoraApplication.h"
#include "SingleInstanceGuard.h"
#include "StartupWindows.h"

#include "core/DateText.h"
#include "core/Session.h"
#include "util/ExeFolder.h"
#include "util/FontConfigWarmUp.h"
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

    FontConfigWarmUp fonts;
    LumoraApplication app(argc, argv);
    fonts.wait();
    app.setStyle(new HintStyle);

    LoadServiceAddresses(IniFile(ExeFolder() + QStringLiteral("sis1.ini")));

    StartupWindows windows;
    if (!windows.SignIn())
        return 0;
    return app.exec();
}
