// What the UTF-8 catalogues C and E share: their texts by id in two languages,
// the Polish file naming its ids so that a text out of place does not compile.
#pragma once

#include <cstddef>

template <class Id, std::size_t N>
constexpr bool ids_in_order(const Id (&ids)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(ids[i]) != i) return false;
    }
    return true;
}

// The text of `id` in the current language; the empty text out of range.
const char* pick_catalogue_text(const char* const* english, const char* const* polish, int size,
                                int id);
