// Keys, selections and clicks of the grids, edits and radio groups: each
// asks the document.
#include <QLabel>
#include <QLineEdit>

#include "document/grid_columns.h"
#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/string_grid.h"
#include "qt/text_1250.h"

namespace {
bool differs(const StringGrid* g, int col, int row) { return col != g->col() || row != g->row(); }
}  // namespace

void TForm_quil::eh_table1_OnKeyDown(StringGrid* sender, int& key) {
    if (key == KEY_ENTER)
        document_.refresh_results(ReadFlag::with_messages);
    else if (key == KEY_F1)
        field_help(w_.mnu_table1);
    else if (key == KEY_ESCAPE)
        restore_cell(sender, document_.conditions());
}

void TForm_quil::eh_table1_OnKeyPress(StringGrid*, char16_t& key) {
    key = document_.filter_number_key(key);
}

void TForm_quil::eh_table1_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select) {
    if (!document_.state().grids_ready) return;
    if (differs(sender, col, row)) document_.refresh_results(ReadFlag::with_messages);
    can_select = true;
}

void TForm_quil::eh_table2_OnKeyDown(StringGrid* sender, int& key) {
    if (!document_.state().grids_ready || sender != w_.mnu_table2) return;
    if (key == KEY_ENTER)
        document_.refresh_results(ReadFlag::with_messages);
    else if (key == KEY_F1)
        field_help(w_.mnu_table2);
    else if (key == KEY_ESCAPE)
        restore_cell(sender, document_.layers());
}

void TForm_quil::restore_cell(StringGrid* g, const GridCells& cells) {
    QLineEdit* editor = g->editor();
    if (!editor || !document_.typed_in_cell(cells, g->col(), g->row())) return;
    editor->setText(from_1250(document_.committed_cell_text(cells, g->col(), g->row()).c_str()));
    editor->selectAll();
}

void TForm_quil::eh_table2_OnKeyPress(StringGrid* sender, char16_t& key) {
    if (!document_.state().grids_ready || sender != w_.mnu_table2) return;
    const int col = sender->col();
    if (col < LAYER_THICKNESS || col > LAYER_DELTA) return;  // the description takes any text
    key = document_.filter_number_key(key);
    if (sender->row() == used_layers(document_.record()) + 1) key = 0;
}

void TForm_quil::eh_table2_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select) {
    if (!document_.state().grids_ready || sender != w_.mnu_table2) return;
    const int n = used_layers(document_.record());
    const bool add_row = n < MAX_LAYERS && row == sender->row_count() - 1;
    can_select = !add_row;
    // A refused cell leaves the current one and its editor as they are, so
    // that typing still reaches a cell.
    if (!add_row) {
        sender->set_editing(true);
        sender->set_always_show_editor(true);
    }
    if (differs(sender, col, row)) document_.refresh_results(ReadFlag::with_messages);
}

void TForm_quil::eh_table2_OnMouseDown(StringGrid* sender, Qt::MouseButton button, QPoint pos) {
    // Another button (a context menu's, the wheel's) must not cost a layer.
    if (!document_.state().grids_ready || sender != w_.mnu_table2 || button != Qt::LeftButton)
        return;
    int col = 0, row = 0;
    if (!sender->mouse_to_cell(pos, col, row)) return;
    if (col == LAYER_DELETE)
        document_.delete_layer_at(row);
    else if (col == LAYER_ADD)
        document_.insert_layer_at(row);
}

void TForm_quil::eh_EditingOnExit(QObject*) {
    if (!document_.state().grids_ready) return;
    document_.refresh_results(ReadFlag::with_messages);
}

void TForm_quil::eh_edit_RadiusC_OnKeyDown(int& key) {
    if (key == KEY_F1)
        field_help(w_.edit_RadiusC);
    else if (key == KEY_ENTER)
        document_.refresh_results(ReadFlag::with_messages);
}

void TForm_quil::eh_edit_RadiusC_OnKeyPress(char16_t& key) {
    key = document_.filter_number_key(key);
}

void TForm_quil::eh_edit_title_OnKeyDown(int& key) {
    if (key == KEY_ENTER)
        document_.take_title();
    else if (key == KEY_F1)
        field_help(w_.edit_title);
}

void TForm_quil::eh_mnu_radio_group_wall_OnClick() {
    document_.choose_wall_type(w_.mnu_radio_group_wall->item_index() == 1 ? 1 : 0);
}

void TForm_quil::eh_mnu_radio_group_calc_OnClick() {
    document_.choose_calc_mode(w_.mnu_radio_group_calc->item_index() == 1 ? 1 : 0);
}
