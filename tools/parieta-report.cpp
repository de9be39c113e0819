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
#include "core/messages.h"
#include "lang/catalogue.h"
#include "output/report.h"
#include "storage/clock.h"
#include "storage/cp1250.h"
#include "storage/datafile.h"
#include "storage/settings.h"
#include "tools/command_line.h"

namespace {

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

// Windows-1250 text to standard error as UTF-8, with a line end.
void print_message(const std::string& text) { print_error_line(cp1250_to_utf8_lossy(text)); }

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

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit on standard output is a write error (status 4), not a kill.
    std::signal(SIGXFSZ, SIG_IGN);
    int language = -1;
    const char* separator = nullptr;
    const char* output = nullptr;
    const char* data_file = nullptr;

    CommandLine args("parieta-report", USAGE, argc, argv);
    while (args.next()) {
        const char* v = nullptr;
        if (args.is_file()) {
            if (data_file != nullptr) {
                return args.usage_error("more than one data file", args.current());
            }
            data_file = args.current();
        } else if (args.is("--help") || args.is("-h")) {
            return args.help();
        } else if (args.option("--lang", v)) {
            if (v == nullptr) return args.usage_error("--lang needs a value");
            if (!parse_language(v, language)) return args.usage_error("unknown language", v);
        } else if (args.option("--separator", separator)) {
            if (separator == nullptr) return args.usage_error("--separator needs a value");
            if (!usable_separator(separator)) {
                return args.usage_error(
                    "the separator must be one character, not a digit, sign or blank", separator);
            }
        } else if (args.is("-o")) {
            output = args.take_file_name();
            if (output == nullptr) return args.usage_error("-o needs a file name");
        } else {
            return args.unknown_option();
        }
    }
    if (data_file == nullptr) return args.usage_error("no data file given");

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
            return args.usage_error("SOURCE_DATE_EPOCH is not a number of seconds since 1970",
                                    epoch);
        }
        fixed_time = true;
    }

    Partition p;
    switch (read_data_file(p, data_file)) {
        case READ_DONE:
            break;
        case READ_CANNOT_OPEN:
            print_message(catalogue_a_text(TextA::CannotOpenDataFile));
            return EXIT_CANNOT_OPEN;
        default:
            print_message(catalogue_a_text(TextA::DataFileInvalid));
            return EXIT_NOT_DATA_FILE;
    }
    if (!calculate_partition(p)) {
        std::string message;
        // Layer count, wall type or mode out of range: the file itself is at fault.
        if (!first_failing_message(p, sep, message))
            message = catalogue_a_text(TextA::DataFileInvalid);
        print_message(message);
        return EXIT_INVALID_DATA;
    }

    FixedClock fixed(when);
    SystemClock system;
    ReportContext ctx{sep, fixed_time ? static_cast<const Clock*>(&fixed) : &system};
    const ReportResult result =
        output ? write_report(p, output, ctx) : write_report_fd(p, STDOUT_FILENO, ctx);
    if (result != REPORT_DONE) {
        print_message(catalogue_a_text(TextA::CannotSaveResults));
        return EXIT_CANNOT_WRITE;
    }
    return EXIT_WRITTEN;
}
