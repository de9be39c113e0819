#include "lang/catalogue_e.h"

#include <iterator>

#include "lang/catalogue_table.h"

namespace {

constexpr const char* ENGLISH[] = {
#define E_TEXT(id, text) text,
#include "lang/catalogue_e_en.inc"
#undef E_TEXT
};
constexpr CatalogueEId POLISH_IDS[] = {
#define E_TEXT(id, text) id,
#include "lang/catalogue_e_pl.inc"
#undef E_TEXT
};
constexpr const char* POLISH[] = {
#define E_TEXT(id, text) text,
#include "lang/catalogue_e_pl.inc"
#undef E_TEXT
};
static_assert(std::size(ENGLISH) == CATALOGUE_E_SIZE);
static_assert(std::size(POLISH_IDS) == CATALOGUE_E_SIZE && ids_in_order(POLISH_IDS),
              "catalogue E: the Polish ids differ from the English ones");

}  // namespace

const char* catalogue_e_text(int id) {
    return pick_catalogue_text(ENGLISH, POLISH, CATALOGUE_E_SIZE, id);
}
