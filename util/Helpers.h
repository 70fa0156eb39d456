#pragma once

#include <QString>

#include <functional>

namespace lumora {

// Opens a web address or a document with the desktop's default application. Nothing is reported.
void ShellOpen(const QString &target);
// Tests replace the desktop with a recorder; an empty function restores it.
void setShellOpenHandler(std::function<void(const QString &)> handler);

// The piece of text between two markers, markers compared without regard to ASCII letter case.
QString TextBetween(const QString &text, const QString &start, const QString &end);

} // namespace lumora
