// A year of monthly climate for the moisture assessment. No Qt here.
#pragma once

#include <array>

constexpr int MONTHS = 12;

// What a month's climate may hold, wherever it comes from (a climate file, a
// project file, the climate grid) and before it is assessed: θ in °C, φ in %.
constexpr double CLIMATE_THETA_MIN = -50.0;
constexpr double CLIMATE_THETA_MAX = 60.0;
constexpr double CLIMATE_PHI_MIN = 1.0;
constexpr double CLIMATE_PHI_MAX = 100.0;
// Internal humidity classes 1..HUMIDITY_CLASSES; 0 means φi is given.
constexpr int HUMIDITY_CLASSES = 5;

// False for NaN too.
constexpr bool climate_theta_ok(double theta) {
    return theta >= CLIMATE_THETA_MIN && theta <= CLIMATE_THETA_MAX;
}
constexpr bool climate_phi_ok(double phi) {
    return phi >= CLIMATE_PHI_MIN && phi <= CLIMATE_PHI_MAX;
}

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
