// Replacing a file whole or not at all: the bytes go to a temporary file
// beside the target, which is renamed over it only once every byte is on disk.
#pragma once

#include <cstddef>
#include <string>

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();  // discards what was not committed

    // Starts writing `path`. False when it cannot be written: the folder is
    // missing, the target is a folder or may not be opened for writing, or no
    // temporary file can be made beside it. A symbolic link is followed, so the
    // link stays and its target is replaced. A device or pipe is written directly.
    bool open(const char* path);

    // False once any write has failed; later writes are skipped.
    bool write(const void* data, std::size_t size);

    // Flushes to disk and puts the file in place, with the permissions of the
    // file it replaces. False when anything failed; the target is then as it was
    // and the temporary file is gone.
    bool commit();

    // Drops the temporary file; the target stays as it was.
    void discard();

private:
    int fd_ = -1;
    bool failed_ = false;
    bool direct_ = false;  // a device or pipe: no temporary file
    std::string target_;
    std::string temp_;
};
