// Limits for JSON texts, checked before any parser builds from them. A file
// of a hundred kilobytes of "[" would take a recursive parser or its values
// past the end of the stack, and an object of a hundred thousand keys costs a
// map's worth of work for each. No Qt here.
#pragma once

#include <cstddef>
#include <string_view>

// Project and junction files nest a few levels and name a few dozen keys in
// an object at the most; arrays may be long.
constexpr int JSON_MAX_DEPTH = 64;
constexpr int JSON_MAX_KEYS = 256;

enum class JsonLimit { none, depth, keys };

struct JsonPosition {
    std::size_t line = 0;    // from 1
    std::size_t column = 0;  // from 1, in bytes, as the parser counts them
};

// The first limit the text goes past, and where: the bracket that opens a
// level past JSON_MAX_DEPTH, or the colon of the key past JSON_MAX_KEYS in one
// object. Brackets and colons inside strings do not count. The text need not
// be valid JSON: what else is wrong is the parser's to say.
JsonLimit json_past_limits(std::string_view text, JsonPosition& at);

// "line L, column C: nested deeper than 64 levels" and the like.
const char* json_limit_text(JsonLimit limit);
