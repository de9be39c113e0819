// Replacing a file whole or not at all. The bytes go to a file beside the
// target that has no name until every byte is on disk (O_TMPFILE), then take
// the target's name. Where the file system has no unnamed files, the bytes
// wait in memory until commit. The steps that give names, and the write of a
// named temporary file or of a file in place, run in a child process that a
// kill of the program cannot stop: killed at any point, the writer leaves the
// old file or the new one and nothing else. A kill of the whole process group
// or a power loss can still leave one temporary file (swept at the next write
// to the target once a minute old) or, in place, a part of the new bytes.
// Used by the settings file, the data and project files and the reports.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();  // discards what was not committed

    // Starts writing `path`. False when it cannot be written: a folder on the
    // way is missing, the target is a folder or may not be opened for writing,
    // a symbolic link may not be followed, or nothing can be made beside it.
    //
    // A symbolic link is followed where the kernel's protected_symlinks rule
    // would follow it: in a sticky, world-writable folder (/tmp) only a link
    // that is ours or the folder owner's. The folder found stays open until
    // the end, so it cannot be swapped under the writer; the link stays a link
    // and its target is replaced. Only a regular file is replaced: a device,
    // pipe or socket is refused, and so, as the protected_regular rule does,
    // is another user's file in a sticky, world-writable folder that is not
    // the folder owner's. When the folder may not be written but the target
    // may, the target is written in place at commit. `create_mode` is for a
    // new file, before the umask.
    bool open(const char* path, mode_t create_mode = 0666);

    // False once any write has failed; later writes are skipped.
    bool write(const void* data, std::size_t size);

    // Flushes to disk and puts the file in place, with the owner and the
    // permission bits of the file it replaces (never its set-id or sticky
    // bits). False when anything failed; the target is then as it was and no
    // temporary file is left.
    bool commit();

    // Drops what was written; the target stays as it was.
    void discard();

private:
    enum class Mode { none, unnamed, named, in_place };

    bool fail_open();
    bool commit_replacement();
    bool commit_in_place();
    void finish();

    Mode mode_ = Mode::none;
    int dir_ = -1;  // the target's folder, found once
    int fd_ = -1;   // the unnamed file
    bool failed_ = false;
    bool exists_ = false;
    bool guarded_ = false;
    struct stat st_ = {};  // the target, when it exists
    mode_t create_mode_ = 0666;
    std::string name_;     // the target's name in dir_
    std::string pending_;  // named and in place: the bytes, written at commit
};

// Tests: false makes open() use a named temporary file, as on a file system
// without unnamed ones.
void atomic_file_unnamed_for_testing(bool allowed);
