// The columns of the two grids, by what they hold.
#pragma once

// mnu_table1: the conditions, one row per quantity.
enum ConditionColumn : int {
    COND_NAME = 0,  // fixed: the quantity
    COND_EXTERNAL = 1,
    COND_INTERNAL = 2,
};

// mnu_table2: the layers, one row per layer and an "Add" row below them.
enum LayerColumn : int {
    LAYER_PLANES = 0,  // fixed: "    1-2", the layer's planes
    LAYER_ADD = 1,     // fixed: a click adds a layer before the row
    LAYER_DELETE = 2,  // fixed: a click deletes the row's layer
    LAYER_DESCRIPTION = 3,
    LAYER_THICKNESS = 4,
    LAYER_LAMBDA = 5,
    LAYER_DELTA = 6,  // dampness mode only
};
