// A depth limit for JSON texts, checked before any parser builds from them: a
// file of a hundred kilobytes of "[" would otherwise take a recursive parser
// or its values past the end of the stack. No Qt here.
#pragma once

#include <cstddef>
#include <string_view>

// Project and junction files nest a few levels; anything past this is refused.
constexpr int JSON_MAX_DEPTH = 64;

struct JsonPosition {
    std::size_t line = 0;    // from 1
    std::size_t column = 0;  // from 1, in bytes, as the parser counts them
};

// False when an array or object opens deeper than `max_depth` levels; `at` is
// then where its bracket stands. Brackets inside strings do not count. The
// text need not be valid JSON: what else is wrong is the parser's to say.
bool json_depth_within(std::string_view text, int max_depth, JsonPosition& at);
