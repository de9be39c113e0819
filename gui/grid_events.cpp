#include <QLabel>

#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/string_grid.h"
#include "qt/text_1250.h"

namespace {
bool differs(const StringGrid* g, int col, int row) { return col != g->col() || row != g->row(); }
}  // namespace

void TForm_quil::eh_table1_OnKeyDown(StringGrid*, int& key) {
    if (key == KEY_ENTER)
        refresh_results(false, true);
    else if (key == KEY_F1)
        field_help(mnu_table1);
}

void TForm_quil::eh_table1_OnKeyPress(StringGrid*, char16_t& key) { key = filter_number_key(key); }

void TForm_quil::eh_table1_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select) {
    if (!grids_ready) return;
    if (differs(sender, col, row)) refresh_results(false, true);
    can_select = true;
}

void TForm_quil::eh_table2_OnKeyDown(StringGrid* sender, int& key) {
    if (!grids_ready || sender != mnu_table2) return;
    if (key == KEY_ENTER)
        refresh_results(false, true);
    else if (key == KEY_F1)
        field_help(mnu_table2);
}

void TForm_quil::eh_table2_OnKeyPress(StringGrid* sender, char16_t& key) {
    if (!grids_ready || sender != mnu_table2) return;
    const int col = sender->col();
    if (col < 4 || col > 6) return;  // the description takes any text
    key = filter_number_key(key);
    if (sender->row() == used_layers(document) + 1) key = 0;
}

void TForm_quil::eh_table2_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select) {
    if (!grids_ready || sender != mnu_table2) return;
    const int n = used_layers(document);
    const bool add_row = n < MAX_LAYERS && row == sender->row_count() - 1;
    can_select = !add_row;
    sender->set_editing(!add_row);
    sender->set_always_show_editor(!add_row);
    if (differs(sender, col, row)) refresh_results(false, true);
}

void TForm_quil::eh_table2_OnMouseDown(StringGrid* sender, Qt::MouseButton, QPoint pos) {
    if (!grids_ready || sender != mnu_table2) return;
    int col = 0, row = 0;
    if (!sender->mouse_to_cell(pos, col, row)) return;
    const int n = used_layers(document);
    bool changed = false;
    if (col == 2 && row >= 1 && row <= n && n > 1) {
        read_grids(false, false);
        changed = delete_layer(document, row - 1);
    } else if (col == 1 && row >= 1 && row <= n + 1 && n < MAX_LAYERS) {
        read_grids(false, false);
        changed = insert_layer(document, row - 1);
    }
    if (!changed) return;
    graph_dirty = true;
    fill_grids(true);
    refresh_results(true, true);
}

void TForm_quil::eh_EditingOnExit(QObject*) {
    if (!grids_ready) return;
    refresh_results(false, true);
}

void TForm_quil::eh_edit_RadiusC_OnKeyDown(int& key) {
    if (key == KEY_F1)
        field_help(edit_RadiusC);
    else if (key == KEY_ENTER)
        refresh_results(false, true);
}

void TForm_quil::eh_edit_RadiusC_OnKeyPress(char16_t& key) { key = filter_number_key(key); }

void TForm_quil::eh_edit_title_OnKeyDown(int& key) {
    if (key == KEY_ENTER)
        set_title(document, to_1250(edit_title->text()).c_str());
    else if (key == KEY_F1)
        field_help(edit_title);
}

void TForm_quil::eh_edit_title_OnExit() {
    set_title(document, to_1250(edit_title->text()).c_str());
}

void TForm_quil::eh_mnu_radio_group_wall_OnClick() {
    if (!grids_ready) return;
    const int type = mnu_radio_group_wall->item_index() == 1 ? 1 : 0;
    if (type == document.wall_type) return;
    set_wall_type(document, type);
    graph_dirty = true;
    label_RadiusC->setVisible(type == 1);
    edit_RadiusC->setVisible(type == 1);
    refresh_results(true, true);
}

void TForm_quil::eh_mnu_radio_group_calc_OnClick() {
    if (!grids_ready) return;
    const int mode = mnu_radio_group_calc->item_index() == 1 ? 1 : 0;
    if (mode == document.calc_mode) return;
    set_calc_mode(document, mode);
    graph_dirty = true;
    fill_grids(false);
    refresh_results(true, true);
}
