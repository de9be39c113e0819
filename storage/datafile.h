// The data file: a 12-byte header ("QDAT", version 1, checksum) and the
// record's input part, every byte's top bit inverted. No Qt here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Quil_c.h"
#include "lang/result_codes.h"

constexpr std::size_t HEADER_SIZE = 12;
constexpr std::size_t DATA_FILE_SIZE = HEADER_SIZE + PAYLOAD_SIZE;

std::uint32_t data_checksum(const std::uint8_t* bytes, std::size_t length);
ReadResult read_data_file(Partition& target, const char* path);
WriteResult write_data_file(Partition& source, const char* path);
// The whole file for `source` as it stands, unchecked: header, transform, checksum.
void encode_data_file(const PartitionInput& source, std::uint8_t out[DATA_FILE_SIZE]);
// Writes `source` as it stands, without validation, for a converter that must
// keep what another file held; never WRITE_INVALID_DATA (the old file stays
// when it fails).
WriteResult write_data_file_as_is(const PartitionInput& source, const char* path);
void read_data_file_title(const char* path, char* out, std::size_t n);
