#include <QPainter>

#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "qt/painter_canvas.h"
#include "output/graph.h"

void TForm_quil::eh_graph_on_paint() {
    // While a printout draws the graph on paper the paint box stays empty.
    if (!graph_on_screen) return;
    GraphTarget target;
    target.results_valid = results_valid;
    target.graph_on_screen = true;
    target.box_width = graph->width();
    target.box_height = graph->height();
    target.screen_height = ui.screen_size().height();
    target.decimal_sep = decimal_separator();
    QPainter painter(graph);
    paint_graph(painter, document, target);
}
