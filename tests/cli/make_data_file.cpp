// Writes a data file for the report tool's tests: the default record with the
// fields given as key=value changed. It writes what it is told, limits or not,
// so files that fail validation can be made too.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Quil_c.h"
#include "storage/datafile.h"

namespace {

bool set_field(Partition& p, const std::string& key, const char* value) {
    double number = std::strtod(value, nullptr);
    struct Named {
        const char* name;
        double* field;
    } doubles[] = {
        {"temp_int", &p.temp_int}, {"temp_ext", &p.temp_ext}, {"hum_int", &p.hum_int},
        {"hum_ext", &p.hum_ext},   {"res_int", &p.res_int},   {"res_ext", &p.res_ext},
        {"diff_int", &p.diff_int}, {"diff_ext", &p.diff_ext}, {"radius", &p.radius},
    };
    for (const Named& n : doubles) {
        if (key == n.name) {
            *n.field = number;
            return true;
        }
    }
    if (key == "layers")
        p.layer_count = static_cast<std::int16_t>(std::atoi(value));
    else if (key == "mode")
        p.calc_mode = static_cast<std::int16_t>(std::atoi(value));
    else if (key == "wall")
        p.wall_type = static_cast<std::int16_t>(std::atoi(value));
    else if (key == "title")
        copy_bounded(p.title, value, TITLE_SIZE);
    else {
        // Layer fields: thickness.N, lambda.N, delta.N, description.N (N from 1).
        std::size_t dot = key.find('.');
        if (dot == std::string::npos) return false;
        int slot = std::atoi(key.c_str() + dot + 1) - 1;
        if (slot < 0 || slot >= MAX_LAYERS) return false;
        Layer& layer = p.layers[slot];
        std::string field = key.substr(0, dot);
        if (field == "thickness")
            layer.thickness = number;
        else if (field == "lambda")
            layer.lambda = number;
        else if (field == "delta")
            layer.delta = number;
        else if (field == "description")
            copy_bounded(layer.description, value, DESCRIPTION_SIZE);
        else
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    static const char USAGE[] =
        "usage: make_data_file OUT [key=value ...]\n"
        "Writes the default record, with the fields named changed, to OUT.\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    // An option is never taken for the file to write.
    if (argc < 2 || argv[1][0] == '-') {
        std::fputs(USAGE, stderr);
        return 2;
    }
    Partition p;
    for (int i = 2; i < argc; ++i) {
        const char* eq = std::strchr(argv[i], '=');
        if (eq == nullptr ||
            !set_field(p, std::string(argv[i], static_cast<std::size_t>(eq - argv[i])), eq + 1)) {
            std::fprintf(stderr, "make_data_file: cannot set %s\n", argv[i]);
            return 2;
        }
    }
    return write_data_file_as_is(p, argv[1]) == 0 ? 0 : 1;
}
