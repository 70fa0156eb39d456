// config.xml as any bytes: the document reader, the Login attributes and the remembered password.
#include "app/SettingsDocument.h"
#include "core/Reply.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
// The document config.xml holds, or nothing when a byte is broken or the text is not well-formed.
std::shared_ptr<pugi::xml_document> readBack(const QByteArray &bytes)
{
    bool broken = false;
    const QString text = lumora::DecodeSettings(bytes, &broken);
    if (broken)
        return {};
    try {
        return lumora::ParseXml(text);
    } catch (const lumora::LumoraError &) {
        return {};
    }
}

QString text(const pugi::xml_node &login, const char *name)
{
    return QString::fromUtf8(login.attribute(name).value());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::shared_ptr<pugi::xml_document> doc =
        readBack(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
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
    if (!readBack(lumora::EncodeSettings(*doc)))
        std::abort();
    return 0;
}
