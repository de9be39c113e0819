// Font sizes that follow the screen height.
#pragma once

// The point size on the straight line through (height_a, size_a) and
// (height_b, size_b) at `height`, rounded half up, clamped to
// [smallest, largest] (given in either order); an odd size above 12 is
// lowered by one.
int scale_font_size(int size_a, int height_a, int size_b, int height_b, int height, int smallest,
                    int largest);
