// The GBK ini reader on any bytes; what it writes reads back to the same file.
#include "util/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lumora::IniFile ini{QString()};
    ini.parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const QString &section : ini.sections()) {
        for (const QString &key : ini.keys(section)) {
            ini.readString(section, key);
            ini.readInteger(section, key, 0);
            ini.readBool(section, key, false);
        }
    }
    const QByteArray written = ini.serialize();
    lumora::IniFile again{QString()};
    again.parse(written);
    if (again.serialize() != written)
        std::abort();
    return 0;
}
