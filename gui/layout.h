// Geometry from the screen: a pixel count times a fraction, the product
// formed in extended precision (64-bit significand) and truncated toward
// zero, so that 800 * 0.21 gives 167 and 600 * 0.95 gives 569.
#pragma once

#include <algorithm>

inline int scaled(int pixels, double factor) {
    return int(static_cast<long double>(pixels) * static_cast<long double>(factor));
}

inline int scaled_half_up(int pixels, double factor) {
    return int(static_cast<long double>(pixels) * static_cast<long double>(factor) + 0.5L);
}

// How much larger than on a 1024x768 screen the toolbar is drawn: by the
// screen's tighter way, and never smaller.
inline double toolbar_scale(int screen_width, int screen_height) {
    return std::max(1.0, std::min(screen_width / 1024.0, screen_height / 768.0));
}
