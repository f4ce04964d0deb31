#pragma once

#include <array>

namespace window {

// The scales, in percent, that the banner is drawn for, for light and for dark backgrounds, in
// increasing order: those of the drawings in resources/banner, which the build passes in.
inline constexpr std::array kPictureScales{FEUCHTE_PICTURE_SCALES};

// The drawing for a screen at this scale: the smallest at least as large, so that it is shown at
// its own size or shrunk a little, never enlarged unless the screen is beyond the largest.
constexpr int PictureScaleFor(int percent) {
    for (const int scale : kPictureScales) {
        if (scale >= percent) return scale;
    }
    return kPictureScales.back();
}

// Whether a background, as 8-bit sRGB, is nearer black than white by contrast (relative
// luminance below 0.179), so that the banner drawn for dark backgrounds stands out on it.
bool IsDarkBackground(int red, int green, int blue);

}  // namespace window
