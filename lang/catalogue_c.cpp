#include "lang/catalogue_c.h"

#include <cstddef>
#include <iterator>

#include "lang/catalogue.h"
#include "lang/catalogue_table.h"

namespace {

constexpr const char* ENGLISH[] = {
#define C_TEXT(id, text) text,
#include "lang/catalogue_c_en.inc"
#undef C_TEXT
};

// The Polish file names its ids too, so a text out of place does not compile.
constexpr CatalogueCId POLISH_IDS[] = {
#define C_TEXT(id, text) id,
#include "lang/catalogue_c_pl.inc"
#undef C_TEXT
};
constexpr const char* POLISH[] = {
#define C_TEXT(id, text) text,
#include "lang/catalogue_c_pl.inc"
#undef C_TEXT
};

static_assert(std::size(ENGLISH) == CATALOGUE_C_SIZE);
static_assert(std::size(POLISH_IDS) == CATALOGUE_C_SIZE && ids_in_order(POLISH_IDS),
              "catalogue C: the Polish ids differ from the English ones");

}  // namespace

const char* pick_catalogue_text(const char* const* english, const char* const* polish, int size,
                                int id) {
    if (id < 0 || id >= size) return "";
    return get_language() == LANG_ENGLISH ? english[id] : polish[id];
}

const char* catalogue_c_text(int id) {
    return pick_catalogue_text(ENGLISH, POLISH, CATALOGUE_C_SIZE, id);
}

char catalogue_c_decimal_separator() { return get_language() == LANG_ENGLISH ? '.' : ','; }

std::string fill_text(const char* text, std::initializer_list<std::string> args) {
    std::string out;
    for (const char* c = text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] >= '1' && c[1] <= '9') {
            const std::size_t k = static_cast<std::size_t>(c[1] - '1');
            if (k < args.size()) out += args.begin()[k];
            ++c;
        } else {
            out += *c;
        }
    }
    return out;
}
