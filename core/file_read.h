// Reading a file the user named, whatever it turns out to be: only a regular
// file is read, and a pipe or a device never blocks the caller.
#pragma once

#include <cstddef>

// A descriptor open for reading, or -1 when `path` is empty, cannot be opened
// or is not a regular file.
int open_regular_file(const char* path);

// Reads until `n` bytes, end of file or an error; returns how many arrived.
std::size_t read_full(int fd, void* buf, std::size_t n);
