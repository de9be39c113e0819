// The view's part of filling the grids: column widths and sizes from the
// screen, the edits, the hints, labels and radio groups in the language.
#include <QLabel>
#include <QToolButton>
#include <utility>

#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/graph_box.h"
#include "gui/layout.h"
#include "gui/string_grid.h"
#include "lang/catalogue.h"
#include "output/graph_summary.h"
#include "qt/text_1250.h"

namespace {

QString text_a(TextA id) { return from_1250(catalogue_a_text(id)); }
QString text_d(TextD id) { return from_1250(catalogue_d_text(id)); }

}  // namespace

void TForm_quil::show_grids(bool values) {
    const Partition& record = document_.record();
    const int sw = document_.ui().screen_size().width();
    const bool dampness = record.calc_mode == 1;
    const int line = 1;  // the grids' line width

    // Conditions.
    StringGrid* t1 = w_.mnu_table1;
    const int rows1 = t1->row_count();
    const int widths1[3] = {scaled(sw, 0.21), scaled(sw, 0.09), scaled(sw, 0.09)};
    for (int c = 0; c < 3; ++c) t1->set_col_width(c, widths1[c]);
    const int d = t1->default_row_height();
    t1->resize(widths1[0] + widths1[1] + widths1[2] + (3 + 1) * line + 3,
               (rows1 + 1) * line + rows1 * d + 3);
    if (values) {
        w_.edit_title->setText(from_1250(document_.title_text().c_str()));
        w_.edit_RadiusC->setText(from_1250(document_.radius_text().c_str()));
    }

    // Layers.
    StringGrid* t2 = w_.mnu_table2;
    const int n = used_layers(record);
    const int cols2 = t2->col_count();
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
    if (scrolls) width2 += document_.ui().scroll_bar_width();
    t2->resize(width2, visible * d2 + (visible + 1) * line + 3);

    // Hints, labels and the radio groups.
    show_command_hints();
    w_.label_title->setText(text_a(TextA::TitleLabel));
    w_.mnu_radio_group_wall->setTitle(text_a(TextA::WallGroupCaption));
    w_.mnu_radio_group_wall->set_items(text_a(TextA::WallStraight), text_a(TextA::WallCurved));
    w_.mnu_radio_group_wall->set_item_index(record.wall_type != 0 ? 1 : 0);
    w_.label_RadiusC->setVisible(record.wall_type != 0);
    w_.edit_RadiusC->setVisible(record.wall_type != 0);
    w_.label_RadiusC->setText(text_a(TextA::RadiusLabel));
    w_.mnu_radio_group_calc->set_item_index(dampness ? 1 : 0);
    w_.mnu_radio_group_calc->setTitle(text_a(TextA::CalcGroupCaption));
    w_.mnu_radio_group_calc->set_items(text_a(TextA::CalcThermal), text_a(TextA::CalcDampness));
    show_accessible_texts();
}

void TForm_quil::show_accessible_texts() {
    // The edits are named by their labels; the grids' cells name themselves
    // from their headings (GridModel).
    w_.edit_title->setAccessibleName(text_a(TextA::TitleLabel).simplified());
    w_.edit_RadiusC->setAccessibleName(text_a(TextA::RadiusLabel).simplified());
    w_.mnu_table1->setAccessibleName(text_d(TextD::ConditionsGridName));
    w_.mnu_table2->setAccessibleName(text_d(TextD::LayersGridName));
    w_.graph->setAccessibleName(text_d(TextD::GraphName));
    show_graph_description();
}

void TForm_quil::show_graph_description() {
    w_.graph->setAccessibleDescription(
        from_1250(graph_summary(document_.record(), document_.state().results_valid,
                                document_.decimal_separator())
                      .c_str()));
}
