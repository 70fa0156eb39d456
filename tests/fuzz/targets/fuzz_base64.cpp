// Base64Decode of any text, and the round trip of any bytes.
#include "core/Base64.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    lumora::Base64Decode(bytes);
    const QByteArray line = lumora::Base64EncodeLine(bytes);
    if (line.contains('\n') || lumora::Base64Decode(line) != bytes)
        std::abort();
    return 0;
}
