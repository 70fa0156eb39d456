#include "LumoraApplication.h"

#include "core/Reply.h"
#include "util/MessageSeam.h"

namespace lumora
{

LumoraApplication::LumoraApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool LumoraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ApplicationEvents1Exception(error);
    } catch (...) {
        ShowMessage(QStringLiteral("发生错误:"));
    }
    return false;
}

void LumoraApplication::ApplicationEvents1Exception(const std::exception &error)
{
    // Our own errors carry their text as QString; others bring UTF-8 (or plain ASCII) bytes.
    const auto *own = dynamic_cast<const LumoraError *>(&error);
    const QString message = own ? own->message() : QString::fromUtf8(error.what());
    ShowMessage(QStringLiteral("发生错误:") + message);
}

} // namespace lumora
