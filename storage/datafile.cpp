#include "storage/datafile.h"

#include <strings.h>
#include <unistd.h>

#include <cstring>

#include "storage/atomic_file.h"
#include "storage/io.h"

namespace {

constexpr std::uint8_t MAGIC[4] = {'Q', 'D', 'A', 'T'};
constexpr std::int16_t VERSION = 1;

void transform(std::uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) bytes[i] ^= 0x80;
}

bool has_data_extension(const char* path) {
    const char* leaf = std::strrchr(path, '/');
    leaf = leaf ? leaf + 1 : path;
    const char* dot = std::strrchr(leaf, '.');
    return dot != nullptr && ::strcasecmp(dot, ".PAR") == 0;
}

}  // namespace

// Fletcher-style sums modulo 65535: a += x, b += a; result b * 65536 + a.
std::uint32_t data_checksum(const std::uint8_t* bytes, std::size_t length) {
    std::uint32_t a = 0, b = 0;
    for (std::size_t i = 0; i < length; ++i) {
        a = (a + bytes[i]) % 65535u;
        b = (b + a) % 65535u;
    }
    return b * 65536u + a;
}

ReadResult read_data_file(Partition& target, const char* path) {
    const int fd = open_regular_file(path);
    if (fd < 0) return READ_CANNOT_OPEN;
    std::uint8_t file[DATA_FILE_SIZE];
    const std::size_t got = read_full(fd, file, sizeof file);
    ::close(fd);

    if (got < HEADER_SIZE || std::memcmp(file, MAGIC, sizeof MAGIC) != 0) return READ_INVALID_FILE;
    std::int16_t version;
    std::memcpy(&version, file + 4, sizeof version);
    if (version != VERSION || got < DATA_FILE_SIZE) return READ_INVALID_FILE;
    std::uint32_t stored;
    std::memcpy(&stored, file + 8, sizeof stored);
    std::uint8_t* payload = file + HEADER_SIZE;
    if (data_checksum(payload, PAYLOAD_SIZE) != stored) return READ_INVALID_FILE;

    transform(payload, PAYLOAD_SIZE);
    std::memcpy(static_cast<PartitionInput*>(&target), payload, PAYLOAD_SIZE);
    target.modified = 0;
    return READ_DONE;
}

void encode_data_file(const PartitionInput& source, std::uint8_t out[DATA_FILE_SIZE]) {
    std::memset(out, 0, DATA_FILE_SIZE);
    std::memcpy(out, MAGIC, sizeof MAGIC);
    std::memcpy(out + 4, &VERSION, sizeof VERSION);
    std::uint8_t* payload = out + HEADER_SIZE;
    std::memcpy(payload, &source, PAYLOAD_SIZE);
    transform(payload, PAYLOAD_SIZE);
    const std::uint32_t sum = data_checksum(payload, PAYLOAD_SIZE);
    std::memcpy(out + 8, &sum, sizeof sum);
}

WriteResult write_data_file_as_is(const PartitionInput& source, const char* path) {
    if (path == nullptr || *path == '\0') return WRITE_FAILED;
    std::uint8_t file[DATA_FILE_SIZE];
    encode_data_file(source, file);
    // The old file stays as it was unless every byte reached the disk.
    AtomicFile out;
    if (!out.open(path)) return WRITE_FAILED;
    out.write(file, sizeof file);
    return out.commit() ? WRITE_DONE : WRITE_FAILED;
}

WriteResult write_data_file(Partition& source, const char* path) {
    if (!validate_partition(source)) return WRITE_INVALID_DATA;
    if (write_data_file_as_is(source, path) != WRITE_DONE) return WRITE_FAILED;
    source.modified = 0;
    return WRITE_DONE;
}

void read_data_file_title(const char* path, char* out, std::size_t n) {
    if (out == nullptr || n == 0) return;
    copy_bounded(out, "", n);
    if (path == nullptr || *path == '\0' || !has_data_extension(path)) return;
    Partition scratch;
    if (read_data_file(scratch, path) != READ_DONE) return;
    // The stored title need not end in a NUL: take no more than its 80 characters.
    char title[TITLE_SIZE];
    std::memcpy(title, scratch.title, TITLE_SIZE);
    title[TITLE_SIZE - 1] = '\0';
    copy_bounded(out, title, n);
}
