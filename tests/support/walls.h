// Three walls and one year of climate (made up for the tests) for the
// assessment's views: one whose condensate dries out within the year, one
// where it accumulates, and a curved one.
#pragma once

#include "core/Quil_c.h"
#include "core/climate.h"

inline Climate test_climate() {
    Climate c;
    const double theta_e[MONTHS] = {-8, -6, -1, 6, 12, 16, 18, 17, 13, 7, 2, -4};
    for (int m = 0; m < MONTHS; ++m) {
        c.months[m] = {theta_e[m], 85.0, 20.0, 55.0};
    }
    return c;
}

enum class TestWall { dries, accumulates, curved };

// The default record with a tight external layer: the inner joint condenses in winter.
inline Partition test_wall(TestWall wall) {
    Partition p;
    p.calc_mode = 1;
    switch (wall) {
        case TestWall::dries:
            p.layers[0].delta = 0.005;
            break;
        case TestWall::accumulates:
            p.layers[0].delta = 0.0005;
            break;
        case TestWall::curved:
            p.wall_type = 1;
            p.radius = 1.0;
            p.layers[0].delta = 0.005;
            break;
    }
    return p;
}
