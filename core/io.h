// Whole reads and writes on a file descriptor, going on after interrupted or
// short calls. Used by the settings file, the data file and the report.
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

// Reads until `size` bytes, the end of the file or an error; how many arrived.
inline std::size_t read_up_to(int fd, void* buffer, std::size_t size) {
    char* bytes = static_cast<char*>(buffer);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}
