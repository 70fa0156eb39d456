#pragma once

#include <QString>

namespace lumora {

// Folder of the executable with a trailing "/": the local files (config.xml, sis1.ini, nb1.txt, the dumps) live
// there. Tests point it at a temporary folder of their own.
QString ExeFolder();
void SetExeFolder(const QString &folder);

} // namespace lumora
