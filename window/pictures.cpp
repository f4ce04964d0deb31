#include "window/pictures.h"

#include <cmath>

namespace window {

bool IsDarkBackground(int red, int green, int blue) {
    const auto linear = [](int channel) {
        const double value = channel / 255.0;
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue) < 0.179;
}

}  // namespace window
