// ToHalfWidth of any text; its result is already half-width and trimmed.
#include "core/Conversions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString half = lumora::ToHalfWidth(text);
    if (lumora::ToHalfWidth(half) != half)
        std::abort();
    return 0;
}
