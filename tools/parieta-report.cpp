// parieta-report: the text report of a data file, for batch use and scripts.
// The bytes are those the export command writes; messages go to standard
// error in the chosen language, converted to UTF-8 for the terminal.
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Quil_c.h"
#include "core/clock.h"
#include "core/cp1250.h"
#include "core/messages.h"
#include "lang/catalogue.h"
#include "lang/settings.h"
#include "output/report.h"

namespace {

enum ExitStatus {
    EXIT_WRITTEN = 0,
    EXIT_CANNOT_OPEN = 1,
    EXIT_NOT_DATA_FILE = 2,
    EXIT_INVALID_DATA = 3,
    EXIT_CANNOT_WRITE = 4,
    EXIT_USAGE = 64,
};

const char USAGE[] =
    "Usage: parieta-report [--lang en|pl] [--separator C] [-o FILE] DATAFILE\n"
    "Writes the text report of a PARIETA data file to FILE or to standard output.\n"
    "\n"
    "  --lang en|pl     language of the report (default: the program's saved language)\n"
    "  --separator C    decimal separator, one character (default: the locale's)\n"
    "  -o FILE          write the report to FILE instead of standard output\n"
    "  --help           show this text\n"
    "\n"
    "SOURCE_DATE_EPOCH, when set and not empty, gives the report's date and time\n"
    "(seconds since 1970, UTC) instead of the local time.\n"
    "\n"
    "Exit status: 0 written, 1 the data file cannot be opened, 2 it is not a valid\n"
    "data file, 3 its data fail validation, 4 the report cannot be written,\n"
    "64 wrong usage.\n";

int usage_error(const char* what, const char* arg = nullptr) {
    std::fprintf(stderr, "parieta-report: %s%s%s\n%s", what, arg ? ": " : "", arg ? arg : "",
                 USAGE);
    return EXIT_USAGE;
}

// Windows-1250 text to standard error as UTF-8, with a line end.
void print_message(const std::string& text) {
    const std::string out = cp1250_to_utf8_lossy(text) + '\n';
    if (std::fwrite(out.data(), 1, out.size(), stderr) != out.size()) {
        // Nothing better to do when standard error itself is gone.
    }
}

// The separator of LC_NUMERIC, or "." when the locale's is not one byte.
char locale_separator() {
    char sep = '.';
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const char* point = std::localeconv()->decimal_point;
        if (point != nullptr && point[0] != '\0' && point[1] == '\0') sep = point[0];
    }
    // The core parses and formats with an explicit separator; keep C for the rest.
    std::setlocale(LC_NUMERIC, "C");
    return sep;
}

// A separator must not be mistaken for part of a number or a column gap.
bool usable_separator(const char* text) {
    if (text[0] == '\0' || text[1] != '\0') return false;
    unsigned char c = static_cast<unsigned char>(text[0]);
    return c > ' ' && c < 0x7f && !(c >= '0' && c <= '9') && c != '+' && c != '-';
}

bool parse_epoch(const char* text, std::int64_t& out) {
    if (text[0] == '\0') return false;
    std::int64_t value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        if (value > (INT64_MAX - (*c - '0')) / 10) return false;
        value = value * 10 + (*c - '0');
    }
    out = value;
    return true;
}

struct FieldName {
    FieldId id;
    std::uint8_t name_id;
};

// The first stored value outside its limits, in the order validation checks
// them, worded as the validation message box would word it.
bool first_failing_check(Partition p, char sep, std::string& message) {
    if (p.layer_count < 1 || p.layer_count > MAX_LAYERS || p.wall_type < 0 || p.wall_type > 1 ||
        p.calc_mode < 0 || p.calc_mode > 1) {
        return false;
    }
    const bool dampness = p.calc_mode == 1;
    auto fails = [&](FieldName f, int layer) {
        FieldCheck result;
        check_field(p, f.id, nullptr, result, layer, sep);
        if (result.error == 0) return false;
        message = compose_check_message(f.name_id, result, layer + 1, sep).text;
        return true;
    };
    for (FieldName f : {FieldName{FLD_TEMP_INT, 49}, FieldName{FLD_TEMP_EXT, 48},
                        FieldName{FLD_RES_INT, 53}, FieldName{FLD_RES_EXT, 52}}) {
        if (fails(f, -1)) return true;
    }
    if (dampness) {
        for (FieldName f : {FieldName{FLD_HUM_INT, 51}, FieldName{FLD_HUM_EXT, 50},
                            FieldName{FLD_DIFF_INT, 55}, FieldName{FLD_DIFF_EXT, 54}}) {
            if (fails(f, -1)) return true;
        }
    }
    for (int i = 0; i < p.layer_count; ++i) {
        if (fails({FLD_THICKNESS, 57}, i) || fails({FLD_LAMBDA, 58}, i)) return true;
        if (dampness && fails({FLD_DELTA, 59}, i)) return true;
    }
    return p.wall_type == 1 && fails({FLD_RADIUS, 56}, -1);
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit on standard output is a write error (status 4), not a kill.
    std::signal(SIGXFSZ, SIG_IGN);
    int language = -1;
    const char* separator = nullptr;
    const char* output = nullptr;
    const char* data_file = nullptr;
    bool options_done = false;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* name, const char*& out) {
            std::string prefix = std::string(name) + "=";
            if (arg == name) {
                if (i + 1 >= argc) return false;
                out = argv[++i];
                return true;
            }
            out = argv[i] + prefix.size();
            return true;
        };
        auto is_option = [&](const char* name) {
            return arg == name || arg.rfind(std::string(name) + "=", 0) == 0;
        };
        if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
            if (data_file != nullptr) return usage_error("more than one data file", argv[i]);
            data_file = argv[i];
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            return std::fflush(stdout) == 0 ? EXIT_WRITTEN : EXIT_CANNOT_WRITE;
        } else if (is_option("--lang")) {
            const char* v = nullptr;
            if (!value("--lang", v)) return usage_error("--lang needs a value");
            if (std::strcmp(v, "en") == 0) {
                language = LANG_ENGLISH;
            } else if (std::strcmp(v, "pl") == 0) {
                language = LANG_POLISH;
            } else {
                return usage_error("unknown language", v);
            }
        } else if (is_option("--separator")) {
            if (!value("--separator", separator)) return usage_error("--separator needs a value");
            if (!usable_separator(separator)) {
                return usage_error(
                    "the separator must be one character, not a digit, sign or blank", separator);
            }
        } else if (arg == "-o") {
            if (i + 1 >= argc) return usage_error("-o needs a file name");
            output = argv[++i];
            if (output[0] == '\0') return usage_error("-o needs a file name");
        } else {
            return usage_error("unknown option", argv[i]);
        }
    }
    if (data_file == nullptr) return usage_error("no data file given");

    // The program's own start: the language stored beside the executable.
    set_language(language >= 0 ? language : read_settings());
    const char sep = separator ? separator[0] : locale_separator();

    LocalTime when;
    bool fixed_time = false;
    // Empty is unset, as reproducible-build tools treat it.
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch != nullptr && epoch[0] != '\0') {
        std::int64_t seconds = 0;
        if (!parse_epoch(epoch, seconds) || !utc_time(seconds, when)) {
            return usage_error("SOURCE_DATE_EPOCH is not a number of seconds since 1970", epoch);
        }
        fixed_time = true;
    }

    Partition p;
    switch (read_data_file(p, data_file)) {
        case 0:
            break;
        case 1:
            print_message(catalogue_a_text(9));
            return EXIT_CANNOT_OPEN;
        default:
            print_message(catalogue_a_text(10));
            return EXIT_NOT_DATA_FILE;
    }
    if (!calculate_partition(p)) {
        std::string message;
        // Layer count, wall type or mode out of range: the file itself is at fault.
        if (!first_failing_check(p, sep, message)) message = catalogue_a_text(10);
        print_message(message);
        return EXIT_INVALID_DATA;
    }

    FixedClock fixed(when);
    SystemClock system;
    ReportContext ctx{sep, fixed_time ? static_cast<const Clock*>(&fixed) : &system};
    int result = output ? write_report(p, output, ctx) : write_report_fd(p, STDOUT_FILENO, ctx);
    if (result != 0) {
        print_message(catalogue_a_text(11));
        return EXIT_CANNOT_WRITE;
    }
    return EXIT_WRITTEN;
}
