#include "storage/project_file.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>
#include <unordered_set>
#include <vector>

#include "lang/shown_text.h"
#include "storage/atomic_file.h"
#include "storage/cp1250.h"
#include "storage/io.h"
#include "storage/json_limits.h"

namespace {

// Read into a map: an object of many keys costs n log n, where the ordered
// kind looks through every key it holds for each one it adds.
using Json = nlohmann::json;
// Written with the keys in the order they are set, so the file reads like the record.
using OrderedJson = nlohmann::ordered_json;

constexpr const char* FORMAT_NAME = "parieta-project";

// Thrown inside this file only; the public functions turn it into `error`.
struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& where, const std::string& what) {
    throw Refusal{where.empty() ? what : where + ": " + what};
}

std::string member(const std::string& parent, const std::string& key) {
    return parent.empty() ? key : parent + "." + key;
}

std::string element(const std::string& parent, std::size_t i) {
    return parent + "[" + std::to_string(i) + "]";
}

std::string number_text(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string found(const Json& j) {
    switch (j.type()) {
        case Json::value_t::null:
            return "null";
        case Json::value_t::object:
            return "an object";
        case Json::value_t::array:
            return "an array";
        case Json::value_t::string:
            return "a string";
        case Json::value_t::boolean:
            return j.get<bool>() ? "true" : "false";
        default:
            return j.dump();
    }
}

// --- reading ----------------------------------------------------------------

// An object whose keys are taken one by one; done() refuses the rest, so a
// misspelt key is named instead of silently ignored.
class ObjectReader {
public:
    ObjectReader(const Json& j, std::string path) : j_(j), path_(std::move(path)) {
        if (!j.is_object()) refuse(path_, "expected an object, found " + found(j));
    }
    const Json* maybe(const char* key) {
        taken_.push_back(key);
        const auto it = j_.find(key);
        return it == j_.end() ? nullptr : &*it;
    }
    const Json& need(const char* key) {
        const Json* v = maybe(key);
        if (v == nullptr) refuse(path_, std::string("the key \"") + key + "\" is missing");
        return *v;
    }
    void done() const {
        for (const auto& item : j_.items()) {
            bool known = false;
            for (const char* k : taken_) known = known || item.key() == k;
            if (!known) refuse(path(item.key()), "unknown key");
        }
    }
    std::string path(const std::string& key) const { return member(path_, key); }
    const std::string& path() const { return path_; }

private:
    const Json& j_;
    std::string path_;
    std::vector<const char*> taken_;
};

double number(const Json& j, const std::string& path) {
    if (!j.is_number()) refuse(path, "expected a number, found " + found(j));
    const double v = j.get<double>();
    if (!std::isfinite(v)) refuse(path, "the number is too large");
    return v;
}

double number(ObjectReader& o, const char* key) { return number(o.need(key), o.path(key)); }

double in_range(double v, const std::string& path, double low, double high, const char* unit) {
    if (!(v >= low && v <= high)) {
        refuse(path, number_text(v) + " is outside " + number_text(low) + " to " +
                         number_text(high) + " " + unit);
    }
    return v;
}

// A month's climate values, in the climate's limits.
double theta(double v, const std::string& path) {
    return in_range(v, path, CLIMATE_THETA_MIN, CLIMATE_THETA_MAX, "°C");
}
double phi(double v, const std::string& path) {
    return in_range(v, path, CLIMATE_PHI_MIN, CLIMATE_PHI_MAX, "%");
}
double theta(ObjectReader& o, const char* key) { return theta(number(o, key), o.path(key)); }
double phi(ObjectReader& o, const char* key) { return phi(number(o, key), o.path(key)); }

long long integer(const Json& j, const std::string& path, long long low, long long high) {
    if (!j.is_number_integer()) refuse(path, "expected a whole number, found " + found(j));
    const bool too_big = j.is_number_unsigned() && j.get<std::uint64_t>() > 1ULL << 62;
    const long long v = too_big ? high + 1 : j.get<long long>();
    if (v < low || v > high) {
        refuse(path, (too_big ? j.dump() : std::to_string(v)) + " is outside " +
                         std::to_string(low) + " to " + std::to_string(high));
    }
    return v;
}

long long integer(ObjectReader& o, const char* key, long long low, long long high) {
    return integer(o.need(key), o.path(key), low, high);
}

// The character at `at` of valid UTF-8, as "ñ" (U+00F1).
std::string character_at(const std::string& s, std::size_t at) {
    const auto lead = static_cast<unsigned char>(s[at]);
    std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    n = std::min(n, s.size() - at);
    std::uint32_t cp = n == 1 ? lead : lead & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i)
        cp = cp << 6 | (static_cast<unsigned char>(s[at + i]) & 0x3F);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    return "\"" + s.substr(at, n) + "\" (" + code + ")";
}

// A text of the record: at most `room` Windows-1250 characters, no NUL.
std::string record_text(ObjectReader& o, const char* key, std::size_t room) {
    const Json& j = o.need(key);
    if (!j.is_string()) refuse(o.path(key), "expected a string, found " + found(j));
    const std::string& s = j.get_ref<const std::string&>();
    if (s.find('\0') != std::string::npos) refuse(o.path(key), "a NUL character cannot be kept");
    std::string out;
    std::size_t bad = 0;
    if (!utf8_to_cp1250(s, out, &bad)) {
        refuse(o.path(key), "the character " + character_at(s, bad) + " has no Windows-1250 form");
    }
    if (out.size() > room) {
        refuse(o.path(key), "longer than " + std::to_string(room) + " characters (" +
                                std::to_string(out.size()) + ")");
    }
    return out;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Kept bytes: hex digits, two a byte, at most `room` bytes (exactly, when `exact`).
std::string kept_bytes(const Json& j, const std::string& path, std::size_t room, bool exact) {
    if (!j.is_string()) refuse(path, "expected a string of hex digits, found " + found(j));
    const std::string& s = j.get_ref<const std::string&>();
    const std::size_t digits = s.size();
    if (digits % 2 != 0) refuse(path, "an odd number of hex digits");
    if (exact ? digits != 2 * room : digits > 2 * room) {
        refuse(path, std::to_string(digits / 2) + " bytes, where " + (exact ? "" : "at most ") +
                         std::to_string(room) + " fit");
    }
    std::string out(digits / 2, '\0');
    for (std::size_t i = 0; i < digits; i += 2) {
        const int hi = hex_digit(s[i]), lo = hex_digit(s[i + 1]);
        if (hi < 0 || lo < 0) refuse(path, "\"" + s.substr(i, 2) + "\" is not a hex byte");
        out[i / 2] = static_cast<char>(hi << 4 | lo);
    }
    return out;
}

// An optional kept field, copied into `dst` (zeroed before); missing bytes stay 0.
void take_kept(ObjectReader& k, const char* key, void* dst, std::size_t room) {
    if (const Json* t = k.maybe(key)) {
        const std::string bytes = kept_bytes(*t, k.path(key), room, false);
        std::memcpy(dst, bytes.data(), bytes.size());
    }
}

void read_layer(const Json& j, const std::string& path, Layer& layer) {
    ObjectReader o(j, path);
    const std::string description = record_text(o, "description", DESCRIPTION_SIZE - 1);
    std::memcpy(layer.description, description.data(), description.size());
    layer.thickness = number(o, "thickness");
    layer.lambda = number(o, "lambda");
    layer.delta = number(o, "delta");
    if (const Json* kept = o.maybe("kept")) {
        ObjectReader k(*kept, o.path("kept"));
        take_kept(k, "description_tail", layer.description + description.size() + 1,
                  DESCRIPTION_SIZE - 1 - description.size());
        take_kept(k, "after_description", layer.padding, sizeof layer.padding);
        k.done();
    }
    o.done();
}

// Slots not in use hold the default record's slots unless the file keeps others.
void read_unused_slots(const Json& j, const std::string& path, PartitionInput& r) {
    if (!j.is_object()) refuse(path, "expected an object, found " + found(j));
    for (const auto& item : j.items()) {
        const std::string& key = item.key();
        const std::string where = member(path, key);
        int slot = -1;
        const auto parsed = std::from_chars(key.data(), key.data() + key.size(), slot);
        if (parsed.ec != std::errc() || parsed.ptr != key.data() + key.size() ||
            key != std::to_string(slot) || slot < 0 || slot >= MAX_LAYERS) {
            refuse(where, "not a slot number (0 to 10)");
        }
        if (slot < r.layer_count) {
            refuse(where, "slot " + key + " is in use (layer_count is " +
                              std::to_string(r.layer_count) + ")");
        }
        const std::string bytes = kept_bytes(item.value(), where, sizeof(Layer), true);
        std::memcpy(&r.layers[slot], bytes.data(), sizeof(Layer));
    }
}

// Every byte of `r` comes from the file or is 0, apart from the unused slots.
void read_partition(const Json& j, PartitionInput& r) {
    ObjectReader o(j, "partition");
    std::memset(&r, 0, sizeof r);
    r.layer_count = static_cast<std::int16_t>(integer(o, "layer_count", 1, MAX_LAYERS));
    r.calc_mode = static_cast<std::int16_t>(integer(o, "calc_mode", 0, 1));
    r.wall_type = static_cast<std::int16_t>(integer(o, "wall_type", 0, 1));
    r.temp_int = number(o, "temp_int");
    r.temp_ext = number(o, "temp_ext");
    r.hum_int = number(o, "hum_int");
    r.hum_ext = number(o, "hum_ext");
    r.res_int = number(o, "res_int");
    r.res_ext = number(o, "res_ext");
    r.diff_int = number(o, "diff_int");
    r.diff_ext = number(o, "diff_ext");
    r.radius = number(o, "radius");
    const std::string title = record_text(o, "title", TITLE_SIZE - 1);
    std::memcpy(r.title, title.data(), title.size());

    const Json& layers = o.need("layers");
    const std::string layers_path = o.path("layers");
    if (!layers.is_array()) refuse(layers_path, "expected an array, found " + found(layers));
    if (layers.size() != static_cast<std::size_t>(r.layer_count)) {
        refuse(layers_path, std::to_string(layers.size()) + " layers, but layer_count is " +
                                std::to_string(r.layer_count));
    }
    const Partition defaults;
    for (int i = 0; i < MAX_LAYERS; ++i) {
        if (i < r.layer_count) {
            const auto at = static_cast<std::size_t>(i);
            read_layer(layers[at], element(layers_path, at), r.layers[i]);
        } else {
            r.layers[i] = defaults.layers[i];
        }
    }

    if (const Json* kept = o.maybe("kept")) {
        ObjectReader k(*kept, o.path("kept"));
        take_kept(k, "after_wall_type", r.padding0, sizeof r.padding0);
        take_kept(k, "title_tail", r.title + title.size() + 1, TITLE_SIZE - 1 - title.size());
        take_kept(k, "after_title", r.padding1, sizeof r.padding1);
        if (const Json* slots = k.maybe("unused_slots"))
            read_unused_slots(*slots, k.path("unused_slots"), r);
        k.done();
    }
    o.done();
}

void read_climate(const Json& j, Climate& c) {
    c = Climate{};
    ObjectReader o(j, "climate");
    if (const Json* cls = o.maybe("humidity_class"))
        c.humidity_class =
            static_cast<int>(integer(*cls, o.path("humidity_class"), 1, HUMIDITY_CLASSES));
    const Json& months = o.need("months");
    const std::string months_path = o.path("months");
    if (!months.is_array()) refuse(months_path, "expected an array, found " + found(months));
    if (months.size() != MONTHS) {
        refuse(months_path, "expected 12 months, found " + std::to_string(months.size()));
    }
    for (std::size_t i = 0; i < MONTHS; ++i) {
        ObjectReader m(months[i], element(months_path, i));
        if (integer(m, "month", 1, MONTHS) != static_cast<long long>(i + 1)) {
            refuse(m.path("month"), "expected month " + std::to_string(i + 1) +
                                        " here: the months stand in calendar order");
        }
        ClimateMonth& month = c.months[i];
        month.theta_e = theta(m, "theta_e");
        month.phi_e = phi(m, "phi_e");
        month.theta_i = theta(m, "theta_i");
        if (c.humidity_class == 0) {
            month.phi_i = phi(m, "phi_i");
        } else if (m.maybe("phi_i") != nullptr) {
            refuse(m.path("phi_i"), "not used with a humidity class: give one or the other");
        }
        m.done();
    }
    o.done();
}

void read_settings(const Json& j, AssessmentSettings& s) {
    s = AssessmentSettings{};
    ObjectReader o(j, "assessment");
    const Json& kind = o.need("kind");
    if (!kind.is_string()) refuse(o.path("kind"), "expected a string, found " + found(kind));
    if (!parse_partition_kind(kind.get_ref<const std::string&>().c_str(), s.kind)) {
        // Past the last kind the name is "none" again.
        std::string names = partition_kind_name(PartitionKind::None);
        for (int i = 1; i < 64; ++i) {
            const char* name = partition_kind_name(static_cast<PartitionKind>(i));
            if (std::strcmp(name, "none") == 0) break;
            names += std::string(", ") + name;
        }
        refuse(o.path("kind"), kind.dump() + " is not a kind of partition (" + names + ")");
    }
    o.done();
}

// The parser lets the last of two equal keys win; a file with a key twice is
// refused instead. A pass of the SAX parser before the values are built: the
// parser's callback would cost far more on many small objects. The frames
// follow the parser for the message's path.
class DuplicateKeys : public nlohmann::json_sax<Json> {
public:
    bool null() override { return element_done(); }
    bool boolean(bool) override { return element_done(); }
    bool number_integer(number_integer_t) override { return element_done(); }
    bool number_unsigned(number_unsigned_t) override { return element_done(); }
    bool number_float(number_float_t, const string_t&) override { return element_done(); }
    bool string(string_t&) override { return element_done(); }
    bool binary(binary_t&) override { return element_done(); }
    bool start_object(std::size_t) override {
        frames_.push_back({false, 0, {}, {}});
        return true;
    }
    bool key(string_t& key) override {
        Frame& top = frames_.back();
        top.key = key;
        if (!top.keys.insert(key).second) refuse(path(), "the key \"" + key + "\" stands twice");
        return true;
    }
    bool end_object() override {
        frames_.pop_back();
        return element_done();
    }
    bool start_array(std::size_t) override {
        frames_.push_back({true, 0, {}, {}});
        return true;
    }
    bool end_array() override {
        frames_.pop_back();
        return element_done();
    }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& e) override {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..."
        // "[json.exception.out_of_range.406] number overflow parsing '1e400'"
        const std::string what = e.what();
        const std::size_t at = what.find(" at line ");
        const std::size_t id_end = what.find("] ");
        refuse("", "not JSON: " + (at != std::string::npos       ? what.substr(at + 4)
                                   : id_end != std::string::npos ? what.substr(id_end + 2)
                                                                 : what));
    }

private:
    struct Frame {
        bool array;
        std::size_t index;
        std::string key;
        std::unordered_set<std::string> keys;
    };
    bool element_done() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
        return true;
    }
    // The path of the innermost object, from its parents' keys and indices.
    std::string path() const {
        std::string p;
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            p = frames_[i].array ? element(p, frames_[i].index) : member(p, frames_[i].key);
        }
        return p;
    }
    std::vector<Frame> frames_;
};

void read_root(std::string_view text, Project& out) {
    JsonPosition at;
    if (const JsonLimit past = json_past_limits(text, at); past != JsonLimit::none) {
        refuse("", "not a project file: line " + std::to_string(at.line) + ", column " +
                       std::to_string(at.column) + ": " + json_limit_text(past));
    }
    DuplicateKeys duplicates;
    Json::sax_parse(text.begin(), text.end(), &duplicates);
    // The text is known to be JSON without repeated keys now.
    const Json root = Json::parse(text.begin(), text.end());
    if (!root.is_object())
        refuse("", "not a project file: expected an object, found " + found(root));
    ObjectReader o(root, "");
    const Json& format = o.need("format");
    if (!format.is_string() || format.get_ref<const std::string&>() != FORMAT_NAME) {
        refuse("format", std::string("not a project file: expected \"") + FORMAT_NAME +
                             "\", found " + (format.is_string() ? format.dump() : found(format)));
    }
    const Json& version = o.need("version");
    if (!version.is_number_integer())
        refuse("version", "expected a whole number, found " + found(version));
    if (version != PROJECT_FORMAT_VERSION) {
        refuse("version", version.dump() + " is not a version this program reads (it reads " +
                              std::to_string(PROJECT_FORMAT_VERSION) + ")");
    }
    read_partition(o.need("partition"), out.partition);
    const Json* climate = o.maybe("climate");
    out.has_climate = climate != nullptr && !climate->is_null();
    if (out.has_climate)
        read_climate(*climate, out.climate);
    else
        out.climate = Climate{};
    if (const Json* settings = o.maybe("assessment"))
        read_settings(*settings, out.settings);
    else
        out.settings = AssessmentSettings{};
    o.done();
    out.partition.modified = 0;
}

// --- writing ----------------------------------------------------------------

std::string hex(const void* data, std::size_t n) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    const auto* b = static_cast<const std::uint8_t*>(data);
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += DIGITS[b[i] >> 4];
        s += DIGITS[b[i] & 15];
    }
    return s;
}

// Kept bytes without their trailing zeros, which are what a missing byte means.
void put_kept(OrderedJson& kept, const char* key, const void* data, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(data);
    while (n > 0 && b[n - 1] == 0) --n;
    if (n > 0) kept[key] = hex(data, n);
}

double finite(double v, const std::string& path) {
    if (!std::isfinite(v)) refuse(path, "not a finite number; a project file cannot keep it");
    return v;
}

// A text of the record in UTF-8; `tail` gets the bytes after its NUL.
std::string utf8_text(const char* buffer, std::size_t size, const std::string& path,
                      const char** tail) {
    const void* nul = std::memchr(buffer, '\0', size);
    if (nul == nullptr) {
        refuse(path, "has no end within its " + std::to_string(size) +
                         " bytes; a project file cannot keep it");
    }
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer);
    std::string out;
    std::size_t bad = 0;
    if (!cp1250_to_utf8(std::string_view(buffer, length), out, &bad)) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(buffer[bad]));
        refuse(path, std::string("the byte ") + byte + " is no Windows-1250 character");
    }
    *tail = buffer + length + 1;
    return out;
}

OrderedJson layer_json(const Layer& layer, const std::string& path) {
    OrderedJson j = OrderedJson::object();
    const char* tail = nullptr;
    j["description"] =
        utf8_text(layer.description, DESCRIPTION_SIZE, member(path, "description"), &tail);
    j["thickness"] = finite(layer.thickness, member(path, "thickness"));
    j["lambda"] = finite(layer.lambda, member(path, "lambda"));
    j["delta"] = finite(layer.delta, member(path, "delta"));
    OrderedJson kept = OrderedJson::object();
    put_kept(kept, "description_tail", tail,
             static_cast<std::size_t>(layer.description + DESCRIPTION_SIZE - tail));
    put_kept(kept, "after_description", layer.padding, sizeof layer.padding);
    if (!kept.empty()) j["kept"] = std::move(kept);
    return j;
}

OrderedJson partition_json(const PartitionInput& r) {
    const std::string path = "partition";
    auto whole = [&](const char* key, std::int16_t v, int low, int high) {
        if (v < low || v > high) {
            refuse(member(path, key), std::to_string(v) + " is outside " + std::to_string(low) +
                                          " to " + std::to_string(high) +
                                          "; a project file cannot keep it");
        }
        return v;
    };
    OrderedJson j = OrderedJson::object();
    j["layer_count"] = whole("layer_count", r.layer_count, 1, MAX_LAYERS);
    j["calc_mode"] = whole("calc_mode", r.calc_mode, 0, 1);
    j["wall_type"] = whole("wall_type", r.wall_type, 0, 1);
    const std::pair<const char*, double> values[] = {
        {"temp_int", r.temp_int}, {"temp_ext", r.temp_ext}, {"hum_int", r.hum_int},
        {"hum_ext", r.hum_ext},   {"res_int", r.res_int},   {"res_ext", r.res_ext},
        {"diff_int", r.diff_int}, {"diff_ext", r.diff_ext}, {"radius", r.radius},
    };
    for (const auto& [key, v] : values) j[key] = finite(v, member(path, key));
    const char* title_tail = nullptr;
    j["title"] = utf8_text(r.title, TITLE_SIZE, member(path, "title"), &title_tail);
    OrderedJson layers = OrderedJson::array();
    for (int i = 0; i < r.layer_count; ++i) {
        layers.push_back(
            layer_json(r.layers[i], element(member(path, "layers"), static_cast<std::size_t>(i))));
    }
    j["layers"] = std::move(layers);

    OrderedJson kept = OrderedJson::object();
    put_kept(kept, "after_wall_type", r.padding0, sizeof r.padding0);
    put_kept(kept, "title_tail", title_tail,
             static_cast<std::size_t>(r.title + TITLE_SIZE - title_tail));
    put_kept(kept, "after_title", r.padding1, sizeof r.padding1);
    const Partition defaults;
    OrderedJson slots = OrderedJson::object();
    for (int i = r.layer_count; i < MAX_LAYERS; ++i) {
        if (std::memcmp(&r.layers[i], &defaults.layers[i], sizeof(Layer)) != 0)
            slots[std::to_string(i)] = hex(&r.layers[i], sizeof(Layer));
    }
    if (!slots.empty()) kept["unused_slots"] = std::move(slots);
    if (!kept.empty()) j["kept"] = std::move(kept);
    return j;
}

OrderedJson climate_json(const Climate& c) {
    OrderedJson j = OrderedJson::object();
    if (c.humidity_class < 0 || c.humidity_class > HUMIDITY_CLASSES) {
        refuse("climate.humidity_class", std::to_string(c.humidity_class) + " is outside 0 to " +
                                             std::to_string(HUMIDITY_CLASSES));
    }
    if (c.humidity_class != 0) j["humidity_class"] = c.humidity_class;
    OrderedJson months = OrderedJson::array();
    for (std::size_t i = 0; i < MONTHS; ++i) {
        const ClimateMonth& m = c.months[i];
        const std::string path = element("climate.months", i);
        OrderedJson month = OrderedJson::object();
        month["month"] = i + 1;
        month["theta_e"] = theta(m.theta_e, member(path, "theta_e"));
        month["phi_e"] = phi(m.phi_e, member(path, "phi_e"));
        month["theta_i"] = theta(m.theta_i, member(path, "theta_i"));
        if (c.humidity_class == 0) month["phi_i"] = phi(m.phi_i, member(path, "phi_i"));
        months.push_back(std::move(month));
    }
    j["months"] = std::move(months);
    return j;
}

OrderedJson settings_json(const AssessmentSettings& s) {
    const char* name = partition_kind_name(s.kind);
    PartitionKind back;
    if (!parse_partition_kind(name, back) || back != s.kind) {
        refuse("assessment.kind",
               std::to_string(static_cast<int>(s.kind)) + " is not a kind of partition");
    }
    OrderedJson j = OrderedJson::object();
    j["kind"] = name;
    return j;
}

// --- files ------------------------------------------------------------------

// 0 read, 1 cannot be opened, 2 too large.
int read_whole_file(const char* path, std::string& text) {
    const int fd = open_regular_file(path);
    if (fd < 0) return 1;
    text.assign(PROJECT_FILE_MAX_SIZE + 1, '\0');
    text.resize(read_full(fd, text.data(), text.size()));
    ::close(fd);
    return text.size() > PROJECT_FILE_MAX_SIZE ? 2 : 0;
}

}  // namespace

bool parse_project(std::string_view text, Project& out, std::string& error) {
    Project scratch;
    try {
        read_root(text, scratch);
    } catch (const Refusal& r) {
        // Keys and texts of the file are quoted: shown, never raw.
        error = shown_text(r.message);
        return false;
    } catch (const std::exception& e) {
        error = shown_text(std::string("not a project file: ") + e.what());
        return false;
    }
    out = scratch;
    return true;
}

bool format_project(const Project& in, std::string& text, std::string& error) {
    try {
        OrderedJson root = OrderedJson::object();
        root["format"] = FORMAT_NAME;
        root["version"] = PROJECT_FORMAT_VERSION;
        root["partition"] = partition_json(in.partition);
        root["climate"] = in.has_climate ? climate_json(in.climate) : OrderedJson(nullptr);
        root["assessment"] = settings_json(in.settings);
        text = root.dump(2) + "\n";
    } catch (const Refusal& r) {
        error = r.message;
        return false;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}

ReadResult read_project(const char* path, Project& out, std::string& error) {
    std::string text;
    switch (read_whole_file(path, text)) {
        case 0:
            break;
        case 1:
            error = "cannot be opened";
            return READ_CANNOT_OPEN;
        default:
            error = "larger than " + std::to_string(PROJECT_FILE_MAX_SIZE) +
                    " bytes: not a project file";
            return READ_INVALID_FILE;
    }
    return parse_project(text, out, error) ? READ_DONE : READ_INVALID_FILE;
}

WriteResult write_project(const char* path, const Project& in, std::string& error) {
    std::string text;
    if (!format_project(in, text, error)) return WRITE_INVALID_DATA;
    AtomicFile out;
    if (path == nullptr || *path == '\0' || !out.open(path)) {
        error = "cannot be written";
        return WRITE_FAILED;
    }
    out.write(text.data(), text.size());
    if (!out.commit()) {
        error = "cannot be written";
        return WRITE_FAILED;
    }
    return WRITE_DONE;
}

bool read_project_file(const char* path, Partition& p, Climate& c, AssessmentSettings& s,
                       std::string& error) {
    Project scratch;
    if (read_project(path, scratch, error) != READ_DONE) return false;
    if (!scratch.has_climate) {
        error = "climate: null; this project holds no climate yet";
        return false;
    }
    static_cast<PartitionInput&>(p) = scratch.partition;
    p.modified = 0;
    c = scratch.climate;
    s = scratch.settings;
    return true;
}

bool write_project_file(const char* path, const Partition& p, const Climate& c,
                        const AssessmentSettings& s, std::string& error) {
    Project project;
    static_cast<PartitionInput&>(project.partition) = p;
    project.climate = c;
    project.has_climate = true;
    project.settings = s;
    return write_project(path, project, error) == WRITE_DONE;
}

bool looks_like_project_text(std::string_view head) {
    if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
    const std::size_t first = head.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos || head[first] != '{') return false;
    const std::size_t key = head.find("\"format\"");
    if (key == std::string_view::npos) return false;
    const std::size_t colon = head.find_first_not_of(" \t\r\n", key + 8);
    if (colon == std::string_view::npos || head[colon] != ':') return false;
    const std::size_t value = head.find_first_not_of(" \t\r\n", colon + 1);
    const std::string quoted = std::string("\"") + FORMAT_NAME + "\"";
    return value != std::string_view::npos && head.substr(value, quoted.size()) == quoted;
}

bool looks_like_project_file(const char* path) {
    const int fd = open_regular_file(path);
    if (fd < 0) return false;
    char head[4096];
    const std::size_t n = read_full(fd, head, sizeof head);
    ::close(fd);
    return looks_like_project_text(std::string_view(head, n));
}
