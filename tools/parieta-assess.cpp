// parieta-assess: the year-round moisture assessment of a partition under a year of monthly
// climate, as a UTF-8 text report or JSON, for batch use and scripts.
#include <unistd.h>

#include <cstring>
#include <string>

#include "core/Quil_c.h"
#include "core/assessment.h"
#include "core/messages.h"
#include "lang/catalogue.h"
#include "lang/catalogue_c.h"
#include "lang/shown_text.h"
#include "output/assessment_report.h"
#include "storage/atomic_file.h"
#include "storage/climate_csv.h"
#include "storage/cp1250.h"
#include "storage/datafile.h"
#include "storage/io.h"
#include "storage/project_file.h"
#include "storage/settings.h"
#include "tools/command_line.h"

namespace {

const char USAGE[] =
    "Usage: parieta-assess [--lang en|pl] [--json] [--kind KIND] [-o FILE] "
    "(DATAFILE CLIMATE.csv | PROJECT.json)\n"
    "Assesses a partition over a year of monthly climate: interstitial condensation by the\n"
    "monthly method of PN-EN ISO 13788, the surface mould check (fRsi) and, with --kind, U\n"
    "against the maximum U of the Polish technical conditions (WT 2021).\n"
    "\n"
    "  --lang en|pl   language of the report and messages (default: the program's saved one)\n"
    "  --json         write JSON instead of the text report\n"
    "  --kind KIND    external_wall, roof, floor_over_unheated, floor_on_ground,\n"
    "                 internal_wall or none (default: the project's, else none)\n"
    "  -o FILE        write to FILE instead of standard output\n"
    "  --help         show this text\n"
    "\n"
    "CLIMATE.csv is UTF-8 with the header month,theta_e,phi_e,theta_i,phi_i or\n"
    "month,theta_e,phi_e,theta_i,humidity_class and twelve rows; \"#\" starts a comment.\n"
    "\n"
    "Exit status: 0 written, 1 an input cannot be opened, 2 not a data or project file,\n"
    "3 the data fail validation, 4 the output cannot be written, 5 a bad climate file or a\n"
    "project without a climate, 64 wrong usage.\n";

struct Inputs {
    Partition record;
    Climate climate;
    AssessmentSettings settings;
};

// The record is assessed as in thermal-and-dampness mode: every Delta and diffusive
// resistance must be in its limits, whatever mode the file was saved in.
int check_record(const Partition& record) {
    Partition damp = record;
    damp.calc_mode = 1;
    if (validate_partition(damp)) return EXIT_WRITTEN;
    std::string message;
    if (!first_failing_message(damp, catalogue_c_decimal_separator(), message)) {
        message = catalogue_a_text(TextA::DataFileInvalid);
    }
    print_error_line(cp1250_to_utf8_lossy(message));
    return EXIT_INVALID_DATA;
}

int load_data_and_climate(const char* data_file, const char* climate_file, Inputs& in) {
    switch (read_data_file(in.record, data_file)) {
        case READ_DONE:
            break;
        case READ_CANNOT_OPEN:
            print_error_line(cp1250_to_utf8_lossy(catalogue_a_text(TextA::CannotOpenDataFile)));
            return EXIT_CANNOT_OPEN;
        default:
            print_error_line(cp1250_to_utf8_lossy(catalogue_a_text(TextA::DataFileInvalid)));
            return EXIT_NOT_DATA_FILE;
    }
    if (const int status = check_record(in.record)) return status;
    ClimateCsvResult result;
    if (!read_climate_file(climate_file, in.climate, result)) {
        print_error_line(climate_error_message(result, climate_file));
        return result.error == ClimateCsvError::CannotOpen ? EXIT_CANNOT_OPEN : EXIT_BAD_CLIMATE;
    }
    return EXIT_WRITTEN;
}

// The project file: record, climate and settings in one JSON file.
int load_project(const char* path, Inputs& in) {
    Project project;
    std::string error;
    const ReadResult read = read_project(path, project, error);
    if (read != READ_DONE) {
        print_error_line(shown_text(path) + ": " + error);
        return read == READ_CANNOT_OPEN ? EXIT_CANNOT_OPEN : EXIT_NOT_DATA_FILE;
    }
    in.record = project.partition;
    in.settings = project.settings;
    if (const int status = check_record(in.record)) return status;
    int month = 0;
    if (!project.has_climate) {
        print_error_line(shown_text(path) + ": " + catalogue_c_text(C_ERR_PROJECT_NO_CLIMATE));
        return EXIT_BAD_CLIMATE;
    }
    in.climate = project.climate;
    // The reader checks the ranges; a humidity class above saturation is the assessment's.
    if (check_climate(in.climate, month) != ClimateProblem::None) {
        print_error_line(
            shown_text(path) + ": " +
            fill_text(catalogue_c_text(C_ERR_PROJECT_CLIMATE),
                      {std::to_string(month + 1), catalogue_c_text(C_MONTH_1 + month)}));
        return EXIT_BAD_CLIMATE;
    }
    return EXIT_WRITTEN;
}

bool write_output(const std::string& text, const char* path) {
    if (path == nullptr) return write_all(STDOUT_FILENO, text.data(), text.size());
    AtomicFile file;
    return file.open(path) && file.write(text.data(), text.size()) && file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    int language = -1;
    bool json = false;
    bool kind_given = false;
    PartitionKind kind = PartitionKind::None;
    const char* output = nullptr;
    const char* files[2] = {nullptr, nullptr};
    int file_count = 0;

    CommandLine args("parieta-assess", USAGE, argc, argv);
    while (args.next()) {
        const char* v = nullptr;
        if (args.is_file()) {
            if (file_count == 2) return args.usage_error("too many files", args.current());
            files[file_count++] = args.current();
        } else if (args.is("--help") || args.is("-h")) {
            return args.help();
        } else if (args.is("--json")) {
            json = true;
        } else if (args.option("--lang", v)) {
            if (v == nullptr) return args.usage_error("--lang needs a value");
            if (!parse_language(v, language)) return args.usage_error("unknown language", v);
        } else if (args.option("--kind", v)) {
            if (v == nullptr) return args.usage_error("--kind needs a value");
            if (!parse_partition_kind(v, kind)) return args.usage_error("unknown kind", v);
            kind_given = true;
        } else if (args.is("-o")) {
            output = args.take_file_name();
            if (output == nullptr) return args.usage_error("-o needs a file name");
        } else {
            return args.unknown_option();
        }
    }
    if (file_count == 0) return args.usage_error("no input file given");

    set_language(language >= 0 ? language : read_settings());

    Inputs in;
    const int status = file_count == 2 ? load_data_and_climate(files[0], files[1], in)
                                       : load_project(files[0], in);
    if (status != EXIT_WRITTEN) return status;
    if (kind_given) in.settings.kind = kind;

    Assessment result;
    if (!assess_partition(in.record, in.climate, in.settings, result)) {
        // The inputs passed their checks above; a result that is not finite is refused here.
        print_error_line(cp1250_to_utf8_lossy(catalogue_a_text(TextA::DataFileInvalid)));
        return EXIT_INVALID_DATA;
    }
    AssessmentSources sources;
    if (file_count == 2) {
        sources.data_file = files[0];
        sources.climate_file = files[1];
    } else {
        sources.project_file = files[0];
    }
    const std::string text =
        json ? assessment_json(result, in.settings)
             : assessment_report_text(in.record, in.climate, in.settings, result, sources);
    if (!write_output(text, output)) {
        print_error_line(cp1250_to_utf8_lossy(catalogue_a_text(TextA::CannotSaveResults)));
        return EXIT_CANNOT_WRITE;
    }
    return EXIT_WRITTEN;
}
