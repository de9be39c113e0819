#include "output/font_size.h"

#include <cmath>
#include <utility>

int scale_font_size(int size_a, int height_a, int size_b, int height_b, int height, int smallest,
                    int largest) {
    if (height_a == height_b) return size_a;
    const double slope = double(size_b - size_a) / (height_b - height_a);
    const double offset = ((size_b + size_a) - slope * (double(height_b) + height_a)) * 0.5;
    // Clamp before converting, so an absurd height cannot overflow the int.
    double size = std::trunc(height * slope + offset + 0.5);
    if (smallest > largest) std::swap(smallest, largest);
    if (size < smallest) size = smallest;
    if (size > largest) size = largest;
    int result = int(size);
    if (result > 12 && result % 2 != 0) --result;
    return result;
}
