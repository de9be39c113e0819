// The two flag buttons: switch the language and bring every text into it.
// Texts fetched later follow by themselves.
#include "document/document.h"
#include "lang/catalogue.h"

bool Document::switch_language(int language) {
    // What was typed is committed on every click, as Enter would.
    refresh_results(ReadFlag::with_messages);
    if ((language != LANG_ENGLISH && language != LANG_POLISH) || language == get_language())
        return false;
    set_language(language);
    emit caption_changed();
    fill_grids(false);
    // The reasons of refused fields are worded again, without messages.
    if (!state_.results_valid) read_grids(ReadFlag::numbers_only);
    emit graph_changed();
    emit language_changed();
    return true;
}
