// Catalogue C: the texts of the year-round moisture assessment, English and Polish,
// in the current language of catalogue.h. Unlike catalogues A and B these are UTF-8:
// the assessment's report and messages are UTF-8 and use letters Windows-1250 lacks.
#pragma once

#include <initializer_list>
#include <string>

enum CatalogueCId : int {
#define C_TEXT(id, text) id,
#include "lang/catalogue_c_en.inc"
#undef C_TEXT
    CATALOGUE_C_SIZE
};

// The text in the current language; the empty text for an id out of range.
const char* catalogue_c_text(int id);

// The decimal separator of numbers in these texts: "." in English, "," in Polish.
char catalogue_c_decimal_separator();

// `text` with %1 ... %9 replaced by args[0] ... args[8] (a missing one by nothing).
std::string fill_text(const char* text, std::initializer_list<std::string> args);
