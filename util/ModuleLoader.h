#pragma once

#include <QString>

class QObject;

namespace lumora
{

// Parts of the program that link large libraries live in modules of their own (Qt plugins), loaded the first time
// they are needed, so that starting the program loads none of those libraries. A module is looked for beside the
// executable, then in the installed module folder. Only for the user-interface thread.

// The module's plugin object, or nullptr when it is not there or does not load. Loaded once, then kept.
QObject *LoadModule(const QString &name);
// Takes the module from `path` instead (tests point it at the built module or at a file that is not there); an
// empty path restores the usual places.
void SetModulePath(const QString &name, const QString &path);

} // namespace lumora
