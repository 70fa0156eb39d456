#pragma once

namespace lumora
{

// One of the skin's pictures as the pixels QImage holds, compiled in (made at build time from resources/skin).
struct SkinPixels {
    const char *name; // file name without ".png"
    int width;
    int height;
    int bytesPerLine;
    int format; // QImage::Format
    const unsigned char *data;
};

extern const SkinPixels kSkinPixels[];
extern const int kSkinPixelCount;

} // namespace lumora
