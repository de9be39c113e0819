// F1 help of the input fields, the two information buttons and the
// materials button.
#include <QToolButton>

#include "lang/catalogue.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/controls.h"
#include "mainwin/string_grid.h"
#include "materials/Quil_hlp.h"

namespace {

constexpr int ABOUT_CAPTION_ID = 2;
constexpr int ABOUT_TEXT_ID = 18;
constexpr int RADIUS_HELP_ID = 122;
constexpr int TITLE_HELP_ID = 123;
constexpr int THICKNESS_HELP_ID = 124;
constexpr int GENERAL_NOTES_ID = 125;

// Help of the conditions grid by row and column: temperature, resistance of
// taking up the heat, humidity, diffusive resistance; external side first.
constexpr int CONDITION_HELP_IDS[4][2] = {
    {115, 114},
    {119, 118},
    {117, 116},
    {121, 120},
};

}  // namespace

HelpWindowSeams help_window_seams(const TForm_quil& form) {
    HelpWindowSeams seams;
    Ui& ui = form.ui;
    seams.screen_size = [&ui] { return ui.screen_size(); };
    seams.decimal_separator = [&ui] {
        return QChar(static_cast<unsigned char>(ui.decimal_separator()));
    };
    seams.parent_font = [&form] { return form.font(); };
    return seams;
}

void TForm_quil::show_text(int mode, int text_id) {
    if (help_window) help_window->show_text(mode, text_id);
}

void TForm_quil::show_materials(int mode) {
    if (help_window) help_window->show_materials(mode);
}

// Shows a text only: the grids are not read and nothing is calculated.
void TForm_quil::field_help(QObject* sender) {
    if (sender == mnu_table1) {
        const int col = mnu_table1->col();
        const int row = mnu_table1->row();
        // Rows 3 and 4 exist in dampness mode only.
        if (col < 1 || col > 2 || row < 1 || row > 4 || row >= mnu_table1->row_count()) return;
        show_text(HELP_MODE_TEXT, CONDITION_HELP_IDS[row - 1][col - 1]);
    } else if (sender == mnu_table2) {
        if (!grids_ready) return;
        const int row = mnu_table2->row();
        if (row < 1 || row > used_layers(document)) return;  // header and "Add" rows
        switch (mnu_table2->col()) {
            case 3:
                show_materials(HELP_MODE_COPY_TEXT);
                break;
            case 4:
                show_text(HELP_MODE_TEXT, THICKNESS_HELP_ID);
                break;
            case 5:
            case 6:
                show_materials(HELP_MODE_COPY_NUMBER);
                break;
            default:
                break;
        }
    } else if (sender == edit_RadiusC) {
        show_text(HELP_MODE_TEXT, RADIUS_HELP_ID);
    } else if (sender == edit_title) {
        show_text(HELP_MODE_TEXT, TITLE_HELP_ID);
    }
}

void TForm_quil::eh_sb_info_OnClick(QObject* sender) {
    // The typed values are taken and checked first; a check message comes
    // before the box or the notes.
    refresh_results(false, true);
    if (sender == SpeedButtonInfo1)
        message_box(catalogue_a_text(ABOUT_TEXT_ID), catalogue_a_text(ABOUT_CAPTION_ID),
                    MsgIcon::information, MsgButtons::ok);
    else if (sender == SpeedButtonInfo2)
        show_text(HELP_MODE_TEXT, GENERAL_NOTES_ID);
}

void TForm_quil::eh_sb_materials_OnClick() {
    refresh_results(false, true);
    show_materials(HELP_MODE_MATERIALS);
}
