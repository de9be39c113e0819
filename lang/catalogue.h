// The two message catalogues and the process-wide language index.
// Every text is a constant Windows-1250 string; nothing is copied.
#pragma once

#include <cstdint>

constexpr std::int8_t LANG_ENGLISH = 0;
constexpr std::int8_t LANG_POLISH = 1;
constexpr int CATALOGUE_A_SIZE = 127;
constexpr int CATALOGUE_B_SIZE = 12;

std::int8_t get_language();
void set_language(int index);  // only 0 and 1 are taken
const char* catalogue_a_text(std::int8_t id);
const char* catalogue_b_text(std::int8_t id);
