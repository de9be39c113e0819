// The record's texts are Windows-1250; files and terminals want UTF-8.
// Conversions go through the C library's iconv, never a table of our own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// False at the first byte that is no Windows-1250 character (0x81, 0x83,
// 0x88, 0x90, 0x98); `bad_at`, when given, gets its offset. `out` is then unspecified.
bool cp1250_to_utf8(std::string_view in, std::string& out, std::size_t* bad_at = nullptr);

// False at the first character without a Windows-1250 form, or at invalid UTF-8;
// `bad_at` gets the offset of its first byte.
bool utf8_to_cp1250(std::string_view in, std::string& out, std::size_t* bad_at = nullptr);

// For messages: a byte without a character becomes "?".
std::string cp1250_to_utf8_lossy(std::string_view in);

// A fixed-size text field of the record (a title, a description) as a person
// is shown it, in UTF-8: read up to its NUL and never past its `size` - 1
// characters (the last byte is the NUL's, as for copy_shown), with
// every byte that is not shown as it is (lang/shown_text.h) as "?".
std::string shown_field_utf8(const char* field, std::size_t size);
