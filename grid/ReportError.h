#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace lumora
{

// The program's last word on an error no handler dealt with: "发生错误:" followed by its message, in a plain
// message box; the program goes on.
void ReportError(const std::exception &error);

// Runs a user action and reports whatever it throws, so no exception crosses the Qt event loop.
void RunReported(const std::function<void()> &action);

} // namespace lumora
