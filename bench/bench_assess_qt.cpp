// One edited climate cell in the assessment window, as the grid's editor
// commits it: through the check, the undo step and the recalculation to the
// results, verdicts and charts, then (second case) one paint of the window
// as the event loop would do it, for a wall that condenses.
#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>

#include "bench/bench_ui.h"
#include "core/Quil_c.h"
#include "document/assessment_document.h"
#include "gui/Quil_gui.h"
#include "gui/assess_window.h"

namespace {

void run(benchmark::State& state, bool paint) {
    Partition doc;
    doc.calc_mode = 1;
    doc.layers[0].delta = 0.005;  // the inner joint condenses in winter
    BenchUi ui;
    TForm_quil form(doc, ui);
    form.show();
    form.open_assessment();
    TForm_Assess* w = form.assessment_window();
    Climate climate;
    const double theta_e[MONTHS] = {-8, -6, -1, 6, 12, 16, 18, 17, 13, 7, 2, -4};
    for (int m = 0; m < MONTHS; ++m) climate.months[m] = {theta_e[m], 85.0, 20.0, 55.0};
    w->assessment().set_climate(climate);
    QApplication::processEvents();
    auto* grid = w->findChild<QTableView*>("climate");
    QAbstractItemModel* model = grid->model();
    const QModelIndex cell = model->index(1, CLIMATE_THETA_E);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        model->setData(cell, flip ? QStringLiteral("-7.5") : QStringLiteral("-6"));
        // What the event loop does next: the pending layout, then one paint of
        // everything the change marked dirty.
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (paint) w->repaint();
    }
    if (!w->assessment().valid() || w->assessment().assessment().m_a_max <= 0.0)
        state.SkipWithError("no condensation to draw");
    if (ui.boxes) state.SkipWithError("a message box was shown");
}

void BM_climate_cell_recalculated(benchmark::State& state) { run(state, false); }
void BM_climate_cell_to_repaint(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_climate_cell_recalculated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_climate_cell_to_repaint)->Unit(benchmark::kMicrosecond);

}  // namespace
