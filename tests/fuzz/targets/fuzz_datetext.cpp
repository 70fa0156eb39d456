// TextToDate and TextToDateTime of any text; a date that was read is written and read back unchanged.
#include "core/DateText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto date = lumora::TextToDate(text)) {
        if (!date->isValid() || lumora::TextToDate(lumora::DateToText(*date)) != date)
            std::abort();
    }
    if (const auto dateTime = lumora::TextToDateTime(text)) {
        if (!dateTime->isValid() || lumora::TextToDateTime(lumora::DateTimeToText(*dateTime)) != dateTime)
            std::abort();
    }
    return 0;
}
