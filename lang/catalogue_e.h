// Catalogue E: the texts of the project as a whole (its undo steps, the
// choice of what a save keeps, the notes of what was saved), English and
// Polish, UTF-8 like catalogue C, in the current language of catalogue.h.
#pragma once

enum CatalogueEId : int {
#define E_TEXT(id, text) id,
#include "lang/catalogue_e_en.inc"
#undef E_TEXT
    CATALOGUE_E_SIZE
};

// The text in the current language; the empty text for an id out of range.
const char* catalogue_e_text(int id);
