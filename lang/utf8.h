// UTF-8 helpers for the texts that leave the program as UTF-8 (the command-line tools'
// messages and the assessment report): the record's Windows-1250 texts converted, and
// bytes from outside (paths, files) checked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Windows-1250 text as UTF-8; a byte without a character in the code page becomes "?".
std::string utf8_from_cp1250(std::string_view text);

// Length of the UTF-8 sequence starting at `i`: 1 to 4, or 0 when the bytes there are not
// one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t utf8_sequence_length(std::string_view text, std::size_t i);

// `text` with every byte that starts no UTF-8 sequence replaced by U+FFFD.
std::string utf8_repaired(std::string_view text);

// The number of characters of UTF-8 text (the bytes that start one).
std::size_t utf8_characters(std::string_view text);
