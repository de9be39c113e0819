#include <QPainter>

#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "output/graph.h"
#include "qt/painter_canvas.h"

GraphTarget TForm_quil::screen_graph_target(QSize box) {
    GraphTarget target;
    target.results_valid = document_.state().results_valid;
    target.graph_on_screen = true;
    target.box_width = box.width();
    target.box_height = box.height();
    target.screen_height = document_.ui().screen_size().height();
    target.decimal_sep = document_.decimal_separator();
    return target;
}

void TForm_quil::eh_graph_on_paint() {
    // While a printout draws the graph on paper the paint box stays empty.
    if (!document_.state().graph_on_screen) return;
    QPainter painter(w_.graph);
    paint_graph(painter, document_.record(), screen_graph_target(w_.graph->size()));
}
