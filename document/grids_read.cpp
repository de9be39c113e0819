// The grids' and edits' texts into the record, checked, then the calculation.
#include <string>
#include <vector>

#include "core/messages.h"
#include "document/document.h"
#include "document/grid_columns.h"

namespace {

// Reading order of the condition cells: the field, its name in messages.
struct ConditionField {
    int col, row;
    FieldId id;
    TextA name;
};
const ConditionField ALWAYS_READ[] = {
    {COND_EXTERNAL, 1, FLD_TEMP_EXT, TextA::TempExtName},
    {COND_INTERNAL, 1, FLD_TEMP_INT, TextA::TempIntName},
    {COND_EXTERNAL, 2, FLD_RES_EXT, TextA::ResExtName},
    {COND_INTERNAL, 2, FLD_RES_INT, TextA::ResIntName},
};
const ConditionField DAMPNESS_READ[] = {
    {COND_EXTERNAL, 3, FLD_HUM_EXT, TextA::HumExtName},
    {COND_INTERNAL, 3, FLD_HUM_INT, TextA::HumIntName},
    {COND_EXTERNAL, 4, FLD_DIFF_EXT, TextA::DiffExtName},
    {COND_INTERNAL, 4, FLD_DIFF_INT, TextA::DiffIntName},
};

}  // namespace

bool Document::read_grids(ReadFlags flags) {
    const bool numbers_only = flags.testFlag(ReadFlag::numbers_only);
    // A pass that starts while a check message is up (an exit or selection
    // event delivered by the box's own loop) shows nothing and leaves the
    // check memory alone, so the box is never doubled.
    const bool show = flags.testFlag(ReadFlag::with_messages) && !message_open();
    const EditScope edit(*this);

    if (!numbers_only) set_title(record_, title_text_.c_str());

    const char sep = decimal_separator();
    CheckPass pass{record_, show ? &ui_ : nullptr, sep};
    // Every refused field is marked, whatever the pass tells; the first one
    // says, where the graph would be, why there are no results.
    GridCells::Problems condition_problems, layer_problems;
    std::vector<std::string> problems;  // in reading order
    std::string radius_problem;
    auto check = [&](FieldId id, TextA name, const std::string& text, std::uint8_t& memory,
                     int layer_number) {
        const FieldCheck result =
            check_field_with_message(pass, id, name, text.c_str(), show, memory, layer_number);
        std::string problem = field_problem_text(record_, id, name, result, layer_number, sep);
        if (!problem.empty()) problems.push_back(problem);
        return problem;
    };
    auto check_cell = [&](GridCells::Problems& marks, int col, int row, FieldId id, TextA name,
                          const GridCells& grid, std::uint8_t& memory, int layer_number) {
        std::string problem = check(id, name, grid.text(col, row), memory, layer_number);
        if (!problem.empty()) marks[{col, row}] = std::move(problem);
    };

    for (const ConditionField& f : ALWAYS_READ)
        check_cell(condition_problems, f.col, f.row, f.id, f.name, conditions_,
                   state_.field_status[f.id], 0);
    const bool dampness = record_.calc_mode == 1;
    for (const ConditionField& f : DAMPNESS_READ) {
        if (dampness)
            check_cell(condition_problems, f.col, f.row, f.id, f.name, conditions_,
                       state_.field_status[f.id], 0);
        else if (show)
            state_.field_status[f.id] = CHECK_OK;
    }
    const bool curved = record_.wall_type == 1;
    const std::size_t radius_at = problems.size();
    if (curved)
        radius_problem =
            check(FLD_RADIUS, TextA::RadiusName, radius_text_, state_.field_status[FLD_RADIUS], 0);
    else if (show)
        state_.field_status[FLD_RADIUS] = CHECK_OK;

    const double thickness_before = total_thickness(record_);
    const int n = used_layers(record_);
    for (int r = 1; r <= n; ++r) {
        if (!numbers_only)
            set_layer_description(record_, layers_.text(LAYER_DESCRIPTION, r).c_str(), r - 1);
        check_cell(layer_problems, LAYER_THICKNESS, r, FLD_THICKNESS, TextA::ThicknessName, layers_,
                   state_.thickness_status[r - 1], r);
        check_cell(layer_problems, LAYER_LAMBDA, r, FLD_LAMBDA, TextA::LambdaName, layers_,
                   state_.lambda_status[r - 1], r);
        if (dampness)
            check_cell(layer_problems, LAYER_DELTA, r, FLD_DELTA, TextA::DeltaName, layers_,
                       state_.delta_status[r - 1], r);
        else if (show)
            state_.delta_status[r - 1] = CHECK_OK;
    }
    // The layers just read move the radius's lower limit (1.05 times the
    // thickness): the radius is told at this change, not at the next pass.
    // When the pass has told something else already, the memory is left so
    // that the next pass tells it.
    if (curved && total_thickness(record_) != thickness_before) {
        // The radius's first check is superseded.
        if (!radius_problem.empty()) problems.erase(problems.begin() + radius_at);
        std::uint8_t memory = state_.field_status[FLD_RADIUS];
        const bool can_tell = !pass.message_shown;
        radius_problem = check(FLD_RADIUS, TextA::RadiusName, radius_text_, memory, 0);
        if (can_tell) state_.field_status[FLD_RADIUS] = memory;
        pass.any_error = !problems.empty();
    }

    if (show && !pass.any_error) check_total_thickness(pass, state_.thickness_check_armed);
    if (pass.any_change) state_.graph_dirty = true;

    state_.results_valid = !pass.any_error;
    if (!calculate_partition(record_)) state_.results_valid = false;
    std::string first_problem;
    if (!state_.results_valid && !problems.empty())
        first_problem = problems.front();
    else if (!state_.results_valid)
        first_failing_message(record_, sep, first_problem);  // may stay empty
    state_.problem_text = std::move(first_problem);
    state_.radius_problem = std::move(radius_problem);
    conditions_.set_problems(std::move(condition_problems));
    layers_.set_problems(std::move(layer_problems));
    emit results_changed();
    return state_.results_valid;
}

void Document::refresh_results(ReadFlags flags) {
    read_grids(flags);
    if (state_.graph_dirty) {
        state_.graph_dirty = false;
        emit graph_changed();
    }
}

char16_t Document::filter_number_key(char16_t key) const {
    if (key == 8 || key == u'E' || key == u'e' || key == u'-') return key;
    if (key >= u'0' && key <= u'9') return key;
    // Either mark types the separator in force: the keypad sends "." under
    // every locale, and a dropped mark would turn 0.1 into 01.
    if (key == u'.' || key == u',')
        return char16_t(static_cast<unsigned char>(decimal_separator()));
    return 0;
}
