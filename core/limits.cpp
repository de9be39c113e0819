// Field limits, the check of one typed value and the whole-record check.
#include "core/Quil_c.h"
#include "core/numfmt.h"

namespace {

// Written as "not inside" so that NaN falls outside every range.
bool outside(double value, double low, double high) { return !(value >= low && value <= high); }

RangeCheck limits(double min, double max) {
    RangeCheck c;
    c.min = min;
    c.max = max;
    return c;
}

RangeCheck limits(double min, double suspect_low, double suspect_high, double max) {
    RangeCheck c = limits(min, max);
    c.check_suspect = 1;
    c.suspect_low = suspect_low;
    c.suspect_high = suspect_high;
    return c;
}

// The stored value of a field and its limits; null when the field does not
// exist (id 9, unknown ids, a layer slot not in use).
double* field_value(Partition& p, FieldId id, int layer_index, RangeCheck& check) {
    switch (id) {
        case FLD_TEMP_EXT:
            check = limits(-40.0, 55.0);
            return &p.temp_ext;
        case FLD_TEMP_INT:
            check = limits(-5.0, p.calc_mode == 0 ? 500.0 : 100.0);
            return &p.temp_int;
        case FLD_RES_EXT:
            check = limits(0.0, 0.2);
            return &p.res_ext;
        case FLD_RES_INT:
            check = limits(0.0, 0.2);
            return &p.res_int;
        case FLD_HUM_EXT:
            check = limits(30.0, 99.0);
            return &p.hum_ext;
        case FLD_HUM_INT:
            check = limits(30.0, 99.0);
            return &p.hum_int;
        case FLD_DIFF_EXT:
            check = limits(0.0, 0.4);
            return &p.diff_ext;
        case FLD_DIFF_INT:
            check = limits(0.0, 0.4);
            return &p.diff_int;
        case FLD_RADIUS: {
            const double s = total_thickness(p);
            check = limits(1.05 * s, 1.2 * s, 30.0, 500.0);
            return &p.radius;
        }
        case FLD_THICKNESS:
        case FLD_LAMBDA:
        case FLD_DELTA: {
            Layer* l = layer_at(p, layer_index);
            if (l == nullptr) return nullptr;
            if (id == FLD_THICKNESS) {
                check = limits(0.00001, 0.00001, 1.0, 2.0);
                return &l->thickness;
            }
            if (id == FLD_LAMBDA) {
                check = limits(0.02, 3.0);
                return &l->lambda;
            }
            check = limits(0.00000001, 3.0);
            return &l->delta;
        }
    }
    return nullptr;
}

bool field_in_limits(Partition& p, FieldId id, int layer_index = 0) {
    FieldCheck out;
    check_field(p, id, nullptr, out, layer_index, '.');
    return out.error == 0;
}

}  // namespace

bool field_limits(const Partition& p, FieldId id, int layer_index, double& low, double& high) {
    RangeCheck check;
    // field_value only points into the record; nothing is written through it.
    if (field_value(const_cast<Partition&>(p), id, layer_index, check) == nullptr) return false;
    low = check.min;
    high = check.max;
    return true;
}

FieldCheck range_check(const RangeCheck& check, double value) {
    FieldCheck r;
    if (check.check_limits == 1 && outside(value, check.min, check.max)) {
        r.kind = CHECK_LIMIT;
        r.error = 1;
        r.flagged = 1;
        r.low = check.min;
        r.high = check.max;
    } else if (check.check_suspect == 1 && outside(value, check.suspect_low, check.suspect_high)) {
        r.kind = CHECK_SUSPECT;
        r.flagged = 1;
        r.low = check.suspect_low;
        r.high = check.suspect_high;
    }
    return r;
}

bool check_field(Partition& p, FieldId id, const char* text, FieldCheck& out, int layer_index,
                 char decimal_sep) {
    double typed = 0.0;
    if (text != nullptr && !parse_number(text, decimal_sep, typed)) {
        out = FieldCheck{};
        out.kind = CHECK_INVALID;
        out.error = 1;
        p.modified = 1;
        return true;
    }
    RangeCheck check;
    double* stored = field_value(p, id, layer_index, check);
    if (stored == nullptr) {
        out = FieldCheck{};
        return false;
    }
    if (text == nullptr) {
        out = range_check(check, *stored);
        return false;
    }
    out = range_check(check, typed);
    // A NaN stored from a file differs from every typed number.
    if (!(typed == *stored)) {
        *stored = typed;
        p.modified = 1;
        return true;
    }
    return false;
}

bool validate_partition(Partition& p) {
    if (p.layer_count < 1 || p.layer_count > MAX_LAYERS) return false;
    if (p.wall_type < 0 || p.wall_type > 1) return false;
    if (p.calc_mode < 0 || p.calc_mode > 1) return false;
    const bool damp = p.calc_mode == 1;
    for (FieldId id : {FLD_TEMP_INT, FLD_TEMP_EXT, FLD_RES_INT, FLD_RES_EXT}) {
        if (!field_in_limits(p, id)) return false;
    }
    if (damp) {
        for (FieldId id : {FLD_HUM_INT, FLD_HUM_EXT, FLD_DIFF_INT, FLD_DIFF_EXT}) {
            if (!field_in_limits(p, id)) return false;
        }
    }
    for (int i = 0; i < p.layer_count; ++i) {
        p.layers[i].description[DESCRIPTION_SIZE - 1] = '\0';
        if (!field_in_limits(p, FLD_THICKNESS, i) || !field_in_limits(p, FLD_LAMBDA, i)) {
            return false;
        }
        if (damp && !field_in_limits(p, FLD_DELTA, i)) return false;
    }
    if (p.wall_type == 1 && !field_in_limits(p, FLD_RADIUS)) return false;
    p.title[TITLE_SIZE - 1] = '\0';
    return true;
}
