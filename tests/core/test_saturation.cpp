#include <gtest/gtest.h>

#include <cmath>

#include "core/Quil_c.h"

TEST(Saturation, TableRunsFromMinus40To100Ascending) {
    EXPECT_EQ(SATURATION_TABLE[0].t, -40.0);
    EXPECT_EQ(SATURATION_TABLE[4].t, -22.0);
    EXPECT_EQ(SATURATION_TABLE[5].t, -20.0);
    EXPECT_EQ(SATURATION_TABLE[85].t, 20.0);
    EXPECT_EQ(SATURATION_TABLE[100].t, 100.0);
    for (int i = 1; i <= 100; ++i) {
        EXPECT_GT(SATURATION_TABLE[i].t, SATURATION_TABLE[i - 1].t) << i;
        EXPECT_GT(SATURATION_TABLE[i].p, SATURATION_TABLE[i - 1].p) << i;
    }
    // Every tabulated temperature gives back its own pressure.
    for (const SaturationPoint& row : SATURATION_TABLE) {
        EXPECT_DOUBLE_EQ(saturation_pressure(row.t), row.p) << row.t;
    }
}

TEST(Saturation, Interpolates) {
    struct Case {
        double t, p;
    };
    for (const Case& c : {Case{0, 6.11}, Case{20, 23.4}, Case{-40, 0.12}, Case{100, 1013.33},
                          Case{0.25, 6.23}, Case{19.75, 23.04}, Case{22.5, 27.3216667},
                          Case{-45, 0.02}, Case{105, 1181.73}, Case{-21, 0.94}}) {
        EXPECT_NEAR(saturation_pressure(c.t), c.p, 5e-8) << c.t;
    }
    EXPECT_TRUE(std::isnan(saturation_pressure(NAN)));
}
