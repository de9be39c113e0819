// Geometry from the screen: a pixel count times a fraction, the product
// formed in extended precision (64-bit significand) and truncated toward
// zero, so that 800 * 0.21 gives 167 and 600 * 0.95 gives 569.
#pragma once

inline int scaled(int pixels, double factor) {
    return int(static_cast<long double>(pixels) * static_cast<long double>(factor));
}

inline int scaled_half_up(int pixels, double factor) {
    return int(static_cast<long double>(pixels) * static_cast<long double>(factor) + 0.5L);
}
