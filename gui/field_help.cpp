// F1 help of the input fields, the two information buttons and the
// materials button.
#include <QToolButton>

#include "document/grid_columns.h"
#include "gui/Quil_gui.h"
#include "gui/Quil_hlp.h"
#include "gui/controls.h"
#include "gui/string_grid.h"
#include "lang/catalogue.h"

namespace {

// Help of the conditions grid by row and column: temperature, resistance of
// taking up the heat, humidity, diffusive resistance; external side first.
constexpr TextA CONDITION_HELP[4][2] = {
    {TextA::TempExtHelp, TextA::TempIntHelp},
    {TextA::ResExtHelp, TextA::ResIntHelp},
    {TextA::HumExtHelp, TextA::HumIntHelp},
    {TextA::DiffExtHelp, TextA::DiffIntHelp},
};

}  // namespace

void TForm_quil::show_text(int mode, TextA text) {
    if (help_window_) help_window_->show_text(mode, static_cast<int>(text));
}

void TForm_quil::show_materials(int mode) {
    if (help_window_) help_window_->show_materials(mode);
}

// Shows a text only: the grids are not read and nothing is calculated.
void TForm_quil::field_help(QObject* sender) {
    StringGrid* t1 = w_.mnu_table1;
    StringGrid* t2 = w_.mnu_table2;
    if (sender == t1) {
        const int col = t1->col();
        const int row = t1->row();
        // Rows 3 and 4 exist in dampness mode only.
        if (col < COND_EXTERNAL || col > COND_INTERNAL || row < 1 || row > 4 ||
            row >= t1->row_count())
            return;
        show_text(HELP_MODE_TEXT, CONDITION_HELP[row - 1][col - COND_EXTERNAL]);
    } else if (sender == t2) {
        if (!document_.state().grids_ready) return;
        const int row = t2->row();
        if (row < 1 || row > used_layers(document_.record())) return;  // header and "Add" rows
        switch (t2->col()) {
            case LAYER_DESCRIPTION:
                show_materials(HELP_MODE_COPY_TEXT);
                break;
            case LAYER_THICKNESS:
                show_text(HELP_MODE_TEXT, TextA::ThicknessHelp);
                break;
            case LAYER_LAMBDA:
            case LAYER_DELTA:
                show_materials(HELP_MODE_COPY_NUMBER);
                break;
            default:
                break;
        }
    } else if (sender == w_.edit_RadiusC) {
        show_text(HELP_MODE_TEXT, TextA::RadiusHelp);
    } else if (sender == w_.edit_title) {
        show_text(HELP_MODE_TEXT, TextA::TitleHelp);
    }
}

void TForm_quil::eh_sb_info_OnClick(QObject* sender) {
    // The typed values are taken and checked first; a check message comes
    // before the box or the notes.
    document_.refresh_results(ReadFlag::with_messages);
    if (sender == buttons_.SpeedButtonInfo1)
        document_.message_box(catalogue_a_text(TextA::AboutText),
                              catalogue_a_text(TextA::AboutCaption), MsgIcon::information,
                              MsgButtons::ok);
    else if (sender == buttons_.SpeedButtonInfo2)
        show_text(HELP_MODE_TEXT, TextA::GeneralNotes);
}

void TForm_quil::eh_sb_materials_OnClick() {
    document_.refresh_results(ReadFlag::with_messages);
    show_materials(HELP_MODE_MATERIALS);
}
