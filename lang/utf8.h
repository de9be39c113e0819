// UTF-8 helpers for text that leaves the program as UTF-8 (the assessment's report and
// messages): bytes from outside (paths, files) checked and repaired, characters counted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Length of the UTF-8 sequence starting at `i`: 1 to 4, or 0 when the bytes there are not
// one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t utf8_sequence_length(std::string_view text, std::size_t i);

// `text` with every byte that starts no UTF-8 sequence replaced by U+FFFD.
std::string utf8_repaired(std::string_view text);

// The number of characters of UTF-8 text (the bytes that start one).
std::size_t utf8_characters(std::string_view text);
