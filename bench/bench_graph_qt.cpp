// draw_graph on a 1000 x 400 image: an eleven-layer curved partition in
// dampness mode, the heaviest picture the window paints.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "core/Quil_c.h"
#include "lang/catalogue.h"
#include "output/graph.h"
#include "qt/fonts.h"
#include "qt/painter_canvas.h"

namespace {

bool eleven_layers_curved(Partition& p) {
    p.wall_type = 1;
    p.calc_mode = 1;
    p.layer_count = 11;
    p.hum_int = 80;
    for (int i = 0; i < MAX_LAYERS; ++i) p.layers[i].thickness = 0.03 + 0.01 * i;
    p.layers[0].delta = 0.0001;  // condensation, so the hatching is drawn too
    return calculate_partition(p);
}

void BM_draw_graph_eleven_layers_curved(benchmark::State& state) {
    Partition p;
    if (!eleven_layers_curved(p)) {
        state.SkipWithError("the record was refused by the calculation");
        return;
    }
    QImage img(1000, 400, QImage::Format_RGB32);
    GraphTarget t;
    t.box_width = img.width();
    t.box_height = img.height();
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter painter(&img);
        paint_graph(painter, p, t);
        painter.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_draw_graph_eleven_layers_curved)->Unit(benchmark::kMillisecond);

}  // namespace
