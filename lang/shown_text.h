// What a person or a terminal is shown of a text that came from outside: a
// title, a description, a file name, a key of a project file. A control
// character could break a report's lines or drive a terminal, and invalid
// UTF-8 garbles what follows it, so each becomes "?". Files keep the raw
// bytes; only what is shown passes through here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A byte of Windows-1250 text shown as it is: not a C0 control, not DEL, not
// one of the bytes the code page leaves undefined (0x81 0x83 0x88 0x90 0x98).
bool shown_as_is(unsigned char byte);

// UTF-8 text with every C0 or C1 control, DEL and byte of invalid UTF-8 as
// "?". With `keep_line_breaks`, "\n" stays: for the program's own messages,
// whose outside parts were made shown before.
std::string shown_text(std::string_view utf8, bool keep_line_breaks = false);
