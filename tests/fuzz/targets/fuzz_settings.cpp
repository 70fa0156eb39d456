// config.xml as any bytes: the document reader, the Login attributes and the remembered password.
#include "app/SettingsDocument.h"
#include "app/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lumora::XmlDocument doc;
    if (!doc.load(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    if (lumora::XmlNode *root = doc.documentElement()) {
        if (lumora::XmlNode *login = root->firstChildElement(QStringLiteral("Login"))) {
            lumora::ReadBoolText(login->attribute(QStringLiteral("Save")));
            const QString user = login->attribute(QStringLiteral("User"));
            lumora::DecipherPassword(login->attribute(QStringLiteral("Pass")), user);
            lumora::TrimBlanks(login->attribute(QStringLiteral("InputUser")));
            login->setAttribute(QStringLiteral("Pass"), lumora::EncipherPassword(QStringLiteral("口令"), user));
        }
    }
    // What we write back must read again.
    lumora::XmlDocument again;
    if (!again.load(doc.save()))
        std::abort();
    return 0;
}
