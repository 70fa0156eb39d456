#include "ReportError.h"

#include "core/Reply.h"
#include "util/MessageSeam.h"

namespace lumora
{

void ReportError(const std::exception &error)
{
    const auto *own = dynamic_cast<const LumoraError *>(&error);
    const QString message = own ? own->message() : QString::fromLocal8Bit(error.what());
    ShowMessage(QStringLiteral("发生错误:") + message);
}

void RunReported(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &error) {
        ReportError(error);
    }
}

} // namespace lumora
