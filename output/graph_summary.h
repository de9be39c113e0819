// What the distribution graph says, in one or two sentences of the current
// language: the text a screen reader gives for the graph.
#pragma once

#include <string>

#include "core/Quil_c.h"

// Windows-1250. k as the graph prints it, then in dampness mode the planes
// where the real vapour pressure exceeds the saturated one.
std::string graph_summary(const Partition& p, bool results_valid, char decimal_sep);
