#pragma once

#include <QString>

namespace lumora {

// Folder of the local files (config.xml, sis1.ini, nb1.txt, the position file, the dumps) with a trailing "/":
// the executable's folder when it is writable (portable use), else the user's data folder of the program
// (an installed copy), created on first use. Every reader and writer of those files asks here.
QString ExeFolder();
// Tests point it at a temporary folder of their own.
void SetExeFolder(const QString &folder);

// The decision for an executable in exeDir: exeDir when it is writable, else dataDir (created). Empty when
// neither can be used.
QString LocalFilesFolder(const QString &exeDir, const QString &dataDir);

} // namespace lumora
