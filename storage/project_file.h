// The project file: one partition, its year of climate and the assessment
// settings as UTF-8 JSON. No Qt here.
//
// Reading is all or nothing: the text is checked whole into a scratch copy,
// and the caller's objects change only when every key has passed. A
// refusal comes with a message that says where ("line 3, column 7: ..." for
// a syntax error, the key's path such as "partition.layers[2].lambda" for
// anything else). The partition's values may lie outside their input limits,
// as in a data file; the calculation's validation finds them. Everything else
// is checked here: types, counts, texts, the climate's ranges, the kind.
#pragma once

#include <string>
#include <string_view>

#include "core/Quil_c.h"
#include "core/climate.h"
#include "lang/result_codes.h"

constexpr int PROJECT_FORMAT_VERSION = 1;
// Larger files are refused unread; a project is a few kilobytes.
constexpr std::size_t PROJECT_FILE_MAX_SIZE = 1 << 20;

struct Project {
    Partition partition;  // input part and `modified`; results as constructed
    Climate climate;
    bool has_climate = false;  // false: the file's "climate" is null
    AssessmentSettings settings;
};

// Read into `out`; cannot be opened; not a valid project file (the message
// in `error`). When not read `out` is untouched.
ReadResult read_project(const char* path, Project& out, std::string& error);
// Written; cannot be written (the old file stays); `in` cannot be held by a
// project file (a message in `error`; nothing written).
WriteResult write_project(const char* path, const Project& in, std::string& error);

// The same for text in memory. `text` need not end in a NUL.
bool parse_project(std::string_view text, Project& out, std::string& error);
bool format_project(const Project& in, std::string& text, std::string& error);

// For callers that need the climate: a project without one is refused.
// Only the input part and `modified` (0) of `p` are replaced.
bool read_project_file(const char* path, Partition& p, Climate& c, AssessmentSettings& s,
                       std::string& error);
bool write_project_file(const char* path, const Partition& p, const Climate& c,
                        const AssessmentSettings& s, std::string& error);

// Whether the file's text begins like a project file: an object (after an
// optional byte-order mark and blanks) whose first 4 KiB name the format key
// with the project's format. What the desktop's magic looks for too.
bool looks_like_project_file(const char* path);
bool looks_like_project_text(std::string_view head);
