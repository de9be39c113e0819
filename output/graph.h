// The distribution graph of one calculated partition.
#pragma once

#include "core/Quil_c.h"
#include "output/canvas.h"

// The window state and sizes the graph reads.
struct GraphTarget {
    bool results_valid = true;
    bool graph_on_screen = true;
    int box_width = 0;  // paint box, screen target
    int box_height = 0;
    int page_width = 0;  // printable area, paper target
    int page_height = 0;
    int screen_height = 768;  // for the screen font size
    char decimal_sep = '.';
};

void draw_graph(const Partition& p, Canvas& canvas, const GraphTarget& target);
