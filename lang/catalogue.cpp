#include "lang/catalogue.h"

#include <cstddef>

namespace {

// [language][id], English first. The texts come from the generated
// Windows-1250 copies of the UTF-8 sources in this folder. One text too many
// in a language does not compile; one too few leaves a null, caught below.
constexpr const char* CATALOGUE_A[2][CATALOGUE_A_SIZE] = {
    {
#include "cp1250/catalogue_a_en.inc"
#include "cp1250/materials_en.inc"
    },
    {
#include "cp1250/catalogue_a_pl.inc"
#include "cp1250/materials_pl.inc"
    },
};

constexpr const char* CATALOGUE_B[2][CATALOGUE_B_SIZE] = {
    {
#include "cp1250/catalogue_b_en.inc"
    },
    {
#include "cp1250/catalogue_b_pl.inc"
    },
};

constexpr const char* CATALOGUE_D[2][CATALOGUE_D_SIZE] = {
    {
#include "cp1250/catalogue_d_en.inc"
    },
    {
#include "cp1250/catalogue_d_pl.inc"
    },
};

template <std::size_t L, std::size_t N>
constexpr bool all_present(const char* const (&texts)[L][N]) {
    for (const auto& language_texts : texts) {
        for (const char* t : language_texts) {
            if (t == nullptr || t[0] == '\0') return false;
        }
    }
    return true;
}
static_assert(all_present(CATALOGUE_A), "catalogue A: a text is missing");
static_assert(all_present(CATALOGUE_B), "catalogue B: a text is missing");
static_assert(all_present(CATALOGUE_D), "catalogue D: a text is missing");

std::int8_t language = LANG_POLISH;

}  // namespace

std::int8_t get_language() { return language; }

void set_language(int index) {
    if (index == LANG_ENGLISH || index == LANG_POLISH) language = static_cast<std::int8_t>(index);
}

const char* catalogue_a_text(std::int8_t id) {
    if (id < 0 || id >= CATALOGUE_A_SIZE) return "";
    return CATALOGUE_A[language][id];
}

const char* catalogue_b_text(std::int8_t id) {
    if (id < 0 || id >= CATALOGUE_B_SIZE) return "";
    return CATALOGUE_B[language][id];
}

const char* catalogue_d_text(TextD id) {
    const int index = static_cast<int>(id);
    if (index < 0 || index >= CATALOGUE_D_SIZE) return "";
    return CATALOGUE_D[language][index];
}
