// The two flag buttons of the main window: switch the language and bring
// every text on screen into it. Texts fetched later follow by themselves.
#include <QToolButton>

#include "lang/catalogue.h"
#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/Quil_hlp.h"

void TForm_quil::eh_sb_language_OnClick(QObject* sender) {
    // What was typed is committed on every click, as Enter would.
    refresh_results(false, true);

    const int language = get_language();
    int target = -1;
    if (sender == SpeedButtonLang044 && language != LANG_ENGLISH) target = LANG_ENGLISH;
    if (sender == SpeedButtonLang048 && language != LANG_POLISH) target = LANG_POLISH;
    if (target < 0) return;

    set_language(target);
    // Only the button of the other language can be pressed.
    SpeedButtonLang044->setEnabled(get_language() != LANG_ENGLISH);
    SpeedButtonLang048->setEnabled(get_language() != LANG_POLISH);
    update_caption();
    fill_grids(false);
    graph->update();
    // A hidden window loads its text afresh when it is next shown.
    if (help_window && help_window->isVisible()) help_window->load_text();
}
