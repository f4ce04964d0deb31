#pragma once

#include <cstdint>

// The pictures the window shows at 100 % on a light background, as pixels made at build time
// from the banner GIF and the icon PNGs (start_pictures.cpp, by embed_pixels).
namespace pictures {

struct Pixels {
    int width;
    int height;
    const std::uint32_t* argb;  // premultiplied, row by row
};

extern const Pixels kBanner;
extern const Pixels kIcon32;
extern const Pixels kIcon48;

}  // namespace pictures
