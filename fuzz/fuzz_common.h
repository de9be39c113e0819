// Shared by the fuzz targets: the reader takes a path, so each input goes
// through one scratch file on a memory file system, created once.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Quil_c.h"

class ScratchFile {
public:
    explicit ScratchFile(const char* tag) {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path_ = std::string(base) + "/parieta-" + tag + "-XXXXXX.PAR";
        fd_ = ::mkstemps(path_.data(), 4);
        if (fd_ < 0) std::abort();
    }
    ~ScratchFile() {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
    const char* path() const { return path_.c_str(); }
    void put(const std::uint8_t* data, std::size_t size) const {
        if (::ftruncate(fd_, 0) != 0) std::abort();
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
    }

private:
    std::string path_;
    int fd_ = -1;
};

inline void require(bool ok) {
    if (!ok) std::abort();
}

inline bool same_input(const PartitionInput& a, const PartitionInput& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// After a successful calculation no NaN or infinity may be left in a result.
inline void check_results(const Partition& p) {
    require(std::isfinite(p.k) && p.k > 0);
    require(std::isfinite(p.temp_min) && std::isfinite(p.temp_span));
    for (int j = 0; j <= p.layer_count; ++j) require(std::isfinite(p.temp[j]));
    if (p.calc_mode == 1) {
        require(std::isfinite(p.press_min) && std::isfinite(p.press_span));
        for (int j = 0; j <= p.layer_count; ++j) {
            require(std::isfinite(p.press_real[j]) && std::isfinite(p.press_sat[j]));
        }
    }
}
