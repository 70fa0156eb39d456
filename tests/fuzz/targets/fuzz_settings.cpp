// config.xml as any bytes: the document reader, the Login attributes and the remembered password.
#include "app/SettingsDocument.h"
#include "core/Reply.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
QString text(const pugi::xml_node &login, const char *name)
{
    return QString::fromUtf8(login.attribute(name).value());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lumora::ByteOrderMark bom;
    const std::shared_ptr<pugi::xml_document> doc =
        lumora::ReadSettings(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &bom);
    if (!doc)
        return 0;
    if (pugi::xml_node login = lumora::FirstChildElement(doc->document_element(), "Login")) {
        lumora::ReadBoolText(text(login, "Save"));
        const QString user = text(login, "User");
        lumora::DecipherPassword(text(login, "Pass"), user);
        lumora::TrimBlanks(text(login, "InputUser"));
        lumora::SetAttribute(login, "Pass",
                             lumora::EncipherPassword(QStringLiteral("口令"), user).toUtf8().constData());
        lumora::SetAttribute(login, "InputUser", "输入者 😀");
    }
    // What we write back must read again.
    if (!lumora::ReadSettings(lumora::EncodeSettings(*doc, bom)))
        std::abort();
    return 0;
}
