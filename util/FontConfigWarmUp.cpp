#include "FontConfigWarmUp.h"

#ifdef LUMORA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace lumora
{

FontConfigWarmUp::FontConfigWarmUp()
{
#ifdef LUMORA_HAVE_FONTCONFIG
    // Qt's font database calls FcInit itself later; by then it finds the configuration loaded.
    thread_ = std::thread([] { FcInit(); });
#endif
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    wait();
}

void FontConfigWarmUp::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace lumora
