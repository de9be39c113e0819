// parieta-convert: a data file to a project file and back, each told by its
// extension. Messages go to standard error in English.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/Quil_c.h"
#include "lang/shown_text.h"
#include "storage/datafile.h"
#include "storage/project_file.h"
#include "tools/command_line.h"

namespace {

const char USAGE[] =
    "Usage: parieta-convert IN OUT\n"
    "Converts a PARIETA data file (.PAR) to a project file (.json) or back; each\n"
    "file's kind is told by its extension, in any letter case. Two files of one\n"
    "kind work too: the second is the first rewritten.\n"
    "\n"
    "  --help   show this text\n"
    "\n"
    "A data file holds the partition only. A project made from one has no climate\n"
    "(\"climate\": null) and the kind \"none\"; a data file made from a project leaves\n"
    "out its climate and kind, and a note on standard error says so.\n"
    "\n"
    "Exit status: 0 written, 1 IN cannot be opened, 2 IN is not a data or project\n"
    "file, or holds what OUT cannot keep, 4 OUT cannot be written, 64 wrong usage.\n";

enum class Kind { data, project, unknown };

Kind kind_of(const char* path) {
    const char* leaf = std::strrchr(path, '/');
    leaf = leaf ? leaf + 1 : path;
    const char* dot = std::strrchr(leaf, '.');
    if (dot == nullptr || dot == leaf) return Kind::unknown;
    if (::strcasecmp(dot, ".par") == 0) return Kind::data;
    if (::strcasecmp(dot, ".json") == 0) return Kind::project;
    return Kind::unknown;
}

int fail(int status, const char* path, const std::string& message) {
    print_error_line("parieta-convert: " + shown_text(path) + ": " + message);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const char* files[2] = {nullptr, nullptr};
    int count = 0;
    CommandLine args("parieta-convert", USAGE, argc, argv);
    while (args.next()) {
        if (args.is_file()) {
            if (count == 2) return args.usage_error("more than two files", args.current());
            files[count++] = args.current();
        } else if (args.is("--help") || args.is("-h")) {
            return args.help();
        } else {
            return args.unknown_option();
        }
    }
    if (count < 2) return args.usage_error("give the file to read and the file to write");
    const char* in = files[0];
    const char* out = files[1];
    const Kind in_kind = kind_of(in);
    const Kind out_kind = kind_of(out);
    if (in_kind == Kind::unknown) return args.usage_error("IN must end in .par or .json", in);
    if (out_kind == Kind::unknown) return args.usage_error("OUT must end in .par or .json", out);

    Project project;
    std::string error;
    if (in_kind == Kind::data) {
        switch (read_data_file(project.partition, in)) {
            case READ_DONE:
                break;
            case READ_CANNOT_OPEN:
                return fail(EXIT_CANNOT_OPEN, in, "cannot be opened");
            default:
                return fail(EXIT_NOT_DATA_FILE, in, "not a data file");
        }
    } else {
        switch (read_project(in, project, error)) {
            case READ_DONE:
                break;
            case READ_CANNOT_OPEN:
                return fail(EXIT_CANNOT_OPEN, in, error);
            default:
                return fail(EXIT_NOT_DATA_FILE, in, error);
        }
    }

    if (out_kind == Kind::data) {
        // Kept as stored, limits or not, as the data file reader took them.
        if (write_data_file_as_is(project.partition, out) != WRITE_DONE)
            return fail(EXIT_CANNOT_WRITE, out, "cannot be written");
        if (project.has_climate || project.settings.kind != PartitionKind::None) {
            print_error_line(
                "parieta-convert: note: a data file keeps no climate and no kind of "
                "partition; " +
                shown_text(out) + " has the partition only");
        }
        return EXIT_WRITTEN;
    }
    switch (write_project(out, project, error)) {
        case WRITE_DONE:
            return EXIT_WRITTEN;
        case WRITE_INVALID_DATA:
            return fail(EXIT_NOT_DATA_FILE, in, error);
        default:
            return fail(EXIT_CANNOT_WRITE, out, error);
    }
}
