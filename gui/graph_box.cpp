#include "gui/graph_box.h"

#include <QPainter>

#include "document/document.h"
#include "output/graph.h"
#include "qt/painter_canvas.h"

GraphBox::GraphBox(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {}

GraphTarget GraphBox::screen_target(QSize box) const {
    GraphTarget target;
    target.results_valid = doc_.state().results_valid;
    target.graph_on_screen = true;
    target.box_width = box.width();
    target.box_height = box.height();
    target.screen_height = doc_.ui().screen_size().height();
    target.decimal_sep = doc_.decimal_separator();
    return target;
}

void GraphBox::paintEvent(QPaintEvent*) {
    // While a printout draws the graph on paper the paint box stays empty.
    if (!doc_.state().graph_on_screen) return;
    QPainter painter(this);
    paint_graph(painter, doc_.record(), screen_target(size()));
}
