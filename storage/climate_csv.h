// The climate file: UTF-8 CSV, a header and twelve monthly rows.
//
//   month,theta_e,phi_e,theta_i,phi_i            (internal relative humidity given)
//   month,theta_e,phi_e,theta_i,humidity_class   (internal humidity class 1..5)
//
// θ in °C, φ in %, in the climate's limits (core/climate.h), the decimal point ".". "#" starts a
// comment to the line's end; blank lines, CRLF and a UTF-8 byte-order mark are accepted.
// Months 1..12 once each, in any order; the humidity class is the same in every row. No Qt here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/climate.h"

enum class ClimateCsvError : std::uint8_t {
    None = 0,
    CannotOpen,
    TooLarge,
    NotUtf8,
    NoHeader,
    BadHeader,
    FieldCount,
    BadNumber,
    BadMonth,
    RepeatedMonth,
    TooManyRows,
    MissingMonth,
    ThetaRange,
    PhiRange,
    BadClass,
    ClassDiffers,
    ClassSaturates,
};

struct ClimateCsvResult {
    ClimateCsvError error = ClimateCsvError::None;
    int line = 0;            // from 1; 0 for the file as a whole
    int column = 0;          // in characters, from 1
    int month = 0;           // 1..12, for the errors that name one
    std::string expected;    // the header column expected, for BadHeader
    int humidity_class = 0;  // for ClassSaturates: the class,
    double p_i = 0.0;        // the internal vapour pressure it gives, Pa,
    double p_sat = 0.0;      // and saturation at θi, Pa
};

constexpr std::size_t CLIMATE_FILE_LIMIT = 1 << 20;

// Parses `size` bytes. On any error `out` is left as it was.
bool parse_climate_csv(const char* data, std::size_t size, Climate& out, ClimateCsvResult& result);
// Reads and parses a file; CannotOpen when it cannot be opened or read or is not a regular
// file (a pipe or a device is never waited for).
bool read_climate_file(const char* path, Climate& out, ClimateCsvResult& result);

// The climate as a file the reader takes back: the header of its form, then the months in
// calendar order, values to four decimals.
std::string climate_csv_text(const Climate& climate);

// The message in the current language, UTF-8: "PATH:LINE:COLUMN: text", or "PATH: text" for
// the file as a whole.
std::string climate_error_message(const ClimateCsvResult& result, const char* path);
