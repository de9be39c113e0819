// Whole reads and writes on a file descriptor, going on after interrupted or
// short calls, and the one way a file the user named is opened for reading.
// Used by the settings file, the data, climate and project files, the report
// and the tools.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

// Writes every byte; false on any error.
inline bool write_all(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads until `n` bytes, end of file or an error; returns how many arrived.
std::size_t read_full(int fd, void* buf, std::size_t n);

// A descriptor open for reading, or -1 when `path` is empty, cannot be opened
// or is not a regular file; a pipe or a device never blocks the caller.
int open_regular_file(const char* path);
