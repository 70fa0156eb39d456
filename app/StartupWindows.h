#pragma once

#include "TForm_pass.h"

#include "ledger/TForm1.h"

namespace lumora
{

// The two windows of a start, made and wired in the order start-up needs: the sign-in dialog first (its creation
// posts the version check), then the hidden main window, then the settings read into the dialog.
class StartupWindows
{
public:
    StartupWindows();
    ~StartupWindows();

    // Shows the sign-in modally; after a successful sign-in asks for the first page and shows the main window.
    bool SignIn();

    TForm_pass signIn;
    TForm1 mainWindow;
};

} // namespace lumora
