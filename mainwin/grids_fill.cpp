#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>

#include "core/numfmt.h"
#include "lang/catalogue.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/controls.h"
#include "mainwin/layout.h"
#include "mainwin/string_grid.h"
#include "mainwin/text_1250.h"

namespace {

// A condition cell: column, row, the record's field and its mask.
struct ConditionCell {
    int col, row;
    double PartitionInput::*field;
    const char* mask;
};
const ConditionCell CONDITION_CELLS[] = {
    {1, 1, &PartitionInput::temp_ext, "0.##"},  {2, 1, &PartitionInput::temp_int, "0.##"},
    {1, 2, &PartitionInput::res_ext, "0.###"},  {2, 2, &PartitionInput::res_int, "0.###"},
    {1, 3, &PartitionInput::hum_ext, "0.#"},    {2, 3, &PartitionInput::hum_int, "0.#"},
    {1, 4, &PartitionInput::diff_ext, "0.###"}, {2, 4, &PartitionInput::diff_int, "0.###"},
};

QString text_a(int id) { return from_1250(catalogue_a_text(std::int8_t(id))); }

QString number(const char* mask, double value, char sep) {
    return QString::fromStdString(format_number(mask, value, sep));
}

// The current cell stays inside the editable area after a rebuild.
void clamp_current(StringGrid* g, int first_col, int last_row) {
    int col = g->col(), row = g->row();
    if (col >= g->col_count()) col = g->col_count() - 1;
    if (col < first_col) col = first_col;
    if (row > last_row) row = last_row;
    if (row < 1) row = 1;
    g->set_current(col, row);
}

}  // namespace

void TForm_quil::fill_grids(bool values) {
    grids_ready = false;
    const QSize screen = ui.screen_size();
    const int sw = screen.width();
    const char sep = decimal_separator();
    const bool dampness = document.calc_mode == 1;
    const int line = 1;  // the grids' line width

    // Conditions.
    StringGrid* t1 = mnu_table1;
    const int rows1 = dampness ? 5 : 3;
    t1->set_col_count(3);
    t1->set_row_count(rows1);
    clamp_current(t1, 1, rows1 - 1);
    const int widths1[3] = {scaled(sw, 0.21), scaled(sw, 0.09), scaled(sw, 0.09)};
    for (int c = 0; c < 3; ++c) t1->set_col_width(c, widths1[c]);
    const int d = t1->default_row_height();
    t1->resize(widths1[0] + widths1[1] + widths1[2] + (3 + 1) * line + 3,
               (rows1 + 1) * line + rows1 * d + 3);
    t1->set_cell(0, 0, QString());
    t1->set_cell(1, 0, text_a(38));
    t1->set_cell(2, 0, text_a(39));
    t1->set_cell(0, 1, text_a(40));
    t1->set_cell(0, 2, text_a(42));
    t1->set_cell(0, 3, text_a(41));
    t1->set_cell(0, 4, text_a(43));

    if (values) {
        // Hidden rows are written too, so that a mode switch after opening a
        // file shows the file's values rather than an earlier document's.
        for (const ConditionCell& c : CONDITION_CELLS)
            t1->set_cell(c.col, c.row, number(c.mask, document.*c.field, sep));
        edit_title->setText(shown_from_1250(document.title, TITLE_SIZE));
        edit_RadiusC->setText(number("0.##", document.radius, sep));
    }

    // Layers.
    StringGrid* t2 = mnu_table2;
    const int n = used_layers(document);
    const bool add_row = n < MAX_LAYERS;
    const int cols2 = dampness ? 7 : 6;
    const int rows2 = add_row ? n + 2 : n + 1;
    t2->set_col_count(cols2);
    t2->set_row_count(rows2);
    clamp_current(t2, 3, add_row ? std::max(n, 1) : rows2 - 1);
    const double fractions2[7] = {0.07, 0.05, 0.05, 0.24, 0.09, 0.12, 0.12};
    int widths2[7];
    for (int c = 0; c < 7; ++c) {
        widths2[c] = scaled(sw, fractions2[c]);
        t2->set_col_width(c, widths2[c]);
    }
    const int d2 = t2->default_row_height();
    int width2 = (cols2 + 1) * line + 3;
    for (int c = 0; c < 6; ++c) width2 += widths2[c];
    if (dampness) width2 += widths2[6] + line;
    const int visible = n < 5 ? n + 2 : 7;
    const bool scrolls = n > 5;
    t2->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (scrolls) width2 += ui.scroll_bar_width();
    t2->resize(width2, visible * d2 + (visible + 1) * line + 3);

    const int headers2[7] = {68, -1, -1, 69, 70, 71, 72};
    for (int c = 0; c < 7; ++c)
        t2->set_cell(c, 0, headers2[c] < 0 ? QString() : text_a(headers2[c]));
    for (int r = 1; r <= n; ++r) {
        t2->set_cell(0, r, QStringLiteral("    %1-%2").arg(r).arg(r + 1));
        t2->set_cell(1, r, add_row ? text_a(74) : QString());
        t2->set_cell(2, r, n > 1 ? text_a(73) : QString());
        if (values) {
            const Layer* layer = layer_at(document, r - 1);
            if (!layer) continue;
            t2->set_cell(3, r, shown_from_1250(layer->description, DESCRIPTION_SIZE));
            t2->set_cell(4, r, number("0.####", layer->thickness, sep));
            t2->set_cell(5, r, number("0.####", layer->lambda, sep));
            t2->set_cell(6, r, number("0.###########", layer->delta, sep));
        }
    }
    if (add_row) {
        t2->set_cell(0, n + 1, QString());
        t2->set_cell(1, n + 1, text_a(74));
        for (int c = 2; c < 7; ++c) t2->set_cell(c, n + 1, QString());
    }

    // Hints, labels and the radio groups.
    const std::pair<QToolButton*, int> hints[] = {
        {SpeedButtonInfo1, 26},    {SpeedButtonInfo2, 22},     {SpeedButtonOpen, 27},
        {SpeedButtonSave, 28},     {SpeedButtonExport, 30},    {SpeedButtonSaveAs, 29},
        {SpeedButtonExportAs, 31}, {SpeedButtonMaterials, 32}, {SpeedButtonPrint, 23},
        {SpeedButtonLang044, 24},  {SpeedButtonLang048, 25},   {SpeedButtonExit, 33},
    };
    for (const auto& [button, id] : hints) button->setToolTip(text_a(id));
    status_bar->hide();
    label_title->setText(text_a(37));
    mnu_radio_group_wall->setTitle(text_a(61));
    mnu_radio_group_wall->set_items(text_a(62), text_a(63));
    mnu_radio_group_wall->set_item_index(document.wall_type != 0 ? 1 : 0);
    label_RadiusC->setVisible(document.wall_type != 0);
    edit_RadiusC->setVisible(document.wall_type != 0);
    label_RadiusC->setText(text_a(67));
    mnu_radio_group_calc->set_item_index(dampness ? 1 : 0);
    mnu_radio_group_calc->setTitle(text_a(64));
    mnu_radio_group_calc->set_items(text_a(65), text_a(66));

    grids_ready = true;
}
