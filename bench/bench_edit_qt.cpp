// One committed edit in the real window: Enter in a layer cell of an
// eleven-layer curved partition in dampness mode, up to read_grids having
// recalculated (and, in the second case, the graph repainted). Then the undo
// history of such edits: one undo and one redo through the recalculation and
// the window's refill, and the heap that 1000 steps hold.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <malloc.h>

#include "core/Quil_c.h"
#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/string_grid.h"
#include "lang/catalogue.h"

namespace {

class BenchUi : public Ui {
public:
    MsgAnswer message_box(const char*, const char*, MsgIcon, MsgButtons) override {
        ++boxes;
        return MsgAnswer::ok;
    }
    MsgAnswer message_box(const char*, const QString&, const char*, const char*, MsgIcon,
                          MsgButtons) override {
        ++boxes;
        return MsgAnswer::ok;
    }
    std::optional<QString> run_open_dialog(FileDialog&) override { return std::nullopt; }
    std::optional<QString> run_save_dialog(FileDialog&) override { return std::nullopt; }
    std::unique_ptr<PrintJob> run_print_dialog() override { return nullptr; }
    const Clock& clock() const override { return clock_; }
    QSize screen_size() const override { return {1024, 768}; }
    int scroll_bar_width() const override { return 17; }
    char decimal_separator() const override { return '.'; }
    int boxes = 0;

private:
    SystemClock clock_;
};

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
    bool commit(benchmark::State* state, const QString& value, bool paint) {
        if (state) state->PauseTiming();
        editor->setText(value);
        if (state) state->ResumeTiming();
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
        if (!scene.commit(&state, flip ? "0.16" : "0.15", paint)) {
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

void BM_undo_and_redo(benchmark::State& state) {
    Scene scene;
    if (!scene.editor) {
        state.SkipWithError("no cell editor");
        return;
    }
    scene.commit(nullptr, "0.16", false);
    Document& d = scene.form->document();
    for (auto _ : state) {
        d.undo();
        d.redo();
        benchmark::DoNotOptimize(scene.doc.k);
    }
    if (scene.doc.layers[5].thickness != 0.16 || !d.state().results_valid || !d.can_undo())
        state.SkipWithError("undo and redo did not come back to the edit");
}
BENCHMARK(BM_undo_and_redo)->Unit(benchmark::kMicrosecond);

// The heap the history gives back when it starts again after 1000 steps.
void history_memory(benchmark::State& state, bool layers) {
    for (auto _ : state) {
        Scene scene;
        Document& d = scene.form->document();
        for (int i = 0; i < 1000; ++i) {
            if (!layers)
                scene.commit(nullptr, i % 2 ? "0.15" : "0.16", false);
            else if (i % 2)
                d.insert_layer_at(6);
            else
                d.delete_layer_at(6);
        }
        if (d.history().count() != 1000) state.SkipWithError("not 1000 steps");
        const std::size_t held = mallinfo2().uordblks;
        d.fill_grids(true);  // outside an edit: the history starts again
        const std::size_t freed = held - mallinfo2().uordblks;
        state.counters["bytes_per_1000_steps"] = double(freed);
        state.counters["bytes_per_step"] = double(freed) / 1000.0;
    }
}
void BM_history_memory_1000_value_steps(benchmark::State& s) { history_memory(s, false); }
void BM_history_memory_1000_layer_steps(benchmark::State& s) { history_memory(s, true); }
BENCHMARK(BM_history_memory_1000_value_steps)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_history_memory_1000_layer_steps)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
