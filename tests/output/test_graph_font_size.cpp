#include <gtest/gtest.h>

#include <climits>

#include "output/font_size.h"

namespace {

struct FontCase {
    const char* name;
    int size_a, height_a, size_b, height_b, height, smallest, largest;
    int expected;
};

TEST(ScaleFontSize, FollowsTheScreenHeight) {
    const FontCase cases[] = {
        {"window at 600", 9, 600, 14, 1200, 600, 8, 18, 9},
        {"window at 1200", 9, 600, 14, 1200, 1200, 8, 18, 14},
        {"window at 768", 9, 600, 14, 1200, 768, 8, 18, 10},
        {"materials at 600", 8, 600, 12, 1200, 600, 8, 18, 8},
        {"materials at 768", 8, 600, 12, 1200, 768, 8, 18, 9},
        {"materials at 864", 8, 600, 12, 1200, 864, 8, 18, 10},
        {"materials at 1024", 8, 600, 12, 1200, 1024, 8, 18, 11},
        {"materials at 1200", 8, 600, 12, 1200, 1200, 8, 18, 12},
        {"materials at 1440", 8, 600, 12, 1200, 1440, 8, 18, 14},
        {"odd 15 above 12 lowered", 8, 600, 12, 1200, 1600, 8, 18, 14},
        {"graph clamped to 16", 8, 600, 12, 1200, 2400, 8, 16, 16},
        {"odd upper limit lowered", 8, 600, 12, 1200, 2400, 8, 13, 12},
        {"limits in the wrong order", 8, 600, 12, 1200, 100, 16, 8, 8},
        {"equal heights give size_a unclamped", 20, 700, 9, 700, 5000, 8, 18, 20},
        {"absurd height does not overflow", 8, 600, 12, 1200, INT_MAX, 8, 18, 18},
        {"negative height", 8, 600, 12, 1200, -5000, 8, 18, 8},
    };
    for (const FontCase& c : cases) {
        EXPECT_EQ(scale_font_size(c.size_a, c.height_a, c.size_b, c.height_b, c.height, c.smallest,
                                  c.largest),
                  c.expected)
            << c.name;
    }
}

}  // namespace
