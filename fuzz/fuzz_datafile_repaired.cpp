// Any payload behind a repaired header and checksum, so that the fuzzer gets
// past the checksum: read, edit, calculate, report and save again what was read.
#include <sys/mman.h>

#include <string>
#include <vector>

#include "core/numfmt.h"
#include "fuzz/fuzz_common.h"
#include "lang/catalogue.h"
#include "output/report.h"
#include "storage/clock.h"
#include "storage/datafile.h"

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

// Every line ends in CR LF, and no line holds a byte that could break it or
// drive a terminal, whatever the title and the descriptions hold.
void require_clean_lines(const std::string& text) {
    require(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            require(i + 1 < text.size() && text[i + 1] == '\n');
            ++i;
        } else {
            require(shown_as_is(c));
        }
    }
}

// The report in both languages and with both separators; once also to a
// file through the atomic writer, which must hold the same bytes. A record
// that fails validation is never reported by the program: one report of it
// must still neither crash nor hold a bad line.
void exercise_report(const Partition& p, bool valid, const ScratchFile& file) {
    static const int fd = memfd_create("parieta-report", MFD_CLOEXEC);
    require(fd >= 0);
    const std::int8_t language = get_language();
    const FixedClock clock(LocalTime{2000, 7, 3, 9, 5, 1});
    for (std::int8_t lang : {LANG_ENGLISH, LANG_POLISH}) {
        set_language(lang);
        for (char sep : {'.', ','}) {
            const ReportContext ctx{sep, &clock};
            if (!valid && (lang != LANG_ENGLISH || sep != '.')) continue;
            require(ftruncate(fd, 0) == 0 && lseek(fd, 0, SEEK_SET) == 0);
            const int r = write_report_fd(p, fd, ctx);
            if (valid) require(r == 0);
            if (r != 0) continue;
            std::string text(static_cast<std::size_t>(lseek(fd, 0, SEEK_CUR)), '\0');
            require(pread(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
            require_clean_lines(text);
            if (!valid || sep == ',' || lang != LANG_ENGLISH) continue;
            require(write_report(p, file.path(), ctx) == 0);
            std::string written(text.size() + 1, '\0');
            const int in = ::open(file.path(), O_RDONLY | O_CLOEXEC);
            require(in >= 0);
            const ssize_t got = read(in, written.data(), written.size());
            ::close(in);
            require(got == static_cast<ssize_t>(text.size()) &&
                    written.compare(0, text.size(), text) == 0);
        }
    }
    set_language(language);
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
    static const ScratchFile report("report");
    exercise_report(p, valid, report);
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
