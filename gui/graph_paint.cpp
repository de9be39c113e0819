#include <QPainter>

#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "output/graph.h"
#include "qt/painter_canvas.h"

void TForm_quil::eh_graph_on_paint() {
    const WindowState& state = document_.state();
    // While a printout draws the graph on paper the paint box stays empty.
    if (!state.graph_on_screen) return;
    GraphTarget target;
    target.results_valid = state.results_valid;
    target.graph_on_screen = true;
    target.box_width = w_.graph->width();
    target.box_height = w_.graph->height();
    target.screen_height = document_.ui().screen_size().height();
    target.decimal_sep = document_.decimal_separator();
    QPainter painter(w_.graph);
    paint_graph(painter, document_.record(), target);
}
