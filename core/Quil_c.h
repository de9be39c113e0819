// The calculation core: the one partition document, its limits and checks,
// the thermal and vapour calculations. No Qt here.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "lang/shown_text.h"  // shown_as_is, for copy_shown's callers

constexpr int MAX_LAYERS = 11;
constexpr int MAX_PLANES = MAX_LAYERS + 1;
constexpr std::size_t TITLE_SIZE = 81;        // 80 characters and a NUL
constexpr std::size_t DESCRIPTION_SIZE = 37;  // 36 characters and a NUL
constexpr std::size_t PATH_SIZE = 260;

// One layer slot; its bytes are the 64-byte slot of the data file.
struct Layer {
    char description[DESCRIPTION_SIZE];
    std::uint8_t padding[3];
    double thickness;  // m
    double lambda;     // W/(m·K)
    double delta;      // g/(m·h·hPa)
};
static_assert(sizeof(Layer) == 64);

// The input part, laid out exactly as the 872-byte data-file payload.
struct PartitionInput {
    std::int16_t layer_count;
    std::int16_t calc_mode;  // 0 thermal, 1 thermal and dampness
    std::int16_t wall_type;  // 0 straight, 1 curved
    std::uint8_t padding0[2];
    double temp_int;
    double temp_ext;
    double hum_int;
    double hum_ext;
    double res_int;
    double res_ext;
    double diff_int;
    double diff_ext;
    double radius;
    char title[TITLE_SIZE];
    std::uint8_t padding1[7];
    Layer layers[MAX_LAYERS];
};
static_assert(sizeof(PartitionInput) == 872);
// The record is the file payload byte for byte: little-endian, IEEE doubles.
static_assert(std::endian::native == std::endian::little);
static_assert(std::numeric_limits<double>::is_iec559);
static_assert(offsetof(Layer, thickness) == 40);
static_assert(offsetof(Layer, lambda) == 48);
static_assert(offsetof(Layer, delta) == 56);
static_assert(offsetof(PartitionInput, calc_mode) == 2);
static_assert(offsetof(PartitionInput, wall_type) == 4);
static_assert(offsetof(PartitionInput, temp_int) == 8);
static_assert(offsetof(PartitionInput, temp_ext) == 16);
static_assert(offsetof(PartitionInput, hum_int) == 24);
static_assert(offsetof(PartitionInput, hum_ext) == 32);
static_assert(offsetof(PartitionInput, res_int) == 40);
static_assert(offsetof(PartitionInput, res_ext) == 48);
static_assert(offsetof(PartitionInput, diff_int) == 56);
static_assert(offsetof(PartitionInput, diff_ext) == 64);
static_assert(offsetof(PartitionInput, radius) == 72);
static_assert(offsetof(PartitionInput, title) == 80);
static_assert(offsetof(PartitionInput, layers) == 168);

struct Partition : PartitionInput {
    std::uint8_t modified;
    double k;
    double temp_span;
    double press_span;
    double temp_min;
    double press_min;
    double temp[MAX_PLANES];
    double press_real[MAX_PLANES];
    double press_sat[MAX_PLANES];

    // Zero-filled, then the default input; modified 0, every result 0.
    Partition();
};
static_assert(std::is_trivially_copyable_v<Partition>);  // copied byte for byte

constexpr std::size_t PAYLOAD_SIZE = sizeof(PartitionInput);

// --- the record and its operations ---------------------------------------
void partition_defaults(Partition& p);
double total_thickness(const Partition& p);
Layer* layer_at(Partition& p, int i);
const Layer* layer_at(const Partition& p, int i);
void set_title(Partition& p, const char* text);
void set_layer_description(Partition& p, const char* text, int i);
void copy_bounded(char* dst, const char* src, std::size_t n);
// copy_bounded, every byte not shown as it is becoming "?": what the report,
// the screen and the printer show of a title or description. The record
// keeps its bytes, and typing back what is shown changes nothing.
void copy_shown(char* dst, const char* src, std::size_t n);
void set_calc_mode(Partition& p, int v);
void set_wall_type(Partition& p, int v);
bool delete_layer(Partition& p, int i);
bool insert_layer(Partition& p, int i);
// The number of layer slots in use that may be addressed: layer_count
// clamped to 0..MAX_LAYERS, whatever a data file put there.
int used_layers(const Partition& p);

// --- limits and validation ------------------------------------------------
enum FieldId : std::uint8_t {
    FLD_TEMP_EXT = 0,
    FLD_TEMP_INT = 1,
    FLD_RES_EXT = 2,
    FLD_RES_INT = 3,
    FLD_HUM_EXT = 4,
    FLD_HUM_INT = 5,
    FLD_DIFF_EXT = 6,
    FLD_DIFF_INT = 7,
    FLD_RADIUS = 8,
    FLD_THICKNESS = 10,
    FLD_LAMBDA = 11,
    FLD_DELTA = 12,
};

enum CheckKind : std::uint8_t {
    CHECK_OK = 0,
    CHECK_INVALID = 1,
    CHECK_SUSPECT = 2,
    CHECK_LIMIT = 3,
};

struct RangeCheck {
    std::uint8_t check_limits = 1;
    std::uint8_t check_suspect = 0;
    double min = 0.0;
    double suspect_low = 0.0;
    double suspect_high = 0.0;
    double max = 0.0;
};

struct FieldCheck {
    std::uint8_t kind = CHECK_OK;
    std::uint8_t error = 0;
    std::uint8_t flagged = 0;
    double low = 0.0;
    double high = 0.0;
};

FieldCheck range_check(const RangeCheck& check, double value);
// Parses `text` with `decimal_sep` (null text: classifies the stored value),
// classifies and stores. Returns whether the record changed.
bool check_field(Partition& p, FieldId id, const char* text, FieldCheck& out, int layer_index,
                 char decimal_sep);
bool validate_partition(Partition& p);
// The limits of a field (`layer_index` 0-based for the layer values); false
// for a field that does not exist.
bool field_limits(const Partition& p, FieldId id, int layer_index, double& low, double& high);

// --- calculations ---------------------------------------------------------
bool calculate_partition(Partition& p);
void series_distribution(const Partition& p, double outer, double inner, double value_outer,
                         double value_inner, const double coef[], double& total, double values[]);

// The resistances of the series, each per square metre of the external surface:
// in a curved partition a layer counts R ln(r_o/r_in)/coef, the external film as
// it is and the internal film inner * R / r_n. `sum` adds them from the outside in.
struct SeriesResistances {
    int count = 0;  // layers
    double outer = 0.0;
    double layer[MAX_LAYERS] = {};
    double inner = 0.0;
    double sum = 0.0;
};
void referred_resistances(const Partition& p, double outer, double inner, const double coef[],
                          SeriesResistances& out);
// values[0..count]: the plane values between value_outer (outside the external film)
// and value_inner (beyond the internal one); returns 1 / sum.
double series_values(const SeriesResistances& s, double value_outer, double value_inner,
                     double values[]);
double curvature_factor(double x);

struct SaturationPoint {
    double t;  // °C
    double p;  // hPa
};
extern const SaturationPoint SATURATION_TABLE[101];
double saturation_pressure(double t);
