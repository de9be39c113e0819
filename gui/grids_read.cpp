#include <string>

#include "core/messages.h"
#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/string_grid.h"
#include "qt/text_1250.h"

namespace {

// Reading order of the condition cells: the field, its name in messages.
struct ConditionField {
    int col, row;
    FieldId id;
    TextA name;
};
const ConditionField ALWAYS_READ[] = {
    {1, 1, FLD_TEMP_EXT, TextA::TempExtName},
    {2, 1, FLD_TEMP_INT, TextA::TempIntName},
    {1, 2, FLD_RES_EXT, TextA::ResExtName},
    {2, 2, FLD_RES_INT, TextA::ResIntName},
};
const ConditionField DAMPNESS_READ[] = {
    {1, 3, FLD_HUM_EXT, TextA::HumExtName},
    {2, 3, FLD_HUM_INT, TextA::HumIntName},
    {1, 4, FLD_DIFF_EXT, TextA::DiffExtName},
    {2, 4, FLD_DIFF_INT, TextA::DiffIntName},
};

}  // namespace

bool TForm_quil::read_grids(bool numbers_only, bool with_messages) {
    // A pass that starts while a check message is up (an exit or selection
    // event delivered by the box's own loop) shows nothing and leaves the
    // check memory alone, so the box is never doubled.
    const bool show = with_messages && !message_open();

    if (!numbers_only) set_title(document, to_1250(edit_title->text()).c_str());

    CheckPass pass{document, show ? &messages() : nullptr, decimal_separator()};
    auto check = [&](FieldId id, TextA name, const QString& text, std::uint8_t& memory,
                     int layer_number) {
        const std::string bytes = to_1250(text);
        check_field_with_message(pass, id, name, bytes.c_str(), show, memory, layer_number);
    };

    for (const ConditionField& f : ALWAYS_READ)
        check(f.id, f.name, mnu_table1->cell(f.col, f.row), field_status[f.id], 0);
    const bool dampness = document.calc_mode == 1;
    for (const ConditionField& f : DAMPNESS_READ) {
        if (dampness)
            check(f.id, f.name, mnu_table1->cell(f.col, f.row), field_status[f.id], 0);
        else if (show)
            field_status[f.id] = CHECK_OK;
    }
    if (document.wall_type == 1)
        check(FLD_RADIUS, TextA::RadiusName, edit_RadiusC->text(), field_status[FLD_RADIUS], 0);
    else if (show)
        field_status[FLD_RADIUS] = CHECK_OK;

    const int n = used_layers(document);
    for (int r = 1; r <= n; ++r) {
        if (!numbers_only)
            set_layer_description(document, to_1250(mnu_table2->cell(3, r)).c_str(), r - 1);
        check(FLD_THICKNESS, TextA::ThicknessName, mnu_table2->cell(4, r), thickness_status[r - 1], r);
        check(FLD_LAMBDA, TextA::LambdaName, mnu_table2->cell(5, r), lambda_status[r - 1], r);
        if (dampness)
            check(FLD_DELTA, TextA::DeltaName, mnu_table2->cell(6, r), delta_status[r - 1], r);
        else if (show)
            delta_status[r - 1] = CHECK_OK;
    }

    if (show && !pass.any_error) check_total_thickness(pass, thickness_check_armed);
    if (pass.any_change) graph_dirty = true;

    results_valid = !pass.any_error;
    if (!calculate_partition(document)) results_valid = false;
    graph->setVisible(results_valid);
    return results_valid;
}

void TForm_quil::refresh_results(bool numbers_only, bool with_messages) {
    read_grids(numbers_only, with_messages);
    if (graph_dirty) {
        graph_dirty = false;
        graph->update();
    }
}

char16_t TForm_quil::filter_number_key(char16_t key) const {
    if (key == 8 || key == u'E' || key == u'e' || key == u'-') return key;
    if (key >= u'0' && key <= u'9') return key;
    if (key == char16_t(static_cast<unsigned char>(decimal_separator()))) return key;
    return 0;
}
