// The message catalogues and the process-wide language index. Catalogues A
// and B are the seed's; D holds the windows' own texts beyond them (C, the
// assessment's UTF-8 texts, is in catalogue_c.h). Every text here is a
// constant Windows-1250 string; nothing is copied.
#pragma once

#include <cstdint>

#include "lang/text_ids.h"

constexpr std::int8_t LANG_ENGLISH = 0;
constexpr std::int8_t LANG_POLISH = 1;
constexpr int CATALOGUE_A_SIZE = 127;
constexpr int CATALOGUE_B_SIZE = 12;

std::int8_t get_language();
void set_language(int index);  // only 0 and 1 are taken
const char* catalogue_a_text(std::int8_t id);
const char* catalogue_b_text(std::int8_t id);
const char* catalogue_d_text(TextD id);

inline const char* catalogue_a_text(TextA id) { return catalogue_a_text(std::int8_t(id)); }
inline const char* catalogue_b_text(TextB id) { return catalogue_b_text(std::int8_t(id)); }
