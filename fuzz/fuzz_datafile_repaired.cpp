// Any payload behind a repaired header and checksum, so that the fuzzer gets
// past the checksum: read, edit, calculate and save again what was read.
#include <string>

#include "core/numfmt.h"
#include "fuzz/fuzz_common.h"

namespace {

// Short inputs are completed with the default record, so small mutations
// already make a whole file.
void build_file(const std::uint8_t* data, std::size_t size, std::uint8_t* file) {
    const Partition defaults;
    std::memcpy(file + HEADER_SIZE, static_cast<const PartitionInput*>(&defaults), PAYLOAD_SIZE);
    for (std::size_t i = HEADER_SIZE; i < DATA_FILE_SIZE; ++i) file[i] ^= 0x80;
    std::memcpy(file, data, size < DATA_FILE_SIZE ? size : DATA_FILE_SIZE);
    std::memcpy(file, "QDAT\x01\x00", 6);
    const std::uint32_t sum = data_checksum(file + HEADER_SIZE, PAYLOAD_SIZE);
    std::memcpy(file + 8, &sum, sizeof sum);
}

void exercise_fields(Partition& p, std::uint8_t selector) {
    for (int id = 0; id <= 13; ++id) {
        for (int layer = -1; layer <= MAX_LAYERS; ++layer) {
            FieldCheck out;
            check_field(p, static_cast<FieldId>(id), nullptr, out, layer, '.');
            require(out.kind <= CHECK_LIMIT);
        }
    }
    static const char* const masks[] = {
        "0.0",         "0.00", "0.000", "0.0000", "0.0###", "0.0##########", " 0.00",
        "+0.00;-0.00", "0.#",  "0.##",  "0.###",  "0.####", "0.###########"};
    const char sep = selector & 1 ? ',' : '.';
    const double values[] = {p.temp_int, p.radius, p.layers[0].thickness, p.layers[10].delta};
    for (double v : values) {
        for (const char* m : masks) {
            const std::string text = format_number(m, v, sep);
            double back;
            // Whatever a finite value shows must read back as a number.
            if (std::isfinite(v)) require(parse_number(text.c_str(), sep, back));
        }
    }
    total_thickness(p);
    const int at = static_cast<int>(selector % 16) - 2;
    if (selector & 0x10) {
        insert_layer(p, at);
    } else if (selector & 0x20) {
        delete_layer(p, at);
    }
    require(layer_at(p, at) == nullptr || (at >= 0 && at < MAX_LAYERS));
    set_layer_description(p, "fuzz", at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile in("in");
    static const ScratchFile out("out");
    std::uint8_t file[DATA_FILE_SIZE];
    build_file(data, size, file);
    in.put(file, sizeof file);

    Partition p;
    require(read_data_file(p, in.path()) == 0);
    char title[TITLE_SIZE];
    read_data_file_title(in.path(), title, sizeof title);
    require(std::strlen(title) < TITLE_SIZE);

    const std::uint8_t selector = size > DATA_FILE_SIZE ? data[DATA_FILE_SIZE] : 0;
    exercise_fields(p, selector);

    const bool valid = calculate_partition(p);
    if (valid) check_results(p);
    const int saved = write_data_file(p, out.path());
    require(saved == (valid ? 0 : 2));
    if (saved == 0) {
        Partition back;
        require(read_data_file(back, out.path()) == 0);
        require(same_input(back, p));
        require(calculate_partition(back));
        require(back.k == p.k);
    }
    return 0;
}
