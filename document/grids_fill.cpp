// The record into the grids' cell texts and the edits' texts.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "core/numfmt.h"
#include "document/document.h"
#include "document/grid_columns.h"
#include "lang/catalogue.h"

namespace {

// A condition cell: column, row, the record's field and its mask.
struct ConditionCell {
    int col, row;
    double PartitionInput::*field;
    const char* mask;
};
const ConditionCell CONDITION_CELLS[] = {
    {COND_EXTERNAL, 1, &PartitionInput::temp_ext, "0.##"},
    {COND_INTERNAL, 1, &PartitionInput::temp_int, "0.##"},
    {COND_EXTERNAL, 2, &PartitionInput::res_ext, "0.###"},
    {COND_INTERNAL, 2, &PartitionInput::res_int, "0.###"},
    {COND_EXTERNAL, 3, &PartitionInput::hum_ext, "0.#"},
    {COND_INTERNAL, 3, &PartitionInput::hum_int, "0.#"},
    {COND_EXTERNAL, 4, &PartitionInput::diff_ext, "0.###"},
    {COND_INTERNAL, 4, &PartitionInput::diff_int, "0.###"},
};

// The headings of the condition grid's fixed cells.
struct Heading {
    int col, row;
    TextA text;
};
const Heading CONDITION_HEADINGS[] = {
    {COND_EXTERNAL, 0, TextA::ExternalSideHeading},
    {COND_INTERNAL, 0, TextA::InternalSideHeading},
    {COND_NAME, 1, TextA::TemperatureRow},
    {COND_NAME, 2, TextA::ResistanceRow},
    {COND_NAME, 3, TextA::HumidityRow},
    {COND_NAME, 4, TextA::DiffusiveResistanceRow},
};

// The layer grid's columns: the layer's planes, Add and Delete (no heading),
// description, thickness, Lambda, Delta.
constexpr int LAYER_COLUMNS = LAYER_DELTA + 1;
constexpr std::optional<TextA> LAYER_HEADINGS[LAYER_COLUMNS] = {
    TextA::LayerHeading,     std::nullopt,         std::nullopt,        TextA::DescriptionHeading,
    TextA::ThicknessHeading, TextA::LambdaHeading, TextA::DeltaHeading,
};

// A title or description as the screen shows it: control and undefined
// bytes as "?" (the record keeps them). The field need not end in a NUL.
std::string shown(const char* text, std::size_t size) {
    std::string out(size, '\0');
    copy_shown(out.data(), text, size);
    out.resize(std::strlen(out.c_str()));
    return out;
}

}  // namespace

void Document::fill_grids(bool values) {
    state_.grids_ready = false;
    fill_conditions(values);
    fill_layers(values);
    set_status(false, state_.status_text);
    emit grids_filled(values);
    state_.grids_ready = true;
    if (values && edit_depth_ == 0) restart_history();
}

void Document::fill_conditions(bool values) {
    const char sep = decimal_separator();
    const bool dampness = record_.calc_mode == 1;
    GridCells& t1 = conditions_;
    const int rows = dampness ? 5 : 3;
    t1.set_col_count(3);
    t1.set_row_count(rows);
    t1.clamp_current(COND_EXTERNAL, rows - 1);
    t1.set_text(COND_NAME, 0, "");
    for (const Heading& h : CONDITION_HEADINGS) t1.set_text(h.col, h.row, catalogue_a_text(h.text));

    if (values) {
        // Hidden rows are written too, so that a mode switch after opening a
        // file shows the file's values rather than an earlier document's.
        for (const ConditionCell& c : CONDITION_CELLS)
            t1.set_text(c.col, c.row, format_number(c.mask, record_.*c.field, sep));
        title_text_ = shown(record_.title, TITLE_SIZE);
        radius_text_ = format_number("0.##", record_.radius, sep);
    }
}

void Document::fill_layers(bool values) {
    const char sep = decimal_separator();
    const bool dampness = record_.calc_mode == 1;
    GridCells& t2 = layers_;
    const int n = used_layers(record_);
    const bool add_row = n < MAX_LAYERS;
    const int rows = add_row ? n + 2 : n + 1;
    t2.set_col_count(dampness ? LAYER_COLUMNS : LAYER_COLUMNS - 1);
    t2.set_row_count(rows);
    t2.clamp_current(LAYER_DESCRIPTION, add_row ? std::max(n, 1) : rows - 1);

    for (int c = 0; c < LAYER_COLUMNS; ++c)
        t2.set_text(c, 0, LAYER_HEADINGS[c] ? catalogue_a_text(*LAYER_HEADINGS[c]) : "");
    for (int r = 1; r <= n; ++r) {
        t2.set_text(LAYER_PLANES, r, "    " + std::to_string(r) + "-" + std::to_string(r + 1));
        t2.set_text(LAYER_ADD, r, add_row ? catalogue_a_text(TextA::AddCell) : "");
        t2.set_text(LAYER_DELETE, r, n > 1 ? catalogue_a_text(TextA::DeleteCell) : "");
        if (values) {
            const Layer* layer = layer_at(record_, r - 1);
            if (!layer) continue;
            t2.set_text(LAYER_DESCRIPTION, r, shown(layer->description, DESCRIPTION_SIZE));
            t2.set_text(LAYER_THICKNESS, r, format_number("0.####", layer->thickness, sep));
            t2.set_text(LAYER_LAMBDA, r, format_number("0.####", layer->lambda, sep));
            t2.set_text(LAYER_DELTA, r, format_number("0.###########", layer->delta, sep));
        }
    }
    if (add_row) {
        t2.set_text(LAYER_PLANES, n + 1, "");
        t2.set_text(LAYER_ADD, n + 1, catalogue_a_text(TextA::AddCell));
        for (int c = LAYER_DELETE; c < LAYER_COLUMNS; ++c) t2.set_text(c, n + 1, "");
    }
}
