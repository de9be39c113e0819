// A year of monthly climate for the moisture assessment. No Qt here.
#pragma once

#include <array>

constexpr int MONTHS = 12;

struct ClimateMonth {
    double theta_e = 0.0;  // external air temperature, °C
    double phi_e = 0.0;    // external relative humidity, %
    double theta_i = 0.0;  // internal air temperature, °C
    double phi_i = 0.0;    // internal relative humidity, %; unused with a humidity class
};

struct Climate {
    std::array<ClimateMonth, MONTHS> months{};  // January first
    int humidity_class = 0;                     // 0: phi_i given; 1..5: internal humidity class
};

// Which maximum U the partition is judged against; None: no limit asked for.
enum class PartitionKind : int {
    None = 0,
    ExternalWall,
    Roof,
    FloorOverUnheated,
    FloorOnGround,
    InternalWall,
};

// The names used by the project file and the command line's --kind: "none",
// "external_wall", "roof", "floor_over_unheated", "floor_on_ground", "internal_wall".
const char* partition_kind_name(PartitionKind kind);
// False (and `out` untouched) for a name that is not one of the above.
bool parse_partition_kind(const char* name, PartitionKind& out);

struct AssessmentSettings {
    PartitionKind kind = PartitionKind::None;
};
