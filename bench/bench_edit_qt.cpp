// One committed edit in the real window: Enter in a layer cell of an
// eleven-layer curved partition in dampness mode, up to read_grids having
// recalculated (and, in the second case, the graph repainted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/Quil_c.h"
#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/string_grid.h"
#include "bench/bench_ui.h"
#include "lang/catalogue.h"

namespace {

struct Scene {
    Partition doc;
    BenchUi ui;
    TForm_quil* form = nullptr;
    QLineEdit* editor = nullptr;
    QWidget* graph = nullptr;

    Scene() {
        doc.calc_mode = 1;
        doc.wall_type = 1;
        doc.radius = 4.0;
        while (doc.layer_count < MAX_LAYERS) insert_layer(doc, doc.layer_count);
        form = new TForm_quil(doc, ui);
        form->show();
        QApplication::processEvents();
        StringGrid* grid = form->findChild<StringGrid*>("mnu_table2");
        grid->setFocus();
        grid->select_cell(4, 6);  // thickness of layer 6
        QApplication::processEvents();
        editor = grid->editor();
        graph = form->findChild<QWidget*>("graph");
    }
    ~Scene() { delete form; }

    // Types the value (outside the timing) and presses Enter (inside it).
    bool commit(benchmark::State& state, const QString& value, bool paint) {
        state.PauseTiming();
        editor->setText(value);
        state.ResumeTiming();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(editor, &enter);
        if (paint) graph->repaint();
        return form->document().state().results_valid;
    }
};

void run(benchmark::State& state, bool paint) {
    Scene scene;
    if (!scene.editor) {
        state.SkipWithError("no cell editor");
        return;
    }
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        if (!scene.commit(state, flip ? "0.16" : "0.15", paint)) {
            state.SkipWithError("the edit did not calculate");
            break;
        }
        benchmark::DoNotOptimize(scene.doc.k);
    }
    if (scene.doc.layers[5].thickness != 0.15 && scene.doc.layers[5].thickness != 0.16)
        state.SkipWithError("the edit did not reach the record");
    if (scene.ui.boxes) state.SkipWithError("a message box was shown");
}

void BM_edit_commit(benchmark::State& state) { run(state, false); }
void BM_edit_commit_and_paint(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_edit_commit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_edit_commit_and_paint)->Unit(benchmark::kMicrosecond);

}  // namespace
