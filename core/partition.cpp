// The partition record and the operations that edit it in place.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/Quil_c.h"

Partition::Partition() {
    std::memset(static_cast<PartitionInput*>(this), 0, sizeof(PartitionInput));
    modified = 0;
    k = temp_span = press_span = temp_min = press_min = 0.0;
    std::fill(std::begin(temp), std::end(temp), 0.0);
    std::fill(std::begin(press_real), std::end(press_real), 0.0);
    std::fill(std::begin(press_sat), std::end(press_sat), 0.0);
    partition_defaults(*this);
}

namespace {

void set_layer(Layer& l, double thickness, double lambda, double delta) {
    copy_bounded(l.description, "", DESCRIPTION_SIZE);
    std::fill(std::begin(l.padding), std::end(l.padding), 0);
    l.thickness = thickness;
    l.lambda = lambda;
    l.delta = delta;
}

// Whether `text` is what the stored text shows: the same bytes, a "?"
// standing for any byte that is shown as "?".
bool shows_as(const char* stored, const char* text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(stored[i]);
        if (text[i] != stored[i] && !(text[i] == '?' && !shown_as_is(byte))) return false;
    }
    return true;
}

// Stores `text` into a fixed buffer; true when the kept characters differ.
// Only the bytes that would survive the bounded copy are compared, so a
// repeated long text is no change, and an unterminated buffer is never
// read past its end. A text read back from the screen leaves the bytes it
// shows as "?" as they were.
bool store_text(char* buffer, std::size_t size, const char* text) {
    if (text == nullptr) text = "";
    const std::size_t keep = strnlen(text, size - 1);
    const std::size_t have = strnlen(buffer, size - 1);
    if (keep == have && shows_as(buffer, text, keep)) return false;
    copy_bounded(buffer, text, size);
    return true;
}

}  // namespace

void partition_defaults(Partition& p) {
    p.layer_count = 4;
    p.calc_mode = 1;
    p.wall_type = 0;
    std::fill(std::begin(p.padding0), std::end(p.padding0), 0);
    p.temp_int = 20.0;
    p.temp_ext = -5.0;
    p.hum_int = 55.0;
    p.hum_ext = 85.0;
    p.res_int = 0.12;
    p.res_ext = 0.04;
    p.diff_int = 0.0;
    p.diff_ext = 0.0;
    p.radius = 1.5;
    copy_bounded(p.title, "", TITLE_SIZE);
    std::fill(std::begin(p.padding1), std::end(p.padding1), 0);
    set_layer(p.layers[0], 0.015, 1.0, 0.045);
    set_layer(p.layers[1], 0.15, 0.3, 0.0225);
    set_layer(p.layers[2], 0.15, 0.3, 0.0225);
    set_layer(p.layers[3], 0.015, 0.9, 0.0075);
    for (int i = 4; i < MAX_LAYERS; ++i) set_layer(p.layers[i], 0.1, 0.8, 0.01);
}

int used_layers(const Partition& p) { return std::clamp<int>(p.layer_count, 0, MAX_LAYERS); }

double total_thickness(const Partition& p) {
    double sum = 0.0;
    const int n = used_layers(p);
    for (int i = 0; i < n; ++i) sum += p.layers[i].thickness;
    return sum;
}

Layer* layer_at(Partition& p, int i) {
    return (i >= 0 && i < used_layers(p)) ? &p.layers[i] : nullptr;
}

const Layer* layer_at(const Partition& p, int i) {
    return (i >= 0 && i < used_layers(p)) ? &p.layers[i] : nullptr;
}

void copy_bounded(char* dst, const char* src, std::size_t n) {
    if (dst == nullptr || n == 0) return;
    const std::size_t len = src ? strnlen(src, n - 1) : 0;
    if (len > 0) std::memcpy(dst, src, len);
    std::memset(dst + len, 0, n - len);
}

void copy_shown(char* dst, const char* src, std::size_t n) {
    copy_bounded(dst, src, n);
    if (dst == nullptr || n == 0) return;
    for (char* c = dst; *c != '\0'; ++c)
        if (!shown_as_is(static_cast<unsigned char>(*c))) *c = '?';
}

void set_title(Partition& p, const char* text) {
    if (store_text(p.title, TITLE_SIZE, text)) p.modified = 1;
}

void set_layer_description(Partition& p, const char* text, int i) {
    Layer* l = layer_at(p, i);
    if (l != nullptr && store_text(l->description, DESCRIPTION_SIZE, text)) p.modified = 1;
}

void set_calc_mode(Partition& p, int v) {
    if ((v == 0 || v == 1) && p.calc_mode != v) {
        p.calc_mode = static_cast<std::int16_t>(v);
        p.modified = 1;
    }
}

void set_wall_type(Partition& p, int v) {
    if ((v == 0 || v == 1) && p.wall_type != v) {
        p.wall_type = static_cast<std::int16_t>(v);
        p.modified = 1;
    }
}

bool delete_layer(Partition& p, int i) {
    // A count beyond the slots can only come from a file; leave it to validation.
    const int n = p.layer_count;
    if (n <= 1 || n > MAX_LAYERS || i < 0 || i >= n) return false;
    for (int j = i; j < n - 1; ++j) p.layers[j] = p.layers[j + 1];
    p.layer_count = static_cast<std::int16_t>(n - 1);
    p.modified = 1;
    return true;
}

bool insert_layer(Partition& p, int i) {
    const int n = p.layer_count;
    if (n >= MAX_LAYERS || i < 0 || i > n) return false;
    for (int j = n; j > i; --j) p.layers[j] = p.layers[j - 1];
    p.layers[i] = p.layers[i == 0 ? 1 : i - 1];
    p.layer_count = static_cast<std::int16_t>(n + 1);
    p.modified = 1;
    return true;
}
