// The service's form-body decoder on any body.
#include "server/FormBody.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    auto form = lumora::service::FormBody::Parse(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!form)
        return 0;
    for (const auto &[name, value] : form->fields()) {
        if (form->value(name) != value)
            std::abort();
    }
    form->convertFromGbk();
    return 0;
}
