// Writes every byte to a file descriptor, going on after interrupted or short
// writes; false on any error. Used by the settings file, the data file and the report.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

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
