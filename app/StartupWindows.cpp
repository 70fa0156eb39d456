#include "StartupWindows.h"

#include "StartupFiles.h"

#include "ledger/LedgerParts.h"

namespace lumora
{

StartupWindows::StartupWindows()
{
    signIn.LoadSignInSettings();
    OpenIniSettings();
    signIn.RecountMonth = [this](const QDateTime &date) { mainWindow.RecountMonth(date); };
    // The record lines are built while the sign-in waits for the user, not between its reply and the first page.
    mainWindow.parts()->BuildLinesWhileIdle(&signIn);
}

StartupWindows::~StartupWindows()
{
    CloseIniSettings();
}

bool StartupWindows::SignIn()
{
    if (signIn.exec() != QDialog::Accepted)
        return false;
    mainWindow.SignedIn();
    mainWindow.show();
    // Where no window manager hands the focus over once the sign-in closes, the record line would hold the cursor
    // without ever being entered, and so without its active look.
    mainWindow.raise();
    mainWindow.activateWindow();
    return true;
}

} // namespace lumora
