#pragma once

#include <thread>

namespace lumora
{

// Fontconfig reads its configuration and font cache the first time any text is measured, which is about a quarter
// of the time to the first window. Made first thing in main, it does that on another thread while the application
// object sets itself up. wait() before anything measures text: two threads that both start it do the work twice.
class FontConfigWarmUp
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    void wait();

private:
    std::thread thread_;
};

} // namespace lumora
