// The GBK ini reader on any bytes; what it writes reads back to the same file.
#include "util/Gbk.h"
#include "util/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Bytes that are not GBK are read as replacement characters and written back as "?", so two names that differ
    // only there become one: the round trip holds for GBK files only.
    const bool validGbk = lumora::ToGbk(lumora::FromGbk(bytes)) == bytes;
    lumora::IniFile ini{QString()};
    ini.parse(bytes);
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
    if (validGbk && again.serialize() != written)
        std::abort();
    return 0;
}
